// ifmag.spi: the plug-in entry points for MAG pictures.
#include "plugins/common/spi_entry.h"
#include "plugins/ifmag/mag_decoder.h"

namespace {

const char* const kPluginInfo[] = {"00IN", "Zorvane MAG plug-in 1.01", "*.mag",
                                   "MAG (MAKI02) picture"};

int32_t Describe(std::span<const uint8_t> file, SpiPictureInfo& info) {
    mag::Header h;
    if (const int32_t rc = mag::ReadHeader(file, h); rc != SPI_OK) return rc;
    info.left = h.x1;
    info.top = h.y1;
    info.width = h.width();
    info.height = h.height();
    info.xDensity = h.xDensity();
    info.yDensity = h.yDensity();
    info.bitsPerPixel = int16_t(h.bitsPerPixel());
    info.textInfo = 0; // the comment is not handed out: no caller frees it on this format's path
    return SPI_OK;
}

} // namespace

SPI_PLUGIN_ENTRY_POINTS(kPluginInfo, mag::HasSignature, Describe, mag::Decode)
