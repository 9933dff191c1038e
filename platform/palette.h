// Logical palettes: created from a colour list, selected into device contexts, realised. The
// emulated screen is true colour, so a palette changes no pixels; it exists so that every
// selection, realisation and ownership the program performs happens, and is recorded for tests.
#pragma once

#include "platform/screen.h"

#include <cstdint>
#include <vector>

namespace platform {

struct PaletteEntry {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
};

inline constexpr uint16_t kLogPaletteVersion = 0x300;
// A logical palette holds at most this many entries.
inline constexpr size_t kMaxPaletteEntries = 256;

struct LogPalette {
    uint16_t palVersion = kLogPaletteVersion;
    std::vector<PaletteEntry> palPalEntry;
};

// A created palette. Shared ownership (HPALETTE is a shared pointer): a bitmap that is given a
// palette owns it, and a second bitmap given the same palette shares it, so it lives exactly as
// long as its last user, a context it is selected into included.
class Palette {
public:
    explicit Palette(std::vector<PaletteEntry> entries);
    ~Palette();
    Palette(const Palette&) = delete;
    Palette& operator=(const Palette&) = delete;

    const std::vector<PaletteEntry>& Entries() const { return entries_; }

private:
    std::vector<PaletteEntry> entries_;
};

// Null for a wrong version, no entries or more than kMaxPaletteEntries.
HPALETTE CreatePalette(const LogPalette& logPalette);
// Selects the palette into the context and returns the one it displaces (null when none was
// selected). A null context selects nothing and returns null.
HPALETTE SelectPalette(HDC dc, HPALETTE palette, bool forceBackground);
// Maps the selected palette's entries; returns how many (0 when none is selected).
uint32_t RealizePalette(HDC dc);
// Gives up the caller's reference; the object goes when its last owner lets go.
bool DeleteObject(HPALETTE& palette);
// Palettes alive now, for leak checks.
size_t LivePalettes();

// Every selection and realisation, in order, for tests.
struct PaletteEvent {
    enum Kind { Select, Realize };
    Kind kind;
    std::string context; // the context's label
    const DeviceContext* dc;
    const Palette* palette;   // selected (Select) or realised (Realize)
    const Palette* displaced; // Select only
    bool background;          // Select only
};
const std::vector<PaletteEvent>& PaletteLog();
void ClearPaletteLog();

} // namespace platform
