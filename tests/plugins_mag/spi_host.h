// Calls one of the MAG, Pi and XLD4 plug-ins as the host does: loaded by bare file name, entry
// points looked up, the two handles locked, read, unlocked and freed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/dynlib.h"
#include "plugins/spi.h"

namespace magtest {

// A delivered palette picture, top row first.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    int bitsPerPixel = 0;
    std::vector<uint32_t> palette; // 0xRRGGBB
    std::vector<uint8_t> indices;  // width * height

    uint8_t index(int32_t x, int32_t y) const { return indices[size_t(y) * width + x]; }
    uint32_t rgb(int32_t x, int32_t y) const { return palette.at(index(x, y)); }
};

class Plugin {
public:
    explicit Plugin(const std::string& fileName);
    bool complete() const;

    SpiGetPluginInfoFn getPluginInfo = nullptr;
    SpiIsSupportedFn isSupported = nullptr;
    SpiGetPictureInfoFn getPictureInfo = nullptr;
    SpiGetPictureFn getPicture = nullptr;

    // GetPicture on bytes in memory (flag 1).
    int32_t Decode(const std::vector<uint8_t>& bytes, Picture& picture) const;
    // GetPicture on a file from `offset` (flag 0).
    int32_t DecodeFile(const std::filesystem::path& path, int32_t offset, Picture& picture) const;
    // The host's bitmap path: offset 0, and offset 128 again only when that gave "unknown format".
    int32_t LoadLikeHost(const std::filesystem::path& path, Picture& picture) const;
    int32_t Info(const std::vector<uint8_t>& bytes, SpiPictureInfo& info) const;
    int32_t InfoFile(const std::filesystem::path& path, int32_t offset, SpiPictureInfo& info) const;

private:
    platform::ScopedLibrary library_;
};

// Writes `bytes` to a fresh file under the test's temporary folder and returns its path.
std::filesystem::path WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes);

} // namespace magtest
