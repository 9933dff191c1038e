#include "plugins/common/spi_dib.h"

#include <cstring>

#include "plugins/common/spi_limits.h"

namespace spi {

int32_t CheckDimensions(int64_t width, int64_t height, int bitsPerPixel) {
    if (width <= 0 || height <= 0) return SPI_BROKEN_DATA;
    if (width > kMaxDimension || height > kMaxDimension) return SPI_NO_MEMORY;
    if (uint64_t(width) * uint64_t(height) > kMaxPixels) return SPI_NO_MEMORY;
    const uint64_t bytes = DibRowStride(uint32_t(width), uint32_t(bitsPerPixel)) * uint64_t(height);
    if (bytes > kMaxBitmapBytes) return SPI_NO_MEMORY;
    return SPI_OK;
}

DibOutput::~DibOutput() {
    release();
}

void DibOutput::release() {
    if (infoHandle_) {
        GlobalUnlock(infoHandle_);
        GlobalFree(infoHandle_);
    }
    if (bitsHandle_) {
        GlobalUnlock(bitsHandle_);
        GlobalFree(bitsHandle_);
    }
    forget();
}

void DibOutput::forget() {
    infoHandle_ = bitsHandle_ = 0;
    header_ = nullptr;
    palette_ = nullptr;
    bits_ = nullptr;
}

int32_t DibOutput::Allocate(int32_t width, int32_t height, int bitsPerPixel,
                            uint32_t paletteEntries) {
    release();
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 &&
        bitsPerPixel != 24 && bitsPerPixel != 32)
        return SPI_INTERNAL_ERROR;
    if (paletteEntries > 256) return SPI_INTERNAL_ERROR;
    if (const int32_t rc = CheckDimensions(width, height, bitsPerPixel); rc != SPI_OK) return rc;
    stride_ = size_t(DibRowStride(uint32_t(width), uint32_t(bitsPerPixel)));
    const size_t infoBytes = sizeof(DibInfoHeader) + paletteEntries * sizeof(DibRgbQuad);
    infoHandle_ = GlobalAlloc(GMEM_MOVEABLE_FLAG | GMEM_ZEROINIT_FLAG, infoBytes);
    bitsHandle_ = GlobalAlloc(GMEM_MOVEABLE_FLAG | GMEM_ZEROINIT_FLAG, stride_ * size_t(height));
    if (!infoHandle_ || !bitsHandle_) {
        release();
        return SPI_NO_MEMORY;
    }
    auto* info = static_cast<uint8_t*>(GlobalLock(infoHandle_));
    bits_ = static_cast<uint8_t*>(GlobalLock(bitsHandle_));
    if (!info || !bits_) {
        release();
        return SPI_MEMORY_ERROR;
    }
    header_ = reinterpret_cast<DibInfoHeader*>(info);
    palette_ =
        paletteEntries ? reinterpret_cast<DibRgbQuad*>(info + sizeof(DibInfoHeader)) : nullptr;
    paletteEntries_ = paletteEntries;
    header_->biSize = sizeof(DibInfoHeader);
    header_->biWidth = width;
    header_->biHeight = height;
    header_->biPlanes = 1;
    header_->biBitCount = uint16_t(bitsPerPixel);
    header_->biCompression = DIB_COMPRESSION_RGB;
    header_->biSizeImage = uint32_t(stride_ * size_t(height));
    header_->biClrUsed = paletteEntries;
    return SPI_OK;
}

int32_t DibOutput::Deliver(HGLOBAL32* bitmapInfo, HGLOBAL32* bits) {
    if (!infoHandle_ || !bitmapInfo || !bits) return SPI_INTERNAL_ERROR;
    GlobalUnlock(infoHandle_);
    GlobalUnlock(bitsHandle_);
    *bitmapInfo = infoHandle_;
    *bits = bitsHandle_;
    forget();
    return SPI_OK;
}

HGLOBAL32 MakeTextInfo(std::string_view text) {
    if (text.empty()) return 0;
    const HGLOBAL32 h = GlobalAlloc(GMEM_MOVEABLE_FLAG, text.size() + 1);
    if (!h) return 0;
    auto* p = static_cast<char*>(GlobalLock(h));
    if (!p) {
        GlobalFree(h);
        return 0;
    }
    std::memcpy(p, text.data(), text.size());
    p[text.size()] = '\0';
    GlobalUnlock(h);
    return h;
}

} // namespace spi
