#include "vcl/metafile/dib_image.h"

#include "platform/dib_layout.h"
#include "vcl/metafile/byte_reader.h"
#include "vcl/metafile/limits.h"

#include <bit>
#include <optional>

namespace vcl::metafile {
namespace {

constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;

struct DibFormat {
    int32_t width = 0, height = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorCount = 0;  // colour-table entries
    uint32_t entryBytes = 4;  // 3 for the core header
    uint32_t tableOffset = 0; // from the start of the header
    uint32_t masks[3] = {0, 0, 0};
    bool topDown = false;
};

std::optional<DibFormat> ReadFormat(std::span<const uint8_t> info, bool paletteIndices) {
    ByteReader in(info);
    DibFormat f;
    const uint32_t headerBytes = in.U32();
    if (headerBytes == kCoreHeaderBytes) {
        f.width = in.U16();
        f.height = in.U16();
        in.Skip(2);
        f.bitCount = in.U16();
        f.entryBytes = 3;
    } else if (headerBytes >= kInfoHeaderBytes && headerBytes <= info.size()) {
        f.width = in.I32();
        f.height = in.I32();
        in.Skip(2);
        f.bitCount = in.U16();
        f.compression = in.U32();
        in.Skip(12);
        f.colorCount = in.U32();
        if (f.compression == DIB_COMPRESSION_BITFIELDS) {
            ByteReader masks(info, kInfoHeaderBytes);
            for (uint32_t& m : f.masks)
                m = masks.U32();
            if (!masks.Ok()) return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    if (!in.Ok() || f.width <= 0 || f.height == 0 || f.height == INT32_MIN) return std::nullopt;
    f.topDown = f.height < 0;
    if (f.topDown) f.height = -f.height;
    if (uint64_t(f.width) * uint64_t(f.height) > kMaxBitmapPixels) return std::nullopt;
    switch (f.bitCount) {
    case 1:
    case 4:
    case 8:
        if (f.colorCount == 0 || f.colorCount > (1u << f.bitCount)) f.colorCount = 1u << f.bitCount;
        break;
    case 16:
    case 24:
    case 32:
        f.colorCount = 0;
        break;
    default:
        return std::nullopt;
    }
    if (f.compression != DIB_COMPRESSION_RGB &&
        !(f.compression == DIB_COMPRESSION_BITFIELDS && (f.bitCount == 16 || f.bitCount == 32)))
        return std::nullopt;
    f.tableOffset = headerBytes;
    if (f.compression == DIB_COMPRESSION_BITFIELDS && headerBytes == kInfoHeaderBytes)
        f.tableOffset += 12;
    if (paletteIndices) f.entryBytes = 2;
    return f;
}

uint32_t TableBytes(const DibFormat& f) {
    return f.colorCount * f.entryBytes;
}

// The colour of a masked channel, scaled to 0..255.
int Channel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255u / max);
}

} // namespace

QImage DecodeDib(std::span<const uint8_t> info, std::span<const uint8_t> bits,
                 bool paletteIndices) {
    const std::optional<DibFormat> format = ReadFormat(info, paletteIndices);
    if (!format) return {};
    const DibFormat& f = *format;
    const uint64_t stride = DibRowStride(uint32_t(f.width), f.bitCount);
    if (stride * uint64_t(f.height) > bits.size()) return {};
    if (uint64_t(f.tableOffset) + TableBytes(f) > info.size()) return {};

    QList<QRgb> table;
    ByteReader colors(info, f.tableOffset);
    for (uint32_t i = 0; i < f.colorCount; ++i) {
        if (paletteIndices) {
            const int level = colors.U16() & 0xFF;
            table.push_back(qRgb(level, level, level));
            continue;
        }
        const int b = colors.U8(), g = colors.U8(), r = colors.U8();
        if (f.entryBytes == 4) colors.U8();
        table.push_back(qRgb(r, g, b));
    }

    QImage image(f.width, f.height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    uint32_t masks[3] = {f.masks[0], f.masks[1], f.masks[2]};
    if (f.compression != DIB_COMPRESSION_BITFIELDS) {
        if (f.bitCount == 16) {
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
        }
    }
    for (int y = 0; y < f.height; ++y) {
        const uint8_t* row = bits.data() + stride * uint64_t(f.topDown ? y : f.height - 1 - y);
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < f.width; ++x) {
            switch (f.bitCount) {
            case 1:
            case 4:
            case 8: {
                const int perByte = 8 / f.bitCount;
                const int shift = 8 - f.bitCount * (x % perByte + 1);
                const uint32_t index = (row[x / perByte] >> shift) & ((1u << f.bitCount) - 1);
                out[x] = index < uint32_t(table.size()) ? table[index] : qRgb(0, 0, 0);
                break;
            }
            case 16: {
                const uint32_t p = row[2 * x] | (row[2 * x + 1] << 8);
                out[x] = qRgb(Channel(p, masks[0]), Channel(p, masks[1]), Channel(p, masks[2]));
                break;
            }
            case 24:
                out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            case 32: {
                const uint32_t p = row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) |
                                   (uint32_t(row[4 * x + 3]) << 24);
                out[x] = qRgb(Channel(p, masks[0]), Channel(p, masks[1]), Channel(p, masks[2]));
                break;
            }
            }
        }
    }
    return image;
}

QImage DecodePackedDib(std::span<const uint8_t> dib, bool paletteIndices) {
    const std::optional<DibFormat> format = ReadFormat(dib, paletteIndices);
    if (!format) return {};
    const uint64_t bitsStart = uint64_t(format->tableOffset) + TableBytes(*format);
    if (bitsStart > dib.size()) return {};
    return DecodeDib(dib.first(static_cast<size_t>(bitsStart)), dib.subspan(bitsStart),
                     paletteIndices);
}

} // namespace vcl::metafile
