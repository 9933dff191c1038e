// ifpi.spi: the plug-in entry points for Pi pictures.
#include "plugins/common/spi_entry.h"
#include "plugins/ifpi/pi_decoder.h"

namespace {

const char* const kPluginInfo[] = {"00IN", "Zorvane Pi plug-in 1.01", "*.pi", "Pi picture"};

int32_t Describe(std::span<const uint8_t> file, SpiPictureInfo& info) {
    pi::Header h;
    if (const int32_t rc = pi::ReadHeader(file, h); rc != SPI_OK) return rc;
    info.left = 0;
    info.top = 0;
    info.width = h.width;
    info.height = h.height;
    info.xDensity = h.density().x;
    info.yDensity = h.density().y;
    info.bitsPerPixel = int16_t(h.depth);
    info.textInfo = 0; // the comment is not handed out: no caller frees it on this format's path
    return SPI_OK;
}

} // namespace

SPI_PLUGIN_ENTRY_POINTS(kPluginInfo, pi::LooksLikePi, Describe, pi::Decode)
