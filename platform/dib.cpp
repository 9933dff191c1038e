#include "platform/dib.h"

#include <bit>
#include <cstring>

namespace platform {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kBlack = kOpaque;
constexpr size_t kInfoHeaderBytes = sizeof(DibInfoHeader); // 40
constexpr size_t kMasksOffset = 40;                        // red, green, blue
constexpr size_t kAlphaMaskOffset = 52;

uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// One colour channel of a bitfield layout, widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
    uint8_t widen[256] = {}; // for channels narrower than 8 bits

    bool Set(uint32_t m) {
        mask = m;
        if (m == 0) return true; // an absent channel reads as 0
        shift = std::countr_zero(m);
        const uint32_t run = m >> shift;
        if ((run & (run + 1)) != 0) return false; // not one run of bits
        width = std::popcount(m);
        if (width < 8) {
            for (uint32_t v = 0; v < (1u << width); ++v) {
                uint32_t repeated = 0;
                int filled = 0;
                while (filled < 8) {
                    repeated = (repeated << width) | v;
                    filled += width;
                }
                widen[v] = uint8_t(repeated >> (filled - 8));
            }
        }
        return true;
    }

    uint32_t Get(uint32_t pixel) const {
        if (mask == 0) return 0;
        const uint32_t v = (pixel & mask) >> shift;
        return width < 8 ? widen[v] : (v >> (width - 8)) & 0xFFu;
    }
};

struct Layout {
    int32_t width = 0;
    uint32_t height = 0;
    bool topDown = false;
    uint16_t bitsPerPixel = 0;
    uint64_t stride = 0;
    bool bitfields = false;
    bool alpha = false; // the pixels carry alpha that is kept
    uint32_t palette[256];
    Channel red, green, blue, alphaChannel;
};

bool ValidHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool ParseLayout(const uint8_t* info, size_t infoBytes, bool keepAlpha, Layout& out) {
    if (info == nullptr || infoBytes < kInfoHeaderBytes) return false;
    DibInfoHeader h;
    std::memcpy(&h, info, sizeof h);
    if (!ValidHeaderSize(h.biSize) || infoBytes < h.biSize) return false;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return false;
    out.width = h.biWidth;
    out.topDown = h.biHeight < 0;
    out.height = uint32_t(out.topDown ? -h.biHeight : h.biHeight);
    out.bitsPerPixel = h.biBitCount;
    out.stride = DibRowStride(uint32_t(h.biWidth), h.biBitCount);

    const uint32_t compression = h.biCompression;
    const uint16_t bpp = h.biBitCount;
    size_t tableOffset = h.biSize;
    if (compression == DIB_COMPRESSION_BITFIELDS || compression == kDibCompressionAlphaBitfields) {
        if (bpp != 16 && bpp != 32) return false;
        const bool fourMasks = compression == kDibCompressionAlphaBitfields || h.biSize >= 56;
        const size_t masksEnd = fourMasks ? kAlphaMaskOffset + 4 : kAlphaMaskOffset;
        if (infoBytes < masksEnd) return false;
        if (!out.red.Set(ReadU32(info + kMasksOffset)) ||
            !out.green.Set(ReadU32(info + kMasksOffset + 4)) ||
            !out.blue.Set(ReadU32(info + kMasksOffset + 8)))
            return false;
        const uint32_t alphaMask = fourMasks ? ReadU32(info + kAlphaMaskOffset) : 0;
        if (keepAlpha && alphaMask != 0) {
            if (!out.alphaChannel.Set(alphaMask)) return false;
            out.alpha = true;
        }
        out.bitfields = true;
        return true;
    }
    if (compression != DIB_COMPRESSION_RGB) return false;
    switch (bpp) {
    case 1:
    case 2:
    case 4:
    case 8: {
        const uint32_t limit = 1u << bpp;
        const uint32_t entries = h.biClrUsed == 0 || h.biClrUsed > limit ? limit : h.biClrUsed;
        if ((infoBytes - tableOffset) / sizeof(DibRgbQuad) < entries) return false;
        for (uint32_t i = 0; i < 256; ++i) {
            if (i >= entries) {
                out.palette[i] = kBlack;
                continue;
            }
            const uint8_t* q = info + tableOffset + i * sizeof(DibRgbQuad);
            out.palette[i] = kOpaque | uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
        }
        return true;
    }
    case 16: // 5-5-5, the top bit unused
        out.red.Set(0x7C00);
        out.green.Set(0x03E0);
        out.blue.Set(0x001F);
        out.bitfields = true;
        return true;
    case 24:
        return true;
    case 32:
        out.alpha = keepAlpha;
        return true;
    default:
        return false;
    }
}

void ConvertIndexed(const Layout& l, const uint8_t* src, uint32_t* dst, int32_t count) {
    const int bpp = l.bitsPerPixel;
    if (bpp == 8) {
        for (int32_t x = 0; x < count; ++x)
            dst[x] = l.palette[src[x]];
        return;
    }
    const int perByte = 8 / bpp;
    const uint32_t mask = (1u << bpp) - 1;
    for (int32_t x = 0; x < count; ++x) {
        const int slot = x % perByte;
        const uint32_t index = (src[x / perByte] >> (8 - bpp * (slot + 1))) & mask;
        dst[x] = l.palette[index];
    }
}

void ConvertBitfields(const Layout& l, const uint8_t* src, uint32_t* dst, int32_t count) {
    const int bytes = l.bitsPerPixel / 8;
    for (int32_t x = 0; x < count; ++x) {
        const uint8_t* p = src + size_t(x) * bytes;
        const uint32_t v = bytes == 2 ? uint32_t(p[0] | p[1] << 8) : ReadU32(p);
        const uint32_t a = l.alpha ? l.alphaChannel.Get(v) : 0xFFu;
        dst[x] = a << 24 | l.red.Get(v) << 16 | l.green.Get(v) << 8 | l.blue.Get(v);
    }
}

void ConvertRow(const Layout& l, const uint8_t* src, uint32_t* dst, int32_t count) {
    if (l.bitfields) return ConvertBitfields(l, src, dst, count);
    switch (l.bitsPerPixel) {
    case 24:
        for (int32_t x = 0; x < count; ++x, src += 3)
            dst[x] = kOpaque | uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
        return;
    case 32:
        for (int32_t x = 0; x < count; ++x, src += 4) {
            const uint32_t a = l.alpha ? uint32_t(src[3]) << 24 : kOpaque;
            dst[x] = a | uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
        }
        return;
    default:
        ConvertIndexed(l, src, dst, count);
    }
}

} // namespace

int SetDIBits(const PixelTarget& target, uint32_t startScan, uint32_t scanLines, const void* bits,
              size_t bitsBytes, const void* info, size_t infoBytes, bool keepAlpha) {
    if (target.width < 0 || target.height < 0) return 0;
    if (target.pixels == nullptr && target.width > 0 && target.height > 0) return 0;
    if (target.strideBytes < size_t(target.width) * sizeof(uint32_t)) return 0;

    Layout layout;
    if (!ParseLayout(static_cast<const uint8_t*>(info), infoBytes, keepAlpha, layout)) return 0;
    if (startScan >= layout.height) return 0;
    const uint32_t band =
        scanLines < layout.height - startScan ? scanLines : layout.height - startScan;
    if (band == 0 || bits == nullptr) return 0;

    // Every row but the last with its padding.
    const uint64_t lastRowBytes = (uint64_t(layout.width) * layout.bitsPerPixel + 7) / 8;
    uint64_t needed;
    if (__builtin_mul_overflow(layout.stride, uint64_t(band - 1), &needed) ||
        __builtin_add_overflow(needed, lastRowBytes, &needed) || needed > bitsBytes)
        return 0;

    const auto* src = static_cast<const uint8_t*>(bits);
    const int32_t count = layout.width < target.width ? layout.width : target.width;
    auto* base = reinterpret_cast<uint8_t*>(target.pixels);
    for (uint32_t i = 0; i < band; ++i) {
        // Row of the picture counted from its top.
        const uint64_t fromTop = layout.topDown ? uint64_t(layout.height) - startScan - band + i
                                                : uint64_t(layout.height) - 1 - startScan - i;
        if (fromTop >= uint64_t(target.height) || count <= 0) continue;
        auto* dst = reinterpret_cast<uint32_t*>(base + fromTop * target.strideBytes);
        ConvertRow(layout, src + uint64_t(i) * layout.stride, dst, count);
    }
    return int(band);
}

} // namespace platform
