// What the plug-ins' fuzz targets share: the entry points called on bytes in memory as the host
// calls them, or a decoder called as GetPicture calls it. Everything delivered is freed again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "plugins/common/spi_entry.h"
#include "plugins/common/spi_limits.h"
#include "plugins/spi.h"

namespace spi::fuzz {

// Larger inputs only slow the fuzzer down; the input limits are tested elsewhere.
constexpr size_t kLargestEntryPointInput = size_t(1) << 24;

// GetPictureInfo, then each of `pictures` (GetPicture, GetPreview), on the bytes in memory.
inline void CallEntryPoints(const uint8_t* data, size_t size, SpiGetPictureInfoFn pictureInfo,
                            std::initializer_list<SpiGetPictureFn> pictures) {
    if (size > kLargestEntryPointInput) return;
    const auto* source = reinterpret_cast<const char*>(data);
    const auto length = static_cast<int32_t>(size);
    SpiPictureInfo record{};
    if (pictureInfo(source, length, SPI_INPUT_MEMORY, &record) == SPI_OK && record.textInfo)
        GlobalFree(record.textInfo);
    for (SpiGetPictureFn picture : pictures) {
        HGLOBAL32 info = 0, bits = 0;
        if (picture(source, length, SPI_INPUT_MEMORY, &info, &bits, nullptr, 0) != SPI_OK) continue;
        GlobalFree(info);
        GlobalFree(bits);
    }
}

// `decode(bytes, progress, out)` without a progress callback, exceptions caught as the entry
// points catch them; the DIB is dropped undelivered.
template <typename Decode> void CallDecoder(std::span<const uint8_t> bytes, Decode&& decode) {
    Guarded([&] {
        DibOutput out;
        return int32_t(decode(bytes, Progress(), out));
    });
}

// A decoder that reports no progress, through the calls its entry points make: the look at the
// first bytes IsSupported sees, the picture information, the decoding. Nothing is caught, so that
// an escaping exception shows as a finding.
template <typename Bytes, typename LooksLike, typename ReadInfo, typename Decode>
void CallWholeFileDecoder(Bytes bytes, LooksLike&& looksLike, ReadInfo&& readInfo,
                          Decode&& decode) {
    (void)looksLike(bytes.substr(0, kSniffBytes));
    SpiPictureInfo info{};
    (void)readInfo(bytes, info);
    DibOutput out;
    (void)decode(bytes, out);
}

} // namespace spi::fuzz

// The entry points a fuzz target links directly instead of loading the plug-in.
extern "C" {
int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,
                       SpiPictureInfo* info);
int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag, HGLOBAL32* bitmapInfo,
                   HGLOBAL32* bits, SpiProgressCallback progress, int32_t progressData);
int32_t GetPreview(const char* source, int32_t offsetOrLength, uint32_t flag, HGLOBAL32* bitmapInfo,
                   HGLOBAL32* bits, SpiProgressCallback progress, int32_t progressData);
}
