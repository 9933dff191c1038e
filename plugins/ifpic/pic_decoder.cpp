#include "plugins/ifpic/pic_decoder.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pic {

namespace {

constexpr int kMaxLengthPrefix = 31; // 2^32 pixels already exceed any 16-bit picture size
constexpr int kCacheSlots = 128;

// The 128-entry colour cache, least recently used entry replaced first. Recency is a ring of
// slot numbers; initially slot 1 is the oldest and slot 0 the newest.
class ColourCache {
public:
    ColourCache() {
        for (int s = 0; s < kCacheSlots; ++s) {
            older_[s] = uint8_t((s + kCacheSlots - 1) % kCacheSlots);
            newer_[s] = uint8_t((s + 1) % kCacheSlots);
        }
        oldest_ = 1;
    }
    uint32_t Use(uint32_t slot) {
        MakeNewest(uint8_t(slot));
        return value_[slot];
    }
    void Insert(uint32_t colour) {
        const uint8_t slot = oldest_;
        value_[slot] = colour;
        MakeNewest(slot);
    }

private:
    // The ring's newest entry is the one just older than the oldest.
    void MakeNewest(uint8_t s) {
        if (s == oldest_) {
            oldest_ = newer_[s];
            return;
        }
        const uint8_t newest = older_[oldest_];
        if (s == newest) return;
        newer_[older_[s]] = newer_[s];
        older_[newer_[s]] = older_[s];
        older_[s] = newest;
        newer_[s] = oldest_;
        newer_[newest] = s;
        older_[oldest_] = s;
    }

    uint32_t value_[kCacheSlots] = {};
    uint8_t older_[kCacheSlots];
    uint8_t newer_[kCacheSlots];
    uint8_t oldest_;
};

enum class Step { Ok, Truncated, Broken };

// Distance to the next change point: k one bits, a zero, then k+1 bits.
bool ReadLength(MsbBitReader& bits, uint64_t& length) {
    const int k = bits.LeadingOnes(kMaxLengthPrefix);
    if (k > kMaxLengthPrefix) return false;
    length = uint64_t(bits.Read(k + 1)) + (uint64_t(1) << (k + 1)) - 1;
    return true;
}

// Chain step: -2..+2, or kChainEnd.
constexpr int kChainEnd = 100;
int ReadChainStep(MsbBitReader& bits) {
    switch (bits.Read(2)) {
    case 1:
        return -1;
    case 2:
        return 0;
    case 3:
        return 1;
    default:
        if (!bits.ReadBit()) return kChainEnd;
        return bits.ReadBit() ? 2 : -2;
    }
}

struct Bgr {
    uint8_t b, g, r;
};

Bgr DirectColour(uint32_t v, const PixelFormat& f) {
    if (f.intensity) {
        const uint32_t i = v & 1;
        auto c = [&](const Field& field) {
            return ExpandComponent((((v >> field.shift) & 31) << 1) | i, 6);
        };
        return {c(f.blue), c(f.green), c(f.red)};
    }
    auto c = [&](const Field& field) {
        return ExpandComponent((v >> field.shift) & ((1u << field.bits) - 1), field.bits);
    };
    return {c(f.blue), c(f.green), c(f.red)};
}

// Where decoded pixels go: straight into the delivered rows. A pixel that a chain marks ahead of
// the run holds the mark's colour in its own place until the run reaches it.
class DirectRows {
public:
    using Colour = Bgr;
    using Row = uint8_t*;
    DirectRows(const PicHeader& h, spi::DibOutput& out) : format_(h.format), out_(out) {
        if (h.depth <= 16) { // small depths go through a table of every value
            table_.resize(size_t(1) << h.depth);
            for (uint32_t v = 0; v < table_.size(); ++v)
                table_[v] = DirectColour(v, format_);
        }
    }
    Colour FromValue(uint32_t v) const {
        return table_.empty() ? DirectColour(v, format_) : table_[v & (table_.size() - 1)];
    }
    Row RowAt(uint32_t y) { return out_.row(int32_t(y)); }
    static void Put(Row row, uint32_t x, Colour c) {
        row[3 * x] = c.b;
        row[3 * x + 1] = c.g;
        row[3 * x + 2] = c.r;
    }
    static Colour At(Row row, uint32_t x) { return {row[3 * x], row[3 * x + 1], row[3 * x + 2]}; }

private:
    PixelFormat format_;
    spi::DibOutput& out_;
    std::vector<Bgr> table_;
};

class IndexRows8 {
public:
    using Colour = uint8_t;
    using Row = uint8_t*;
    explicit IndexRows8(spi::DibOutput& out) : out_(out) {}
    static Colour FromValue(uint32_t v) { return uint8_t(v); }
    Row RowAt(uint32_t y) { return out_.row(int32_t(y)); }
    static void Put(Row row, uint32_t x, Colour c) { row[x] = c; }
    static Colour At(Row row, uint32_t x) { return row[x]; }

private:
    spi::DibOutput& out_;
};

class IndexRows4 {
public:
    using Colour = uint8_t;
    using Row = uint8_t*;
    explicit IndexRows4(spi::DibOutput& out) : out_(out) {}
    static Colour FromValue(uint32_t v) { return uint8_t(v & 15); }
    Row RowAt(uint32_t y) { return out_.row(int32_t(y)); }
    static void Put(Row row, uint32_t x, Colour c) {
        uint8_t& pair = row[x / 2];
        pair = x % 2 ? uint8_t((pair & 0xF0) | c) : uint8_t((pair & 0x0F) | c << 4);
    }
    static Colour At(Row row, uint32_t x) { return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15; }

private:
    spi::DibOutput& out_;
};

// Two G3R3B2 pixels per value, low byte first, in plain raster order over twice the rows.
class TiledRows {
public:
    struct Colour {
        Bgr first, second;
    };
    using Row = uint32_t; // the coded row
    TiledRows(const PicHeader& h, spi::DibOutput& out) : width_(h.width), out_(out) {
        for (uint32_t v = 0; v < 256; ++v)
            table_[v] = DirectColour(v, h.format);
    }
    Colour FromValue(uint32_t v) const { return {table_[v & 0xFF], table_[(v >> 8) & 0xFF]}; }
    static Row RowAt(uint32_t y) { return y; }
    void Put(Row y, uint32_t x, Colour c) {
        const uint64_t at = 2 * (uint64_t(y) * width_ + x);
        DirectRows::Put(out_.row(int32_t(at / width_)), uint32_t(at % width_), c.first);
        DirectRows::Put(out_.row(int32_t((at + 1) / width_)), uint32_t((at + 1) % width_),
                        c.second);
    }
    Colour At(Row y, uint32_t x) {
        const uint64_t at = 2 * (uint64_t(y) * width_ + x);
        return {DirectRows::At(out_.row(int32_t(at / width_)), uint32_t(at % width_)),
                DirectRows::At(out_.row(int32_t((at + 1) / width_)), uint32_t((at + 1) % width_))};
    }

private:
    uint32_t width_;
    spi::DibOutput& out_;
    Bgr table_[256];
};

// Decodes every pixel into `rows`. Chain marks are one bit per pixel.
template <typename Rows> Step DecodePixels(MsbBitReader& bits, const PicHeader& h, Rows& rows) {
    const uint32_t width = h.width, height = h.height;
    const uint64_t total = uint64_t(width) * height;
    std::vector<uint64_t> marks(size_t(total / 64 + 1), 0);
    ColourCache cache;
    typename Rows::Colour current = rows.FromValue(0); // the run starts before the first pixel
    uint64_t pos = 0;                                  // the next pixel to write
    uint32_t x = 0, y = 0;
    typename Rows::Row row = rows.RowAt(0);
    auto advance = [&] {
        ++pos;
        if (++x == width) {
            x = 0;
            if (++y < height) row = rows.RowAt(y);
        }
    };
    for (;;) {
        uint64_t length;
        if (!ReadLength(bits, length)) return Step::Broken;
        if (bits.PastEnd()) return Step::Truncated;
        // length - 1 pixels repeat the running colour (a chain mark changes it), then one
        // change point follows.
        for (uint64_t n = std::min(length - 1, total - pos); n > 0; --n) {
            if (marks[pos / 64] >> (pos % 64) & 1)
                current = rows.At(row, x);
            else
                rows.Put(row, x, current);
            advance();
        }
        if (pos >= total) return Step::Ok;
        uint32_t value;
        if (!h.colourCache)
            value = bits.Read(h.depth);
        else if (bits.ReadBit())
            value = cache.Use(bits.Read(7));
        else
            cache.Insert(value = bits.Read(h.depth));
        if (bits.PastEnd()) return Step::Truncated;
        current = rows.FromValue(value);
        rows.Put(row, x, current);
        if (pos + 1 == total) return Step::Ok; // nothing after the last pixel is needed
        if (bits.ReadBit()) {
            int64_t cx = x;
            for (uint32_t cy = y;;) {
                const int step = ReadChainStep(bits);
                if (step == kChainEnd) break;
                cx += step;
                // Steps off the picture never occur in sound files; they are read and ignored.
                if (++cy >= height || cx < 0 || cx >= int64_t(width)) continue;
                const uint64_t at = uint64_t(cy) * width + uint64_t(cx);
                rows.Put(rows.RowAt(cy), uint32_t(cx), current);
                marks[at / 64] |= uint64_t(1) << (at % 64);
            }
        }
        advance();
    }
}

} // namespace

int32_t ReadInfo(Bytes file, SpiPictureInfo& info) {
    PicHeader h;
    MsbBitReader bits(nullptr, 0);
    if (const int32_t rc = ParseHeader(file, h, bits); rc != SPI_OK) return rc;
    info = SpiPictureInfo{};
    info.width = int32_t(h.outputWidth());
    info.height = int32_t(h.outputHeight());
    info.xDensity = h.xDensity;
    info.yDensity = h.yDensity;
    info.bitsPerPixel = int16_t(h.outputBitsPerPixel());
    return SPI_OK;
}

int32_t Decode(Bytes file, spi::DibOutput& out) {
    PicHeader h;
    MsbBitReader bits(nullptr, 0);
    if (const int32_t rc = ParseHeader(file, h, bits); rc != SPI_OK) return rc;
    const bool indexed = h.kind == PixelKind::Indexed;
    if (const int32_t rc = out.Allocate(int32_t(h.outputWidth()), int32_t(h.outputHeight()),
                                        h.outputBitsPerPixel(), indexed ? h.paletteEntries : 0);
        rc != SPI_OK)
        return rc;
    if (indexed)
        std::memcpy(out.palette(), h.palette.data(), h.paletteEntries * sizeof(DibRgbQuad));
    auto run = [&](auto&& rows) {
        switch (DecodePixels(bits, h, rows)) {
        case Step::Ok:
            return int32_t(SPI_OK);
        case Step::Truncated:
            return int32_t(SPI_FILE_READ_ERROR);
        case Step::Broken:
            return int32_t(SPI_BROKEN_DATA);
        }
        return int32_t(SPI_INTERNAL_ERROR);
    };
    switch (h.kind) {
    case PixelKind::Indexed:
        return h.paletteEntries <= 16 ? run(IndexRows4(out)) : run(IndexRows8(out));
    case PixelKind::Direct:
        return run(DirectRows(h, out));
    case PixelKind::Tiled256:
        return run(TiledRows(h, out));
    }
    return SPI_INTERNAL_ERROR;
}

} // namespace pic
