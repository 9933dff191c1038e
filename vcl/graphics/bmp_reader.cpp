#include "vcl/graphics/bmp_reader.h"

#include <QtGlobal>

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/dib.h"
#include "platform/dib_layout.h"

namespace vcl::imageio {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kShortestOs2HeaderBytes = 16;
constexpr uint32_t kLongestOs2HeaderBytes = 64;
constexpr uint32_t kMaxHeaderBytes = 4096; // a larger unknown header is read as its first 40 bytes
constexpr uint32_t kMaxColourEntries = 65536;
constexpr size_t kMasksOffset = 40;
constexpr uint32_t kCompressionJpeg = 4; // RLE24 with an OS/2 header
constexpr uint32_t kCompressionPng = 5;
constexpr uint32_t kCompressionAlphaBitfields = platform::kDibCompressionAlphaBitfields;
constexpr uint64_t kMaxDeflateRatio = 1100; // output bytes per input byte, with some room
constexpr size_t kMaxPngChunkBytes = size_t(16) << 20;

using Bytes = std::span<const uint8_t>;

uint16_t U16(Bytes b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}
uint32_t U32(Bytes b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

ReadStatus Fail(ReadStatus status, std::string* reason, const char* text) {
    if (reason) *reason = text;
    return status;
}

// The information header, whatever its variant, in the fields of the 40-byte one.
struct Header {
    uint32_t size = 0;
    bool core = false; // 12 bytes, 3-byte colour entries
    bool os2 = false;  // 16..64 bytes
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t clrUsed = 0;
};

ReadStatus ParseHeader(Bytes b, size_t at, Header& h, std::string* reason) {
    if (b.size() < at + 4)
        return Fail(ReadStatus::Truncated, reason, "the file ends before its header");
    h.size = U32(b, at);
    if (h.size == kCoreHeaderBytes) {
        h.core = true;
    } else if (h.size < kShortestOs2HeaderBytes || h.size > kMaxHeaderBytes) {
        return Fail(ReadStatus::Invalid, reason, "unknown information header size");
    } else {
        h.os2 = h.size <= kLongestOs2HeaderBytes && h.size != 40 && h.size != 52 && h.size != 56;
    }
    if (b.size() - at < h.size)
        return Fail(ReadStatus::Truncated, reason, "the file ends inside the information header");
    if (h.core) {
        h.width = U16(b, at + 4);
        h.height = U16(b, at + 6);
        h.planes = U16(b, at + 8);
        h.bitsPerPixel = U16(b, at + 10);
        return ReadStatus::Ok;
    }
    h.width = int32_t(U32(b, at + 4));
    h.height = int32_t(U32(b, at + 8));
    h.planes = U16(b, at + 12);
    h.bitsPerPixel = U16(b, at + 14);
    if (h.size >= 20) h.compression = U32(b, at + 16);
    if (h.size >= 24) h.sizeImage = U32(b, at + 20);
    if (h.size >= 36) h.clrUsed = U32(b, at + 32);
    return ReadStatus::Ok;
}

enum class Kind { Indexed, Direct, Bitfields, Rle8, Rle4, Jpeg, Png };

ReadStatus Classify(const Header& h, Kind& kind, std::string* reason) {
    const uint16_t bpp = h.bitsPerPixel;
    const bool indexedDepth = bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8;
    switch (h.compression) {
    case DIB_COMPRESSION_RGB:
        if (indexedDepth)
            kind = Kind::Indexed;
        else if (bpp == 16 || bpp == 24 || bpp == 32)
            kind = Kind::Direct;
        else
            return Fail(ReadStatus::Invalid, reason, "unsupported bits per pixel");
        return ReadStatus::Ok;
    case DIB_COMPRESSION_RLE8:
        if (bpp != 8) return Fail(ReadStatus::Invalid, reason, "RLE8 needs 8 bits per pixel");
        kind = Kind::Rle8;
        return ReadStatus::Ok;
    case DIB_COMPRESSION_RLE4:
        if (bpp != 4) return Fail(ReadStatus::Invalid, reason, "RLE4 needs 4 bits per pixel");
        kind = Kind::Rle4;
        return ReadStatus::Ok;
    case DIB_COMPRESSION_BITFIELDS:
    case kCompressionAlphaBitfields:
        if (h.os2) return Fail(ReadStatus::Invalid, reason, "unsupported OS/2 Huffman compression");
        if (bpp != 16 && bpp != 32)
            return Fail(ReadStatus::Invalid, reason, "bitfields need 16 or 32 bits per pixel");
        kind = Kind::Bitfields;
        return ReadStatus::Ok;
    case kCompressionJpeg:
        if (h.os2) return Fail(ReadStatus::Invalid, reason, "unsupported OS/2 RLE24 compression");
        kind = Kind::Jpeg;
        return ReadStatus::Ok;
    case kCompressionPng:
        if (h.os2) return Fail(ReadStatus::Invalid, reason, "unknown compression");
        kind = Kind::Png;
        return ReadStatus::Ok;
    default:
        return Fail(ReadStatus::Invalid, reason, "unknown compression");
    }
}

// What the pixel transfer needs: a 40-byte header and a full colour table or four masks.
struct Canonical {
    std::vector<uint8_t> info;
    DibInfoHeader* header() { return reinterpret_cast<DibInfoHeader*>(info.data()); }
};

Canonical MakeCanonical(int32_t width, int32_t rows, bool topDown, uint16_t bpp,
                        uint32_t compression, size_t tableWords) {
    Canonical c;
    c.info.assign(sizeof(DibInfoHeader) + 4 * tableWords, 0);
    DibInfoHeader h{};
    h.biSize = sizeof(DibInfoHeader);
    h.biWidth = width;
    h.biHeight = topDown ? -rows : rows;
    h.biPlanes = 1;
    h.biBitCount = bpp;
    h.biCompression = compression;
    h.biClrUsed = compression == DIB_COMPRESSION_RGB && bpp <= 8 ? uint32_t(tableWords) : 0;
    std::memcpy(c.info.data(), &h, sizeof h);
    return c;
}

void PutWord(Canonical& c, size_t index, uint32_t word) {
    std::memcpy(c.info.data() + sizeof(DibInfoHeader) + 4 * index, &word, 4);
}

bool Transfer(QImage& image, const Canonical& c, Bytes rows, bool keepAlpha) {
    const platform::PixelTarget target{reinterpret_cast<uint32_t*>(image.bits()),
                                       size_t(image.bytesPerLine()), image.width(), image.height()};
    return platform::SetDIBits(target, 0, uint32_t(image.height()), rows.data(), rows.size(),
                               c.info.data(), c.info.size(), keepAlpha) == image.height();
}

// Run-length data expanded into 8-bit indices, bottom row first. Pixels the stream never
// writes (skipped by a delta or an early end of line) keep index 0.
ReadStatus ExpandRle(Bytes data, bool rle4, int32_t width, int32_t rows, std::vector<uint8_t>& out,
                     size_t stride, std::string* reason) {
    size_t p = 0;
    int64_t x = 0, y = 0;
    auto put = [&](uint8_t index) {
        if (x < width && y < rows) out[size_t(y) * stride + size_t(x)] = index;
        ++x;
    };
    while (y < rows) {
        if (data.size() - p < 2)
            return Fail(ReadStatus::Truncated, reason, "the run-length data ends early");
        const uint8_t count = data[p], value = data[p + 1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(rle4 ? uint8_t((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of picture
            return ReadStatus::Ok;
        case 2: // delta
            if (data.size() - p < 2)
                return Fail(ReadStatus::Truncated, reason, "the run-length data ends early");
            x += data[p];
            y += data[p + 1];
            p += 2;
            break;
        default: { // literal pixels, padded to a whole number of 16-bit words
            const size_t bytes = rle4 ? (value + 1u) / 2u : value;
            if (data.size() - p < bytes)
                return Fail(ReadStatus::Truncated, reason, "the run-length data ends early");
            for (int i = 0; i < value; ++i) {
                const uint8_t b = data[p + (rle4 ? i / 2 : i)];
                put(rle4 ? uint8_t((i & 1) ? b & 0x0F : b >> 4) : b);
            }
            p += std::min(data.size() - p, (bytes + 1) & ~size_t(1));
        }
        }
    }
    return ReadStatus::Ok;
}

// Format_ARGB32 when some pixel is not opaque, else Format_RGB32 (same bytes, alpha 0xFF).
void SettleFormat(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] >> 24) != 0xFF) return;
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
}

bool AnyAlpha(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] >> 24) != 0) return true;
    }
    return false;
}

void MakeOpaque(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xFF000000u;
    }
}

// The icon's AND mask: a set bit makes the pixel transparent.
void ApplyMask(QImage& image, Bytes mask, size_t stride) {
    const int rows = image.height();
    for (int r = 0; r < rows; ++r) {
        auto* dst = reinterpret_cast<uint32_t*>(image.scanLine(rows - 1 - r));
        const uint8_t* src = mask.data() + size_t(r) * stride;
        for (int x = 0; x < image.width(); ++x) {
            if ((src[x / 8] >> (7 - x % 8)) & 1)
                dst[x] &= 0x00FFFFFFu;
            else
                dst[x] |= 0xFF000000u;
        }
    }
}

QImage Settled(QImage image) {
    if (image.isNull()) return image;
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                          : QImage::Format_RGB32);
    return image;
}

// Reads the DIB whose information header starts at `at`. `offBits` is the file header's
// pixel-data offset (counted from the start of `b`), or 0 when there is none.
ReadStatus ReadDibAt(Bytes b, size_t at, uint32_t offBits, const DibOptions& options, QImage& out,
                     std::string* reason) {
    Header h;
    if (const ReadStatus s = ParseHeader(b, at, h, reason); s != ReadStatus::Ok) return s;
    Kind kind;
    if (const ReadStatus s = Classify(h, kind, reason); s != ReadStatus::Ok) return s;
    if (h.planes != 1) return Fail(ReadStatus::Invalid, reason, "planes must be 1");
    if (options.iconMask && kind != Kind::Indexed && kind != Kind::Direct &&
        kind != Kind::Bitfields)
        return Fail(ReadStatus::Invalid, reason, "icon images are not compressed");
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN)
        return Fail(ReadStatus::Invalid, reason, "width or height is zero or negative");
    const bool topDown = h.height < 0;
    int64_t rows = topDown ? -int64_t(h.height) : h.height;
    if (options.iconMask) {
        if (topDown || rows < 2) return Fail(ReadStatus::Invalid, reason, "bad icon height");
        rows /= 2;
    }
    if (h.width > kMaxImageSide || rows > kMaxImageSide ||
        uint64_t(h.width) * uint64_t(rows) > kMaxImagePixels)
        return Fail(ReadStatus::Invalid, reason, "the picture is too large");
    const bool rle = kind == Kind::Rle4 || kind == Kind::Rle8;
    if (topDown && rle)
        return Fail(ReadStatus::Invalid, reason, "run-length pictures cannot be top-down");

    // Masks: inside headers of 52 bytes and more, after a 40-byte one.
    uint32_t masks[4] = {};
    size_t tableStart = at + h.size;
    if (kind == Kind::Bitfields) {
        const bool alphaMask = h.compression == kCompressionAlphaBitfields || h.size >= 56;
        const size_t masksEnd = at + kMasksOffset + (alphaMask ? 16 : 12);
        if (b.size() < masksEnd)
            return Fail(ReadStatus::Truncated, reason, "the file ends inside the bitfield masks");
        for (int i = 0; i < (alphaMask ? 4 : 3); ++i)
            masks[i] = U32(b, at + kMasksOffset + 4 * i);
        tableStart = std::max(tableStart, masksEnd);
    }

    // The colour table: what the header declares, unless the pixel data begins inside it.
    const size_t entryBytes = h.core ? 3 : 4;
    const uint32_t depthEntries = h.bitsPerPixel <= 8 ? 1u << h.bitsPerPixel : 0;
    uint64_t declared = h.core ? depthEntries : (h.clrUsed ? h.clrUsed : depthEntries);
    if (declared > kMaxColourEntries) {
        if (depthEntries) return Fail(ReadStatus::Invalid, reason, "the colour table is too large");
        declared = 0; // an optional table of a direct-colour picture: not needed
    }
    const size_t tableEnd = tableStart + size_t(declared) * entryBytes;
    size_t dataOffset = tableEnd;
    uint64_t available = declared;
    if (offBits >= tableStart && offBits < b.size()) {
        dataOffset = offBits;
        available = std::min<uint64_t>(declared, (offBits - tableStart) / entryBytes);
    }
    const uint32_t used = uint32_t(std::min<uint64_t>(available, depthEntries));
    if ((b.size() - std::min(b.size(), tableStart)) / entryBytes < used)
        return Fail(ReadStatus::Truncated, reason, "the file ends inside the colour table");

    if (kind == Kind::Jpeg || kind == Kind::Png) {
        if (dataOffset >= b.size())
            return Fail(ReadStatus::Truncated, reason, "the embedded picture is missing");
        Bytes data = b.subspan(dataOffset);
        if (h.sizeImage != 0 && h.sizeImage < data.size()) data = data.first(h.sizeImage);
        QImage image = Settled(DecodeEmbedded(data, kind == Kind::Png ? "PNG" : "JPEG"));
        if (image.isNull())
            return Fail(ReadStatus::Invalid, reason, "the embedded picture does not decode");
        out = std::move(image);
        return ReadStatus::Ok;
    }

    const uint16_t bpp = rle ? 8 : h.bitsPerPixel;
    const uint64_t stride = DibRowStride(uint32_t(h.width), bpp);
    Bytes rowData;
    std::vector<uint8_t> expanded;
    if (rle) {
        if (dataOffset > b.size()) dataOffset = b.size();
        expanded.assign(size_t(stride * uint64_t(rows)), 0);
        const ReadStatus s = ExpandRle(b.subspan(dataOffset), kind == Kind::Rle4, h.width,
                                       int32_t(rows), expanded, size_t(stride), reason);
        if (s != ReadStatus::Ok) return s;
        rowData = expanded;
    } else {
        const uint64_t lastRow = (uint64_t(h.width) * bpp + 7) / 8;
        const uint64_t needed = stride * uint64_t(rows - 1) + lastRow;
        auto fits = [&](size_t offset) {
            return offset <= b.size() && b.size() - offset >= needed;
        };
        if (!fits(dataOffset)) {
            // A pixel-data offset beyond the file: the rows may follow the colour table.
            if (offBits >= b.size() && fits(tableEnd))
                dataOffset = tableEnd;
            else
                return Fail(ReadStatus::Truncated, reason, "the pixel data ends early");
        }
        rowData = b.subspan(dataOffset, size_t(needed));
    }

    // The canonical header for the transfer.
    Canonical canonical;
    bool alphaDecoded = false;
    if (kind == Kind::Bitfields) {
        const bool alpha = masks[3] != 0;
        canonical =
            MakeCanonical(h.width, int32_t(rows), topDown, bpp,
                          alpha ? kCompressionAlphaBitfields : uint32_t(DIB_COMPRESSION_BITFIELDS),
                          alpha ? 4 : 3);
        for (int i = 0; i < (alpha ? 4 : 3); ++i)
            PutWord(canonical, i, masks[i]);
        alphaDecoded = alpha;
    } else if (kind == Kind::Direct) {
        canonical = MakeCanonical(h.width, int32_t(rows), topDown, bpp, DIB_COMPRESSION_RGB, 0);
        alphaDecoded = options.iconMask && bpp == 32;
    } else {
        const size_t entries = rle ? 256 : depthEntries;
        canonical =
            MakeCanonical(h.width, int32_t(rows), topDown, bpp, DIB_COMPRESSION_RGB, entries);
        for (uint32_t i = 0; i < used; ++i) {
            const uint8_t* q = b.data() + tableStart + i * entryBytes;
            PutWord(canonical, i, uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0]);
        }
    }

    QImage image(h.width, int(rows), QImage::Format_ARGB32);
    if (image.isNull())
        return Fail(ReadStatus::Invalid, reason, "not enough memory for the picture");
    if (!Transfer(image, canonical, rowData, alphaDecoded))
        return Fail(ReadStatus::Invalid, reason, "the pixel rows could not be transferred");

    if (options.iconMask) {
        // A 32-bit icon with alpha uses it; every other one its AND mask.
        if (!(alphaDecoded && AnyAlpha(image))) {
            const uint64_t maskStride = DibRowStride(uint32_t(h.width), 1);
            const size_t maskOffset = dataOffset + size_t(stride * uint64_t(rows));
            const uint64_t maskBytes = maskStride * uint64_t(rows);
            if (maskOffset > b.size() || b.size() - maskOffset < maskBytes)
                return Fail(ReadStatus::Truncated, reason, "the file ends inside the icon's mask");
            ApplyMask(image, b.subspan(maskOffset, size_t(maskBytes)), size_t(maskStride));
        }
    } else if (alphaDecoded && !AnyAlpha(image)) {
        MakeOpaque(image); // an alpha mask whose every value is 0 means the writer kept none
    }
    SettleFormat(image);
    out = std::move(image);
    return ReadStatus::Ok;
}

// Qt's decoders report broken data on the message log; a reader stays silent.
QtMessageHandler g_previousHandler = nullptr;
void DropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

// PNG goes through libpng directly: Qt leaves libpng's default error handler in place, which
// prints to stderr.
struct PngJob {
    Bytes data;
    size_t position = 0;
    QImage image;
    std::vector<png_bytep> rows;
};

void PngRead(png_structp png, png_bytep out, png_size_t count) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (job->data.size() - job->position < count) png_error(png, "truncated");
    std::memcpy(out, job->data.data() + job->position, count);
    job->position += count;
}
[[noreturn]] void PngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

// Everything that may jump back lives in `job`, outside this frame.
bool RunPng(png_structp png, png_infop info, PngJob& job) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &job, PngRead);
    png_set_user_limits(png, uint32_t(kMaxImageSide), uint32_t(kMaxImageSide));
    // A chunk's buffer (and a decompressed text or profile) may not grow beyond what the data
    // could hold: a forged length would otherwise allocate gigabytes.
    png_set_chunk_malloc_max(
        png, std::min<size_t>(kMaxPngChunkBytes, job.data.size() * kMaxDeflateRatio));
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (uint64_t(width) * height > kMaxImagePixels) return false;
    // Deflate packs at most about 1032 bytes into one: a picture that its data cannot hold is
    // refused before its pixels are allocated.
    const uint64_t filteredBytes = uint64_t(height) * (png_get_rowbytes(png, info) + 1);
    if (filteredBytes / kMaxDeflateRatio > job.data.size()) return false;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4) return false;
    job.image = QImage(int(width), int(height), QImage::Format_ARGB32);
    if (job.image.isNull()) return false;
    job.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        job.rows[y] = job.image.scanLine(int(y));
    png_read_image(png, job.rows.data());
    return true;
}

// libpng allocates a chunk's claimed length before reading it; a forged length in a small file
// must not cost gigabytes. Every chunk up to IEND (or the end of the data) must fit.
bool PngChunksFit(Bytes data) {
    constexpr size_t kSignatureBytes = 8, kChunkOverhead = 12; // length, type, CRC
    size_t p = kSignatureBytes;
    while (data.size() - p >= 8) {
        const uint32_t length = uint32_t(data[p]) << 24 | uint32_t(data[p + 1]) << 16 |
                                uint32_t(data[p + 2]) << 8 | data[p + 3];
        if (length > data.size() - p - 8) return false;
        if (std::memcmp(data.data() + p + 4, "IEND", 4) == 0) return true;
        p += std::min(data.size() - p, size_t(length) + kChunkOverhead);
    }
    return true;
}

QImage DecodePng(Bytes data) {
    if (data.size() < 8 || !PngChunksFit(data)) return {};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (png == nullptr) return {};
    png_infop info = png_create_info_struct(png);
    PngJob job;
    job.data = data;
    const bool ok = info != nullptr && RunPng(png, info, job);
    png_destroy_read_struct(&png, &info, nullptr);
    return ok ? job.image : QImage();
}

} // namespace

QImage DecodeEmbedded(std::span<const uint8_t> data, const char* format) {
    if (data.empty() || data.size() > size_t(INT32_MAX)) return {};
    QImage image;
    if (std::strcmp(format, "PNG") == 0) {
        image = DecodePng(data);
    } else {
        g_previousHandler = qInstallMessageHandler(DropMessage);
        image = QImage::fromData(data.data(), int(data.size()), format);
        qInstallMessageHandler(g_previousHandler);
    }
    if (!image.isNull() && (image.width() > kMaxImageSide || image.height() > kMaxImageSide))
        return {};
    return image;
}

ReadStatus ReadDib(std::span<const uint8_t> dib, const DibOptions& options, QImage& out,
                   std::string* reason) {
    return ReadDibAt(dib, 0, 0, options, out, reason);
}

ReadStatus ReadBmp(std::span<const uint8_t> file, QImage& out, std::string* reason) {
    if (file.empty()) return Fail(ReadStatus::Truncated, reason, "the file is empty");
    if (file[0] != 'B' || (file.size() > 1 && file[1] != 'M'))
        return Fail(ReadStatus::Invalid, reason, "not a BMP file");
    if (file.size() < kFileHeaderBytes)
        return Fail(ReadStatus::Truncated, reason, "the file ends inside the file header");
    return ReadDibAt(file, kFileHeaderBytes, U32(file, 10), DibOptions{}, out, reason);
}

} // namespace vcl::imageio
