// Calls a picture plug-in the way the host does: loaded by bare file name, entry points looked up,
// handles locked, read and freed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dynlib.h"
#include "plugins/spi.h"

namespace pictest {

// A decoded picture, top row first, one 0xRRGGBB value per pixel.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    int bitsPerPixel = 0;
    uint32_t paletteEntries = 0;
    std::vector<uint32_t> palette; // 0xRRGGBB
    std::vector<uint32_t> indices; // palette pictures only
    std::vector<uint32_t> rgb;
    uint32_t at(int32_t x, int32_t y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

class Plugin {
public:
    explicit Plugin(const std::string& fileName);
    bool loaded() const { return bool(library_); }

    SpiGetPluginInfoFn getPluginInfo = nullptr;
    SpiIsSupportedFn isSupported = nullptr;
    SpiGetPictureInfoFn getPictureInfo = nullptr;
    SpiGetPictureFn getPicture = nullptr;

    // GetPicture on bytes in memory; on success the picture is read out of the handles, which
    // are then freed.
    int32_t Decode(const std::vector<uint8_t>& bytes, Picture& picture) const;
    // GetPicture on a file from an offset.
    int32_t DecodeFile(const std::string& path, int32_t offset, Picture& picture) const;
    int32_t Info(const std::vector<uint8_t>& bytes, SpiPictureInfo& info) const;

private:
    int32_t Collect(int32_t rc, HGLOBAL32 infoHandle, HGLOBAL32 bitsHandle, Picture& picture) const;

    platform::ScopedLibrary library_;
};

} // namespace pictest
