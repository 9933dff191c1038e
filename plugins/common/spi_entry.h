// Helpers for a plug-in's exported entry points: no exception may cross the C boundary, the
// optional progress callback may ask to stop, and every plug-in reads its input and delivers its
// picture the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <vector>

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

// GetPluginInfo from the plug-in's table of strings.
template <size_t N>
int32_t PluginInfoEntry(const char* const (&table)[N], int32_t infoNumber, char* buffer,
                        int32_t bufferLength) noexcept {
    return CopyInfoString(table, int32_t(N), infoNumber, buffer, bufferLength);
}

// IsSupported: `looksLike(head)` judges the first bytes of the file.
template <typename LooksLike>
int32_t SupportedEntry(uintptr_t data, LooksLike&& looksLike) noexcept {
    return Guarded([&] {
        const std::vector<uint8_t> head = SniffHead(data);
        return int32_t(bool(looksLike(std::span<const uint8_t>(head))));
    });
}

// GetPictureInfo: reads the input and lets `read(bytes, info)` fill a record, which reaches the
// caller only when it is complete.
template <typename Read>
int32_t PictureInfoEntry(const char* source, int32_t offsetOrLength, uint32_t flag,
                         SpiPictureInfo* info, Read&& read) noexcept {
    if (!info) return SPI_INTERNAL_ERROR;
    return Guarded([&] {
        Input input;
        if (const int32_t rc = ReadInput(source, offsetOrLength, flag, input); rc != SPI_OK)
            return rc;
        SpiPictureInfo record{};
        const int32_t rc = read(input.bytes(), record);
        if (rc == SPI_OK) *info = record;
        return rc;
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

// For a decoder that reports no progress of its own: the callback hears of the start and of the
// end, and may stop the decoding at either.
template <typename Decode> auto WithStartAndEndProgress(Decode decode) {
    return [decode](auto file, Progress progress, DibOutput& out) -> int32_t {
        if (!progress.Report(0, 1)) return SPI_ABORTED;
        if (const int32_t rc = decode(file, out); rc != SPI_OK) return rc;
        return progress.Report(1, 1) ? int32_t(SPI_OK) : int32_t(SPI_ABORTED);
    };
}

} // namespace spi

// The four entry points every plug-in exports, for a plug-in whose decoder takes the whole file:
// `pluginInfo` is its GetPluginInfo table, `looksLike(head)` judges a file's first bytes,
// `describe(bytes, info)` fills the picture information and `decode(bytes, progress, out)` the DIB.
#define SPI_PLUGIN_ENTRY_POINTS(pluginInfo, looksLike, describe, decode)                           \
    extern "C" {                                                                                   \
    SPI_EXPORT int32_t GetPluginInfo(int32_t infoNumber, char* buffer, int32_t bufferLength) {     \
        return spi::PluginInfoEntry(pluginInfo, infoNumber, buffer, bufferLength);                 \
    }                                                                                              \
    SPI_EXPORT int32_t IsSupported(const char* /*fileName*/, uintptr_t data) {                     \
        return spi::SupportedEntry(data, looksLike);                                               \
    }                                                                                              \
    SPI_EXPORT int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,   \
                                      SpiPictureInfo* info) {                                      \
        return spi::PictureInfoEntry(source, offsetOrLength, flag, info, describe);                \
    }                                                                                              \
    SPI_EXPORT int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag,       \
                                  HGLOBAL32* bitmapInfo, HGLOBAL32* bits,                          \
                                  SpiProgressCallback progress, int32_t progressData) {            \
        return spi::PictureEntry(source, offsetOrLength, flag, bitmapInfo, bits, progress,         \
                                 progressData, decode);                                            \
    }                                                                                              \
    }

// GetPreview of a plug-in without reduced decoding (the host asks for previews of JPEG pictures
// only): there is none.
#define SPI_PLUGIN_WITHOUT_PREVIEW()                                                               \
    extern "C" SPI_EXPORT int32_t GetPreview(const char*, int32_t, uint32_t, HGLOBAL32*,           \
                                             HGLOBAL32*, SpiProgressCallback, int32_t) {           \
        return SPI_NOT_IMPLEMENTED;                                                                \
    }
