#include "plugins/ifpic/pic_header.h"

#include <algorithm>

#include "plugins/spi.h"

namespace pic {

namespace {

constexpr uint8_t kCommentEnd = 0x1A;
constexpr int kFixedFieldBytes = 8; // reserved, type, depth, width, height

enum Machine : uint8_t { kX68000 = 0, kPc88va = 1, kFmTowns = 2, kMacintosh = 3, kGeneric = 15 };

constexpr PixelFormat kGrb555{{5, 5}, {10, 5}, {0, 5}, false};
constexpr PixelFormat kGrb555i{{6, 5}, {11, 5}, {1, 5}, true};
constexpr PixelFormat kRgb555{{10, 5}, {5, 5}, {0, 5}, false};
constexpr PixelFormat kGrb444{{4, 4}, {8, 4}, {0, 4}, false};
constexpr PixelFormat kGrb332{{2, 3}, {5, 3}, {0, 2}, false};
constexpr PixelFormat kGrb655{{5, 5}, {10, 6}, {0, 5}, false};
constexpr PixelFormat kGrb888{{8, 8}, {16, 8}, {0, 8}, false};

// Picks the pixel kind and format for a machine, mode and depth; false when unknown.
bool ClassifyPixels(PicHeader& h) {
    auto direct = [&](const PixelFormat& f) {
        h.kind = PixelKind::Direct;
        h.format = f;
        h.colourCache = h.depth > 8;
        return true;
    };
    auto indexed = [&] {
        h.kind = PixelKind::Indexed;
        h.paletteEntries = 1u << h.depth;
        return true;
    };
    switch (h.machine) {
    case kX68000:
        if (h.depth == 4 || h.depth == 8) return indexed();
        if (h.depth == 15) return direct(kGrb555);
        if (h.depth == 16) return direct(kGrb555i);
        return false;
    case kPc88va:
        if (h.mode > 3) return false;
        if (h.mode & 2) { // two 256-colour pixels per 16-bit value
            if (h.depth != 16) return false;
            h.kind = PixelKind::Tiled256;
            h.format = kGrb332;
            h.colourCache = true;
            return true;
        }
        if (h.depth == 8) return direct(kGrb332);
        if (h.depth == 12) return direct(kGrb444);
        if (h.depth == 16) return direct(kGrb655);
        return false;
    case kFmTowns:
        if (h.mode != 0 && h.mode != 5 && h.mode != 0xC) return false;
        return h.depth == 15 && direct(kGrb555);
    case kMacintosh:
        return h.depth == 15 && direct(kRgb555);
    case kGeneric:
        if (h.depth == 4 || h.depth == 8) return indexed();
        if (h.depth == 12) return direct(kGrb444);
        if (h.depth == 15) return direct(kGrb555);
        if (h.depth == 16) return direct(kGrb555i);
        if (h.depth == 24) return direct(kGrb888);
        return false;
    default:
        return false;
    }
}

DibRgbQuad X68000Colour(uint32_t word) {
    const uint32_t i = word & 1;
    auto component = [&](int shift) { return ExpandComponent(((word >> shift) & 31) << 1 | i, 6); };
    return DibRgbQuad{component(1), component(11), component(6), 0};
}

// Densities from the "/MM/" tag list at the start of the comment, if any.
void ApplyCommentTags(Bytes comment, PicHeader& h) {
    constexpr std::string_view kPrefix = "/MM/";
    const std::string_view text(reinterpret_cast<const char*>(comment.data()), comment.size());
    if (!text.starts_with(kPrefix)) return;
    std::string_view tags = text.substr(kPrefix.size());
    tags = tags.substr(0, std::min(tags.find(':'), tags.size()));
    bool square = false, x68kWide = false, lowScan = false, tallY = false;
    while (!tags.empty()) {
        const size_t slash = std::min(tags.find('/'), tags.size());
        const std::string_view tag = tags.substr(0, slash);
        square |= tag == "XSS";
        x68kWide |= tag == "XSN";
        lowScan |= tag == "XFL";
        tallY |= tag == "MY";
        tags.remove_prefix(std::min(slash + 1, tags.size()));
    }
    if (x68kWide && !square) {
        // 512 x 512 mode: pixels 13:9 wide (32:25 on the 15 kHz monitor).
        h.xDensity = lowScan ? 25 : 9;
        h.yDensity = lowScan ? 32 : 13;
    }
    if (tallY) h.xDensity = uint16_t(h.xDensity * 2); // doubled lines: pixels twice as tall
}

} // namespace

bool LooksLikePic(Bytes head) {
    if (head.size() < 3 || head[0] != 'P' || head[1] != 'I' || head[2] != 'C') return false;
    PicHeader h;
    MsbBitReader bits(nullptr, 0);
    const int32_t rc = ParseHeader(head, h, bits);
    return rc == SPI_OK || rc == SPI_FILE_READ_ERROR; // a head too short to say more
}

int32_t ParseHeader(Bytes file, PicHeader& h, MsbBitReader& bits) {
    if (file.size() < 3 || file[0] != 'P' || file[1] != 'I' || file[2] != 'C')
        return SPI_NOT_SUPPORTED;
    const size_t commentEnd = file.find(kCommentEnd, 3);
    if (commentEnd == Bytes::npos) return SPI_FILE_READ_ERROR;
    h.comment = file.substr(3, commentEnd - 3);
    // Writers may leave a "dummy" area of non-zero bytes before the zero that really ends it.
    const size_t zero = file.find(uint8_t(0), commentEnd + 1);
    if (zero == Bytes::npos) return SPI_FILE_READ_ERROR;
    const size_t typeOffset = zero + 2; // the reserved byte follows the zero
    if (file.size() - zero - 1 < kFixedFieldBytes) return SPI_FILE_READ_ERROR;

    bits = MsbBitReader(file.data() + typeOffset, file.size() - typeOffset);
    const uint32_t type = bits.Read(8);
    h.machine = uint8_t(type & 15);
    h.mode = uint8_t(type >> 4);
    h.depth = int(bits.Read(16));
    h.width = bits.Read(16);
    h.height = bits.Read(16);
    if (!ClassifyPixels(h)) return SPI_NOT_SUPPORTED;

    uint32_t paletteBits = 0; // 0: X68000 colour words
    if (h.machine == kGeneric) {
        bits.Read(32); // save position
        const uint32_t aspectX = bits.Read(8), aspectY = bits.Read(8);
        if (aspectX && aspectY) { // pixel shape width:height; densities are its inverse
            h.xDensity = uint16_t(aspectY);
            h.yDensity = uint16_t(aspectX);
        }
        if (h.depth <= 8) paletteBits = bits.Read(8);
        if (paletteBits > 8) return bits.PastEnd() ? SPI_FILE_READ_ERROR : SPI_BROKEN_DATA;
    } else if (h.machine == kFmTowns && h.mode == 0) {
        bits.Read(32);
        bits.Read(16);
    }
    if (h.xDensity == 1 && h.yDensity == 1) ApplyCommentTags(h.comment, h);

    for (uint32_t i = 0; i < h.paletteEntries; ++i) {
        if (paletteBits == 0) {
            h.palette[i] = X68000Colour(bits.Read(16));
        } else {
            const uint8_t g = ExpandComponent(bits.Read(int(paletteBits)), int(paletteBits));
            const uint8_t r = ExpandComponent(bits.Read(int(paletteBits)), int(paletteBits));
            const uint8_t b = ExpandComponent(bits.Read(int(paletteBits)), int(paletteBits));
            h.palette[i] = DibRgbQuad{b, g, r, 0};
        }
    }
    if (bits.PastEnd()) return SPI_FILE_READ_ERROR;
    if (h.width == 0 || h.height == 0) return SPI_BROKEN_DATA;
    return SPI_OK;
}

} // namespace pic
