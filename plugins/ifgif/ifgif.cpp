// The GIF plug-in's entry points.
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "plugins/common/spi_entry.h"
#include "plugins/common/spi_input.h"
#include "plugins/ifgif/gif_decoder.h"
#include "plugins/spi.h"

namespace {

const char* const kPluginInfo[] = {
    "00IN",
    "Zorvane GIF plug-in 1.01",
    "*.gif",
    "GIF picture",
};

} // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t infoNumber, char* buffer, int32_t bufferLength) {
    return spi::CopyInfoString(kPluginInfo, int32_t(std::size(kPluginInfo)), infoNumber, buffer,
                               bufferLength);
}

SPI_EXPORT int32_t IsSupported(const char* /*fileName*/, uintptr_t data) {
    return spi::Guarded([&] {
        const std::vector<uint8_t> head = spi::SniffHead(data);
        return int32_t(head.size() >= 6 && (std::memcmp(head.data(), "GIF87a", 6) == 0 ||
                                            std::memcmp(head.data(), "GIF89a", 6) == 0));
    });
}

SPI_EXPORT int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,
                                  SpiPictureInfo* info) {
    return spi::PictureInfoEntry(source, offsetOrLength, flag, info, ifgif::ReadGifInfo);
}

SPI_EXPORT int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t progressData) {
    return spi::PictureEntry(source, offsetOrLength, flag, bitmapInfo, bits, progress, progressData,
                             ifgif::DecodeGif);
}

} // extern "C"
