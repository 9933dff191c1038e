// Helpers for a plug-in's exported entry points: no exception may cross the C boundary, the
// optional progress callback may ask to stop, and every plug-in reads its input and delivers its
// picture the same way.
#pragma once

#include <cstdint>
#include <new>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_input.h"
#include "plugins/spi.h"

namespace spi {

// Runs `body` and turns any exception into a result code.
template <typename Body> int32_t Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return SPI_NO_MEMORY;
    } catch (...) {
        return SPI_INTERNAL_ERROR;
    }
}

// The progress callback of GetPicture, called about a hundred times per picture.
class Progress {
public:
    Progress() = default;
    Progress(SpiProgressCallback callback, int32_t data) : callback_(callback), data_(data) {}

    // False when the callback asked to stop.
    bool Report(int32_t done, int32_t total) {
        if (!callback_) return true;
        const int32_t step = total > 100 ? total / 100 : 1;
        if (done != total && done % step != 0) return true;
        return callback_(done, total, data_) == 0;
    }

private:
    SpiProgressCallback callback_ = nullptr;
    int32_t data_ = 0;
};

// GetPictureInfo: reads the input and lets `read(bytes, info)` fill the record.
template <typename Read>
int32_t PictureInfoEntry(const char* source, int32_t offsetOrLength, uint32_t flag,
                         SpiPictureInfo* info, Read&& read) noexcept {
    if (!info) return SPI_INTERNAL_ERROR;
    return Guarded([&] {
        Input input;
        if (const int32_t rc = ReadInput(source, offsetOrLength, flag, input); rc != SPI_OK)
            return rc;
        return int32_t(read(input.bytes(), *info));
    });
}

// GetPicture and GetPreview: reads the input, lets `decode(bytes, progress, out)` fill the DIB
// and delivers it. Nothing is delivered on failure.
template <typename Decode>
int32_t PictureEntry(const char* source, int32_t offsetOrLength, uint32_t flag,
                     HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                     int32_t progressData, Decode&& decode) noexcept {
    if (!bitmapInfo || !bits) return SPI_INTERNAL_ERROR;
    return Guarded([&] {
        Input input;
        if (const int32_t rc = ReadInput(source, offsetOrLength, flag, input); rc != SPI_OK)
            return rc;
        DibOutput out;
        const int32_t rc = decode(input.bytes(), Progress(progress, progressData), out);
        return rc == SPI_OK ? out.Deliver(bitmapInfo, bits) : rc;
    });
}

} // namespace spi
