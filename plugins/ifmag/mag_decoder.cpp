#include "plugins/ifmag/mag_decoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "plugins/common/indexed_rows.h"
#include "plugins/common/msb_bit_reader.h"

namespace mag {

namespace {

// Where a flag nibble copies its two bytes from: words to the left, rows up.
constexpr int kCopyWordsLeft[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
constexpr int kCopyRowsUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

// The bytes [offset, offset + size) counted from the header, as far as the file holds them.
std::span<const uint8_t> Region(std::span<const uint8_t> file, const Header& h, uint64_t offset,
                                uint64_t size) {
    const uint64_t begin = std::min<uint64_t>(h.start + offset, file.size());
    const uint64_t end = std::min<uint64_t>(begin + size, file.size());
    return file.subspan(size_t(begin), size_t(end - begin));
}

// Runs the flag and copy machine over the widened area, top row first. False when `progress`
// asked to stop.
bool Unpack(std::span<const uint8_t> file, const Header& h, uint8_t* area,
            spi::Progress& progress) {
    const auto a = Region(file, h, h.flagAOffset, h.flagASize(file.size()));
    const auto b = Region(file, h, h.flagBOffset, h.flagBSize);
    const auto p = Region(file, h, h.pixelOffset, h.pixelSize);
    spi::MsbBitReader flagA(a.data(), a.size());
    spi::ByteStream flagB(b.data(), b.size());
    spi::ByteStream pixels(p.data(), p.size());

    // Copies address the area linearly: a short reach left of column 0 takes the end of the row
    // above, and anything before the first byte reads as zero.
    int64_t distance[16];
    for (int n = 0; n < 16; ++n)
        distance[n] = int64_t(kCopyRowsUp[n]) * int64_t(h.bytesPerRow()) + 2 * kCopyWordsLeft[n];

    const size_t rows = size_t(h.height());
    std::vector<uint8_t> action(h.flagsPerRow(), 0);
    int64_t at = 0;
    for (size_t row = 0; row < rows; ++row) {
        if (!progress.Report(int32_t(row), int32_t(rows))) return false;
        for (size_t f = 0; f < action.size(); ++f) {
            if (flagA.ReadBit()) action[f] ^= flagB.Next();
            const uint8_t nibbles[2] = {uint8_t(action[f] >> 4), uint8_t(action[f] & 15)};
            for (const uint8_t n : nibbles) {
                if (n == 0) {
                    area[at] = pixels.Next();
                    area[at + 1] = pixels.Next();
                } else if (const int64_t from = at - distance[n]; from >= 0) {
                    area[at] = area[from];
                    area[at + 1] = area[from + 1];
                } else {
                    area[at] = area[at + 1] = 0;
                }
                at += 2;
            }
        }
    }
    return progress.Report(int32_t(rows), int32_t(rows));
}

void CopyRows(const Header& h, const uint8_t* area, spi::DibOutput& out) {
    const auto width = size_t(h.width());
    const size_t crop = h.cropLeft();
    for (int32_t y = 0; y < h.height(); ++y) {
        const uint8_t* src = area + size_t(y) * h.bytesPerRow();
        uint8_t* dst = out.row(y);
        if (h.bitsPerPixel() == 8) {
            std::memcpy(dst, src + crop, width);
        } else if (crop % 2 == 0) {
            std::memcpy(dst, src + crop / 2, (width + 1) / 2);
            if (width % 2) dst[width / 2] &= 0xF0;
        } else {
            // The picture starts at a low nibble: shift every pixel half a byte left.
            const uint8_t* s = src + crop / 2;
            for (size_t x = 0; x < (width + 1) / 2; ++x) {
                const uint8_t next = 2 * x + 1 < width ? s[x + 1] >> 4 : 0;
                dst[x] = uint8_t((s[x] & 15) << 4 | next);
            }
        }
    }
}

} // namespace

int32_t Decode(std::span<const uint8_t> file, spi::Progress progress, spi::DibOutput& out) {
    Header h;
    if (const int32_t rc = ReadHeader(file, h); rc != SPI_OK) return rc;
    if (const int32_t rc =
            out.Allocate(h.width(), h.height(), h.bitsPerPixel(), h.paletteEntries());
        rc != SPI_OK)
        return rc;
    const uint8_t* grb = file.data() + h.paletteOffset();
    for (uint32_t i = 0; i < h.paletteEntries(); ++i, grb += 3)
        out.palette()[i] = spi::RgbEntry(grb[1], grb[0], grb[2]);

    std::vector<uint8_t> area(h.bytesPerRow() * size_t(h.height()));
    if (!Unpack(file, h, area.data(), progress)) return SPI_ABORTED;
    CopyRows(h, area.data(), out);
    return SPI_OK;
}

} // namespace mag
