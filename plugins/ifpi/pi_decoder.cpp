#include "plugins/ifpi/pi_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "plugins/common/indexed_rows.h"
#include "plugins/common/msb_bit_reader.h"

namespace pi {

namespace {

constexpr unsigned kMaxLengthPrefix = 31; // 1-bits before a copy length; more cannot be meant

// Colours are coded as ranks in a move-to-front list kept per previous colour.
class ColourReader {
public:
    explicit ColourReader(uint32_t colours)
        : colours_(colours), maxGroup_(colours == 256 ? 6 : 2), table_(colours * colours) {
        for (uint32_t prev = 0; prev < colours; ++prev)
            for (uint32_t i = 0; i < colours; ++i)
                table_[prev * colours + i] = uint8_t((prev + colours - i) % colours);
    }

    uint8_t Next(spi::MsbBitReader& bits, uint8_t prev) {
        unsigned rank;
        if (bits.ReadBit()) {
            rank = bits.ReadBit();
        } else {
            unsigned group = 0;
            while (group < maxGroup_ && bits.ReadBit())
                ++group;
            rank = (2u << group) + bits.Read(group + 1);
        }
        uint8_t* list = &table_[size_t(prev % colours_) * colours_];
        const uint8_t colour = list[rank];
        std::memmove(list + 1, list, rank);
        list[0] = colour;
        return colour;
    }

private:
    uint32_t colours_;
    unsigned maxGroup_;
    std::vector<uint8_t> table_;
};

unsigned ReadPosition(spi::MsbBitReader& bits) {
    const unsigned first = bits.Read(2);
    return first < 3 ? first : 3 + bits.ReadBit();
}

uint64_t ReadPairs(spi::MsbBitReader& bits) {
    unsigned prefix = 0;
    while (prefix < kMaxLengthPrefix && bits.ReadBit())
        ++prefix;
    return (uint64_t(1) << prefix) + bits.Read(prefix);
}

// Pixel i of the picture is at buffer[lead + i]. Before it lie two virtual rows painted with the
// first two colours, which is where copies from above the top row read.
// `decoded` tells how many pixels the stream reached; the rest of the buffer is not written.
// False when `progress` asked to stop.
bool Unpack(std::span<const uint8_t> data, const Header& h, uint8_t* buffer, size_t lead,
            spi::Progress& progress, uint64_t& decoded) {
    const uint64_t total = uint64_t(h.width) * h.height;
    const uint64_t w = h.width;
    spi::MsbBitReader bits(data.data(), data.size());
    ColourReader colours(h.colours());
    const uint8_t c0 = colours.Next(bits, 0);
    const uint8_t c1 = colours.Next(bits, c0);
    for (size_t j = 0; j < lead; ++j)
        buffer[j] = j % 2 ? c1 : c0;

    uint8_t* px = buffer + lead;
    const uint64_t distance[5] = {0, w, 2 * w, w - 1, w + 1};
    constexpr unsigned kNone = 5;
    unsigned last = kNone;
    uint64_t i = 0;
    uint64_t reportedRow = 0;
    while (i < total && bits.BitsPastEnd() <= kZeroTailBits) {
        if (const uint64_t row = i / w; row != reportedRow) {
            if (!progress.Report(int32_t(row), int32_t(h.height))) return false;
            reportedRow = row;
        }
        const unsigned position = ReadPosition(bits);
        if (position == last) {
            // The same position twice in a row starts colour pairs instead of a copy.
            do {
                const uint8_t a = colours.Next(bits, px[i - 1]);
                px[i++] = a;
                const uint8_t b = colours.Next(bits, a);
                if (i < total) px[i++] = b;
            } while (i < total && bits.ReadBit());
            last = kNone;
            continue;
        }
        const uint64_t count = std::min(2 * ReadPairs(bits), total - i);
        const uint8_t* here = px + i;
        const uint64_t d = position == 0 ? (here[-2] == here[-1] ? 2 : 4) : distance[position];
        const uint8_t* from = here - d;
        for (uint64_t k = 0; k < count; ++k)
            px[i + k] = from[k]; // overlapping runs repeat
        i += count;
        last = position;
    }
    decoded = i;
    return progress.Report(int32_t(h.height), int32_t(h.height));
}

// A PC-98 stores 4-bit levels in the high nibble, and then the nibble is repeated so that 0xF0
// becomes full white. A palette with any low nibble set holds 8-bit levels and is taken as it is.
void StoredPalette(std::span<const uint8_t> rgb, DibRgbQuad* palette) {
    const bool fourBit = std::all_of(rgb.begin(), rgb.end(), [](uint8_t v) { return !(v & 15); });
    auto level = [&](uint8_t v) { return fourBit ? uint8_t(v | v >> 4) : v; };
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        palette[i / 3] = spi::RgbEntry(level(rgb[i]), level(rgb[i + 1]), level(rgb[i + 2]));
}

} // namespace

void DefaultPalette(uint32_t colours, DibRgbQuad* palette) {
    if (colours == 16) {
        // Digital colours: bit 0 blue, bit 1 red, bit 2 green; the upper eight at full level.
        for (unsigned i = 0; i < 16; ++i) {
            const uint8_t level = i < 8 ? 0x77 : 0xFF;
            palette[i] = spi::RgbEntry(i & 2 ? level : 0, i & 4 ? level : 0, i & 1 ? level : 0);
        }
        return;
    }
    // Index bits GGGRRRBB; a non-zero level is filled up with ones so that the top one is white.
    for (unsigned i = 0; i < 256; ++i) {
        const unsigned g = i >> 5, r = (i >> 2) & 7, b = i & 3;
        palette[i] = spi::RgbEntry(r ? uint8_t(r << 5 | 0x1F) : 0, g ? uint8_t(g << 5 | 0x1F) : 0,
                                   b ? uint8_t(b << 6 | 0x3F) : 0);
    }
}

int32_t Decode(std::span<const uint8_t> file, spi::Progress progress, spi::DibOutput& out) {
    Header h;
    if (const int32_t rc = ReadHeader(file, h); rc != SPI_OK) return rc;
    if (const int32_t rc = out.Allocate(h.width, h.height, h.depth, h.colours()); rc != SPI_OK)
        return rc;
    if (h.hasPalette()) {
        StoredPalette(file.subspan(h.paletteOffset, h.colours() * 3), out.palette());
    } else {
        DefaultPalette(h.colours(), out.palette());
    }

    const size_t lead = std::max<size_t>(2 * size_t(h.width), 4);
    // Left uninitialised: a hostile header may claim a picture far larger than its stream, and
    // pages never reached are then never touched. The delivered rows start as colour 0.
    const size_t total = size_t(h.width) * h.height;
    const auto buffer = std::make_unique_for_overwrite<uint8_t[]>(lead + total);
    uint64_t decoded = 0;
    if (!Unpack(file.subspan(h.dataOffset), h, buffer.get(), lead, progress, decoded))
        return SPI_ABORTED;
    const size_t rows = (size_t(decoded) + h.width - 1) / h.width;
    uint8_t* px = buffer.get() + lead;
    std::fill(px + decoded, px + std::min(total, rows * h.width), uint8_t(0));
    for (size_t y = 0; y < rows; ++y)
        spi::PackIndexRow(px + y * h.width, h.width, h.depth, out.row(int32_t(y)));
    return SPI_OK;
}

} // namespace pi
