// The TIFF plug-in's entry points.
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "plugins/common/spi_entry.h"
#include "plugins/common/spi_input.h"
#include "plugins/iftiff/tiff_decoder.h"
#include "plugins/spi.h"

namespace {

const char* const kPluginInfo[] = {
    "00IN",
    "Zorvane TIFF plug-in 1.01",
    "*.tif",
    "TIFF picture",
};

// Little- and big-endian headers, classic and BigTIFF.
bool IsTiffSignature(const std::vector<uint8_t>& h) {
    if (h.size() < 4) return false;
    const uint8_t* p = h.data();
    return std::memcmp(p, "II*\0", 4) == 0 || std::memcmp(p, "MM\0*", 4) == 0 ||
           std::memcmp(p, "II+\0", 4) == 0 || std::memcmp(p, "MM\0+", 4) == 0;
}

} // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t infoNumber, char* buffer, int32_t bufferLength) {
    return spi::CopyInfoString(kPluginInfo, int32_t(std::size(kPluginInfo)), infoNumber, buffer,
                               bufferLength);
}

SPI_EXPORT int32_t IsSupported(const char* /*fileName*/, uintptr_t data) {
    return spi::Guarded([&] { return int32_t(IsTiffSignature(spi::SniffHead(data))); });
}

SPI_EXPORT int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,
                                  SpiPictureInfo* info) {
    return spi::PictureInfoEntry(source, offsetOrLength, flag, info, iftiff::ReadTiffInfo);
}

SPI_EXPORT int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t progressData) {
    return spi::PictureEntry(source, offsetOrLength, flag, bitmapInfo, bits, progress, progressData,
                             iftiff::DecodeTiff);
}

} // extern "C"
