// Device contexts and the screen's colour depth, as small objects of our own. The emulated screen
// is true colour underneath; a context remembers which palette is selected into it so that every
// selection and realisation the program makes really happens and can be checked.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class Palette;
using HPALETTE = std::shared_ptr<Palette>;

class DeviceContext {
public:
    explicit DeviceContext(std::string label) : label_(std::move(label)) {}
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // What the context belongs to ("screen", "bitmap", "form"), for diagnostics and tests.
    const std::string& Label() const { return label_; }
    // The selected palette keeps its object alive while it is selected, so a context never
    // points at a deleted palette.
    const HPALETTE& SelectedPalette() const { return selected_; }
    void SetSelectedPalette(HPALETTE palette) { selected_ = std::move(palette); }
    // Entries realised by the last RealizePalette on this context.
    uint32_t RealizedEntries() const { return realized_; }
    void SetRealizedEntries(uint32_t entries) { realized_ = entries; }

private:
    std::string label_;
    HPALETTE selected_;
    uint32_t realized_ = 0;
};

using HDC = DeviceContext*;

// Colour depth the screen starts with when nobody has said otherwise: every X server in use
// today runs at 24 or 32 bits.
inline constexpr int kDefaultScreenBitsPerPixel = 32;

// The screen's bits per pixel. The GUI tells the real depth at start-up; tests set 8 to reach
// the palette path. Values below 1 are ignored.
int ScreenBitsPerPixel();
void SetScreenBitsPerPixel(int bitsPerPixel);

// The screen's context for no window (the only use); null for a window handle, which this
// layer does not have. Every context obtained must be given back with ReleaseDC.
HDC GetDC(const void* window);
// Returns 1 when the context was one of GetDC's, 0 otherwise (nothing is freed then).
int ReleaseDC(const void* window, HDC dc);
// Screen contexts obtained and not yet released, for leak checks.
size_t LiveScreenContexts();

enum DeviceCap { BITSPIXEL = 12, PLANES = 14 };
// Every context here is compatible with the screen, so it reports the screen's depth.
int GetDeviceCaps(HDC dc, int index);

// Gives a screen context back when it leaves scope.
class ScopedScreenDC {
public:
    ScopedScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScopedScreenDC() { ReleaseDC(nullptr, dc_); }
    ScopedScreenDC(const ScopedScreenDC&) = delete;
    ScopedScreenDC& operator=(const ScopedScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

} // namespace platform
