#include "vcl/metafile/dib_image.h"

#include "platform/dib.h"
#include "platform/dib_layout.h"
#include "vcl/metafile/byte_reader.h"
#include "vcl/metafile/limits.h"

#include <cstring>
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
    } else {
        return std::nullopt;
    }
    if (!in.Ok() || f.width <= 0 || f.height == 0 || f.height == INT32_MIN) return std::nullopt;
    f.topDown = f.height < 0;
    if (f.topDown) f.height = -f.height;
    if (uint64_t(f.width) * uint64_t(f.height) > kMaxBitmapPixels) return std::nullopt;
    switch (f.bitCount) {
    case 1:
    case 2:
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
    const bool masked = f.compression == DIB_COMPRESSION_BITFIELDS ||
                        f.compression == platform::kDibCompressionAlphaBitfields;
    if (f.compression != DIB_COMPRESSION_RGB && !(masked && (f.bitCount == 16 || f.bitCount == 32)))
        return std::nullopt;
    f.tableOffset = headerBytes;
    if (masked && headerBytes == kInfoHeaderBytes)
        f.tableOffset += f.compression == DIB_COMPRESSION_BITFIELDS ? 12 : 16;
    if (paletteIndices) f.entryBytes = 2;
    return f;
}

uint32_t TableBytes(const DibFormat& f) {
    return f.colorCount * f.entryBytes;
}

} // namespace

QImage DecodeDib(std::span<const uint8_t> info, std::span<const uint8_t> bits,
                 bool paletteIndices) {
    const std::optional<DibFormat> format = ReadFormat(info, paletteIndices);
    if (!format) return {};
    const DibFormat& f = *format;
    if (uint64_t(f.tableOffset) + TableBytes(f) > info.size()) return {};

    // The transfer takes a 40-byte header with a table of four-byte colours: rewrite the old
    // 12-byte header, and turn palette indices (a palette we do not have) into grey levels.
    std::vector<uint8_t> rewritten;
    std::span<const uint8_t> header = info;
    if (f.entryBytes != 4) {
        rewritten.resize(kInfoHeaderBytes + size_t(f.colorCount) * 4);
        DibInfoHeader h{};
        h.biSize = kInfoHeaderBytes;
        h.biWidth = f.width;
        h.biHeight = f.topDown ? -f.height : f.height;
        h.biPlanes = 1;
        h.biBitCount = f.bitCount;
        h.biCompression = DIB_COMPRESSION_RGB;
        h.biClrUsed = f.colorCount;
        std::memcpy(rewritten.data(), &h, sizeof h);
        ByteReader colors(info, f.tableOffset);
        for (uint32_t i = 0; i < f.colorCount; ++i) {
            uint8_t* quad = rewritten.data() + kInfoHeaderBytes + 4 * i;
            if (paletteIndices) {
                quad[0] = quad[1] = quad[2] = static_cast<uint8_t>(colors.U16());
            } else {
                quad[0] = colors.U8();
                quad[1] = colors.U8();
                quad[2] = colors.U8();
            }
        }
        header = rewritten;
    }

    QImage image(f.width, f.height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    const platform::PixelTarget target{reinterpret_cast<uint32_t*>(image.bits()),
                                       static_cast<size_t>(image.bytesPerLine()), f.width,
                                       f.height};
    const int rows = platform::SetDIBits(target, 0, static_cast<uint32_t>(f.height), bits.data(),
                                         bits.size(), header.data(), header.size());
    if (rows <= 0) return {};
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
