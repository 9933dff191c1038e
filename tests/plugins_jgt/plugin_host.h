// Calls a real plug-in the way the program does: loaded by bare file name, entry points looked up,
// the delivered handles locked, copied, unlocked and freed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dynlib.h"
#include "plugins/spi.h"

namespace jgt {

// A decoded picture copied out of the two handles.
struct Picture {
    int32_t rc = SPI_INTERNAL_ERROR;
    DibInfoHeader header{};
    std::vector<DibRgbQuad> palette;
    std::vector<uint8_t> bits;
    bool handlesWereUnlocked = false;
    size_t bitsHandleBytes = 0;

    int32_t width() const { return header.biWidth; }
    int32_t height() const { return header.biHeight; }
    size_t stride() const;
    // Blue, green, red of the pixel at (x, y) counted from the top, whatever the depth.
    uint32_t Bgr(int32_t x, int32_t y) const;
    // The colour-table index at (x, y) of an indexed picture.
    unsigned Index(int32_t x, int32_t y) const;
};

inline uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(b) | uint32_t(g) << 8 | uint32_t(r) << 16;
}

class Plugin {
public:
    explicit Plugin(const std::string& fileName);
    bool loaded() const { return bool(library_); }

    int32_t Info(const std::vector<uint8_t>& bytes, SpiPictureInfo& info) const;
    int32_t InfoFromFile(const std::string& path, int32_t offset, SpiPictureInfo& info) const;
    Picture Decode(const std::vector<uint8_t>& bytes) const;
    Picture DecodeFile(const std::string& path, int32_t offset) const;
    Picture Preview(const std::vector<uint8_t>& bytes) const;
    Picture PreviewFile(const std::string& path, int32_t offset) const;

    SpiGetPluginInfoFn getPluginInfo = nullptr;
    SpiIsSupportedFn isSupported = nullptr;
    SpiGetPictureInfoFn getPictureInfo = nullptr;
    SpiGetPictureFn getPicture = nullptr;
    SpiGetPictureFn getPreview = nullptr; // JPEG only

private:
    platform::ScopedLibrary library_;
};

// Copies the picture out of the handles (checking they were delivered unlocked) and frees them.
Picture TakePicture(int32_t rc, HGLOBAL32 info, HGLOBAL32 bits);

} // namespace jgt
