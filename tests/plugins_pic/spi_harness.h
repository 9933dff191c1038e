// The PIC and PIC2 plug-ins called through the tests' common plug-in host, their pictures
// unpacked to one 0xRRGGBB value per pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/spi_host.h"

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

class Plugin : public testsupport::SpiPlugin {
public:
    using SpiPlugin::SpiPlugin;

    // GetPicture on bytes in memory; on success the picture is read out of the handles, which
    // are then freed.
    int32_t Decode(const std::vector<uint8_t>& bytes, Picture& picture) const;
    // GetPicture on a file from an offset.
    int32_t DecodeFile(const std::string& path, int32_t offset, Picture& picture) const;
};

} // namespace pictest
