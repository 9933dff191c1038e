// The JPEG plug-in's entry points.
#include <cstdint>
#include <iterator>
#include <vector>

#include "plugins/common/spi_entry.h"
#include "plugins/common/spi_input.h"
#include "plugins/ifjpeg/jpeg_decoder.h"
#include "plugins/spi.h"

namespace {

const char* const kPluginInfo[] = {
    "00IN",
    "Zorvane JPEG plug-in 1.01",
    "*.jpg;*.jpe",
    "JPEG picture",
};

constexpr int kFullScale = 1;
constexpr int kPreviewScale = 4;

} // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t infoNumber, char* buffer, int32_t bufferLength) {
    return spi::CopyInfoString(kPluginInfo, int32_t(std::size(kPluginInfo)), infoNumber, buffer,
                               bufferLength);
}

SPI_EXPORT int32_t IsSupported(const char* /*fileName*/, uintptr_t data) {
    return spi::Guarded([&] {
        const std::vector<uint8_t> head = spi::SniffHead(data);
        return int32_t(head.size() >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF);
    });
}

SPI_EXPORT int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,
                                  SpiPictureInfo* info) {
    return spi::PictureInfoEntry(source, offsetOrLength, flag, info, ifjpeg::ReadJpegInfo);
}

SPI_EXPORT int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t progressData) {
    return spi::PictureEntry(source, offsetOrLength, flag, bitmapInfo, bits, progress, progressData,
                             [](auto bytes, spi::Progress p, spi::DibOutput& out) {
                                 return ifjpeg::DecodeJpeg(bytes, kFullScale, p, out);
                             });
}

SPI_EXPORT int32_t GetPreview(const char* source, int32_t offsetOrLength, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t progressData) {
    return spi::PictureEntry(source, offsetOrLength, flag, bitmapInfo, bits, progress, progressData,
                             [](auto bytes, spi::Progress p, spi::DibOutput& out) {
                                 return ifjpeg::DecodeJpeg(bytes, kPreviewScale, p, out);
                             });
}

} // extern "C"
