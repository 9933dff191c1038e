// The JPEG plug-in's entry points; GetPreview decodes at a quarter of the size.
#include <cstdint>
#include <span>

#include "plugins/common/spi_entry.h"
#include "plugins/ifjpeg/jpeg_decoder.h"

namespace {

const char* const kPluginInfo[] = {
    "00IN",
    "Zorvane JPEG plug-in 1.01",
    "*.jpg;*.jpe",
    "JPEG picture",
};

constexpr int kFullScale = 1;
constexpr int kPreviewScale = 4;

bool IsJpegSignature(std::span<const uint8_t> head) {
    return head.size() >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

template <int Scale>
int32_t DecodeAtScale(ifjpeg::Bytes bytes, spi::Progress progress, spi::DibOutput& out) {
    return ifjpeg::DecodeJpeg(bytes, Scale, progress, out);
}

} // namespace

SPI_PLUGIN_ENTRY_POINTS(kPluginInfo, IsJpegSignature, ifjpeg::ReadJpegInfo,
                        DecodeAtScale<kFullScale>)

extern "C" SPI_EXPORT int32_t GetPreview(const char* source, int32_t offsetOrLength, uint32_t flag,
                                         HGLOBAL32* bitmapInfo, HGLOBAL32* bits,
                                         SpiProgressCallback progress, int32_t progressData) {
    return spi::PictureEntry(source, offsetOrLength, flag, bitmapInfo, bits, progress, progressData,
                             DecodeAtScale<kPreviewScale>);
}
