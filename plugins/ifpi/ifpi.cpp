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

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t infoNumber, char* buffer, int32_t bufferLength) {
    return spi::CopyInfoString(kPluginInfo, int32_t(std::size(kPluginInfo)), infoNumber, buffer,
                               bufferLength);
}

SPI_EXPORT int32_t IsSupported(const char*, uintptr_t data) {
    return spi::Guarded([&] { return int32_t(pi::LooksLikePi(spi::SniffHead(data))); });
}

SPI_EXPORT int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,
                                  SpiPictureInfo* info) {
    return spi::PictureInfoEntry(source, offsetOrLength, flag, info, Describe);
}

SPI_EXPORT int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t progressData) {
    return spi::PictureEntry(source, offsetOrLength, flag, bitmapInfo, bits, progress, progressData,
                             pi::Decode);
}

} // extern "C"
