// Fuzz target: the plug-in's entry points on arbitrary bytes in memory. Everything delivered is
// freed again.
#include <cstddef>
#include <cstdint>

#include "plugins/spi.h"

extern "C" {
int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,
                       SpiPictureInfo* info);
int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag, HGLOBAL32* bitmapInfo,
                   HGLOBAL32* bits, SpiProgressCallback progress, int32_t progressData);
int32_t GetPreview(const char* source, int32_t offsetOrLength, uint32_t flag, HGLOBAL32* bitmapInfo,
                   HGLOBAL32* bits, SpiProgressCallback progress, int32_t progressData);
}

namespace {

void Decode(decltype(&GetPicture) fn, const char* source, int32_t length) {
    HGLOBAL32 info = 0, bits = 0;
    if (fn(source, length, SPI_INPUT_MEMORY, &info, &bits, nullptr, 0) != SPI_OK) return;
    GlobalFree(info);
    GlobalFree(bits);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (size_t(1) << 24)) return 0;
    const auto* source = reinterpret_cast<const char*>(data);
    const auto length = static_cast<int32_t>(size);
    SpiPictureInfo record{};
    if (GetPictureInfo(source, length, SPI_INPUT_MEMORY, &record) == SPI_OK && record.textInfo)
        GlobalFree(record.textInfo);
    Decode(GetPicture, source, length);
    Decode(GetPreview, source, length);
    return 0;
}
