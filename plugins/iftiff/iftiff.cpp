// The TIFF plug-in's entry points.
#include <cstdint>
#include <cstring>
#include <span>

#include "plugins/common/spi_entry.h"
#include "plugins/iftiff/tiff_decoder.h"

namespace {

const char* const kPluginInfo[] = {
    "00IN",
    "Zorvane TIFF plug-in 1.01",
    "*.tif",
    "TIFF picture",
};

// Little- and big-endian headers, classic and BigTIFF.
bool IsTiffSignature(std::span<const uint8_t> h) {
    if (h.size() < 4) return false;
    const uint8_t* p = h.data();
    return std::memcmp(p, "II*\0", 4) == 0 || std::memcmp(p, "MM\0*", 4) == 0 ||
           std::memcmp(p, "II+\0", 4) == 0 || std::memcmp(p, "MM\0+", 4) == 0;
}

} // namespace

SPI_PLUGIN_ENTRY_POINTS(kPluginInfo, IsTiffSignature, iftiff::ReadTiffInfo, iftiff::DecodeTiff)
