// ifxld4.spi: the plug-in entry points for XLD4 (.Q4) pictures.
#include "plugins/ifxld4/xld4_format.h"

namespace {

const char* const kPluginInfo[] = {"00IN", "Zorvane XLD4 plug-in 1.01", "*.q4",
                                   "XLD4 (Q4) picture"};

int32_t Describe(std::span<const uint8_t> file, SpiPictureInfo& info) {
    if (!xld4::HasSignature(file)) return SPI_NOT_SUPPORTED;
    info.left = 0;
    info.top = 0;
    info.width = xld4::kWidth;
    info.height = xld4::kHeight;
    info.xDensity = 1;
    info.yDensity = 1;
    info.bitsPerPixel = 4;
    info.textInfo = 0;
    return SPI_OK;
}

} // namespace

SPI_PLUGIN_ENTRY_POINTS(kPluginInfo, xld4::HasSignature, Describe, xld4::Decode)
