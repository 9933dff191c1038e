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

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t infoNumber, char* buffer, int32_t bufferLength) {
    return spi::CopyInfoString(kPluginInfo, int32_t(std::size(kPluginInfo)), infoNumber, buffer,
                               bufferLength);
}

SPI_EXPORT int32_t IsSupported(const char*, uintptr_t data) {
    return spi::Guarded([&] { return int32_t(xld4::HasSignature(spi::SniffHead(data))); });
}

SPI_EXPORT int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,
                                  SpiPictureInfo* info) {
    return spi::PictureInfoEntry(source, offsetOrLength, flag, info, Describe);
}

SPI_EXPORT int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t progressData) {
    return spi::PictureEntry(source, offsetOrLength, flag, bitmapInfo, bits, progress, progressData,
                             xld4::Decode);
}

} // extern "C"
