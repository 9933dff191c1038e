// The entry points' common work for a decoder that takes the whole file: read the input, run the
// decoder, hand over the handles, and turn anything thrown into a result code.
#pragma once

#include <cstdint>
#include <new>
#include <string_view>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_input.h"
#include "plugins/spi.h"

namespace pic {

using DecodeFn = int32_t (*)(std::basic_string_view<uint8_t>, spi::DibOutput&);
using InfoFn = int32_t (*)(std::basic_string_view<uint8_t>, SpiPictureInfo&);

template <typename Fn> int32_t Guarded(Fn&& fn) {
    try {
        return fn();
    } catch (const std::bad_alloc&) {
        return SPI_NO_MEMORY;
    } catch (...) {
        return SPI_INTERNAL_ERROR;
    }
}

inline int32_t RunGetPictureInfo(InfoFn readInfo, const char* source, int32_t offsetOrLength,
                                 uint32_t flag, SpiPictureInfo* info) {
    if (!info) return SPI_INTERNAL_ERROR;
    return Guarded([&] {
        spi::Input input;
        if (const int32_t rc = spi::ReadInput(source, offsetOrLength, flag, input); rc != SPI_OK)
            return rc;
        SpiPictureInfo record{};
        const int32_t rc = readInfo(input.bytes(), record);
        if (rc == SPI_OK) *info = record;
        return rc;
    });
}

inline int32_t RunGetPicture(DecodeFn decode, const char* source, int32_t offsetOrLength,
                             uint32_t flag, HGLOBAL32* bitmapInfo, HGLOBAL32* bits,
                             SpiProgressCallback progress, int32_t progressData) {
    if (!bitmapInfo || !bits) return SPI_INTERNAL_ERROR;
    return Guarded([&] {
        if (progress && progress(0, 1, progressData)) return int32_t(SPI_ABORTED);
        spi::Input input;
        if (const int32_t rc = spi::ReadInput(source, offsetOrLength, flag, input); rc != SPI_OK)
            return rc;
        spi::DibOutput out;
        if (const int32_t rc = decode(input.bytes(), out); rc != SPI_OK) return rc;
        if (progress && progress(1, 1, progressData)) return int32_t(SPI_ABORTED);
        return out.Deliver(bitmapInfo, bits);
    });
}

} // namespace pic
