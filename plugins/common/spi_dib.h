// The picture a plug-in delivers: a DIB header with its colour table in one memory handle and the
// pixel rows (bottom-up, rows padded to four bytes) in another. Both are handed over unlocked.
#pragma once

#include <cstdint>
#include <string_view>

#include "plugins/spi.h"

namespace spi {

// SPI_OK, SPI_BROKEN_DATA for a zero or negative side, SPI_NO_MEMORY beyond the limits of
// spi_limits.h (checked in 64 bits, before anything is allocated).
int32_t CheckDimensions(int64_t width, int64_t height, int bitsPerPixel);

class DibOutput {
public:
    DibOutput() = default;
    ~DibOutput();
    DibOutput(const DibOutput&) = delete;
    DibOutput& operator=(const DibOutput&) = delete;

    // Checks the dimensions, then allocates both handles (pixels zeroed) and fills the header.
    // `paletteEntries` colour-table entries follow the header (0 for direct colour).
    int32_t Allocate(int32_t width, int32_t height, int bitsPerPixel, uint32_t paletteEntries);

    DibInfoHeader* header() { return header_; }
    DibRgbQuad* palette() { return palette_; }
    uint32_t paletteEntries() const { return paletteEntries_; }
    int32_t width() const { return header_ ? header_->biWidth : 0; }
    int32_t height() const { return header_ ? header_->biHeight : 0; }
    size_t stride() const { return stride_; }
    // Row y counted from the top of the picture.
    uint8_t* row(int32_t y) { return bits_ + stride_ * size_t(height() - 1 - y); }
    uint8_t* bits() { return bits_; }

    // Unlocks both handles and gives them to the caller, who frees them.
    int32_t Deliver(HGLOBAL32* bitmapInfo, HGLOBAL32* bits);

private:
    void release();
    // Drops the handles and pointers without freeing anything.
    void forget();

    HGLOBAL32 infoHandle_ = 0;
    HGLOBAL32 bitsHandle_ = 0;
    DibInfoHeader* header_ = nullptr;
    DibRgbQuad* palette_ = nullptr;
    uint8_t* bits_ = nullptr;
    uint32_t paletteEntries_ = 0;
    size_t stride_ = 0;
};

// A text-information handle holding `text` and a terminating zero; 0 when the text is empty or
// memory is short.
HGLOBAL32 MakeTextInfo(std::string_view text);

} // namespace spi
