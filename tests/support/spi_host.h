// Calls a real picture plug-in the way the program does: loaded by bare file name, entry points
// looked up, the delivered handles locked, copied, unlocked and freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/dynlib.h"
#include "plugins/spi.h"

namespace testsupport {

// What GetPicture or GetPreview delivered, copied out of the two handles.
struct DeliveredDib {
    int32_t rc = SPI_INTERNAL_ERROR;
    // A failed call handed out a handle anyway (those are left alone, for leak checks to see).
    bool handlesOnFailure = false;
    // Both handles could be locked, were delivered unlocked, and freed cleanly.
    bool locked = false;
    bool handlesWereUnlocked = false;
    bool freed = false;
    size_t infoHandleBytes = 0;
    size_t bitsHandleBytes = 0;
    DibInfoHeader header{};
    std::vector<DibRgbQuad> palette; // as many entries as biClrUsed and the handle both allow
    std::vector<uint8_t> bits;       // the whole bits handle

    int32_t width() const { return header.biWidth; }
    int32_t height() const { return header.biHeight; }
    size_t stride() const;
    // The colour-table index at (x, y) counted from the top, of a 1-, 4- or 8-bit picture.
    unsigned Index(int32_t x, int32_t y) const;
    // 0xRRGGBB at (x, y) counted from the top, whatever the depth.
    uint32_t Bgr(int32_t x, int32_t y) const;
};

inline uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16;
}

inline uint32_t RgbOf(const DibRgbQuad& q) {
    return Rgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

// Copies the picture out of the handles and frees them; a failed call's handles are not touched.
DeliveredDib TakeDib(int32_t rc, HGLOBAL32 infoHandle, HGLOBAL32 bitsHandle);

class SpiPlugin {
public:
    explicit SpiPlugin(const std::string& fileName);
    bool loaded() const { return bool(library_); }
    // Loaded, with the four entry points every plug-in has.
    bool complete() const;

    int32_t Info(const std::vector<uint8_t>& bytes, SpiPictureInfo& info) const;
    int32_t InfoFile(const std::string& path, int32_t offset, SpiPictureInfo& info) const;
    DeliveredDib Decode(const std::vector<uint8_t>& bytes) const;
    DeliveredDib DecodeFile(const std::string& path, int32_t offset) const;
    DeliveredDib Preview(const std::vector<uint8_t>& bytes) const;
    DeliveredDib PreviewFile(const std::string& path, int32_t offset) const;

    SpiGetPluginInfoFn getPluginInfo = nullptr;
    SpiIsSupportedFn isSupported = nullptr;
    SpiGetPictureInfoFn getPictureInfo = nullptr;
    SpiGetPictureFn getPicture = nullptr;
    SpiGetPictureFn getPreview = nullptr; // null in plug-ins without one

private:
    platform::ScopedLibrary library_;
};

} // namespace testsupport
