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

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t infoNumber, char* buffer, int32_t bufferLength) {
    return spi::CopyInfoString(kPluginInfo, int32_t(std::size(kPluginInfo)), infoNumber, buffer,
                               bufferLength);
}

SPI_EXPORT int32_t IsSupported(const char*, uintptr_t data) {
    return spi::Guarded([&] { return int32_t(mag::HasSignature(spi::SniffHead(data))); });
}

SPI_EXPORT int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,
                                  SpiPictureInfo* info) {
    return spi::PictureInfoEntry(source, offsetOrLength, flag, info, Describe);
}

SPI_EXPORT int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t progressData) {
    return spi::PictureEntry(source, offsetOrLength, flag, bitmapInfo, bits, progress, progressData,
                             mag::Decode);
}

} // extern "C"
