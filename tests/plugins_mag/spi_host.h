// The MAG, Pi and XLD4 plug-ins called through the tests' common plug-in host, their pictures
// checked as the host's transfer relies on them and unpacked to one index per pixel.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/spi_host.h"

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

class Plugin : public testsupport::SpiPlugin {
public:
    using SpiPlugin::SpiPlugin;

    // GetPicture on bytes in memory (flag 1).
    int32_t Decode(const std::vector<uint8_t>& bytes, Picture& picture) const;
    // GetPicture on a file from `offset` (flag 0).
    int32_t DecodeFile(const std::filesystem::path& path, int32_t offset, Picture& picture) const;
    // The host's bitmap path: offset 0, and offset 128 again only when that gave "unknown format".
    int32_t LoadLikeHost(const std::filesystem::path& path, Picture& picture) const;
};

// GetPicture gives `result` for `file`, both in memory and written to the temporary file
// `tempName`.
void ExpectDecodeResult(const Plugin& plugin, const std::vector<uint8_t>& file,
                        const std::string& tempName, int32_t result);

// Writes `bytes` to a fresh file under the test's temporary folder and returns its path.
std::filesystem::path WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes);

} // namespace magtest
