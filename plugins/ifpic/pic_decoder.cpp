#include "plugins/ifpic/pic_decoder.h"

#include <cstring>
#include <new>
#include <vector>

namespace pic {

namespace {

// A pixel of the working buffer not yet reached by the run but marked by a chain carries its
// colour with this flag; colour values have at most 24 bits.
constexpr uint32_t kChainMark = 0x80000000u;
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
    int k = 0;
    while (bits.Bit()) {
        if (++k > kMaxLengthPrefix) return false;
    }
    length = uint64_t(bits.Bits(k + 1)) + (uint64_t(1) << (k + 1)) - 1;
    return true;
}

// Chain step: -2..+2, or kChainEnd.
constexpr int kChainEnd = 100;
int ReadChainStep(MsbBitReader& bits) {
    switch (bits.Bits(2)) {
    case 1:
        return -1;
    case 2:
        return 0;
    case 3:
        return 1;
    default:
        if (!bits.Bit()) return kChainEnd;
        return bits.Bit() ? 2 : -2;
    }
}

// Fills `pixels` (width * height values, zeroed) with the coded pixel values.
Step DecodeValues(MsbBitReader& bits, const PicHeader& h, std::vector<uint32_t>& pixels) {
    const uint64_t width = h.width, height = h.height;
    const uint64_t total = width * height;
    ColourCache cache;
    uint32_t current = 0; // the run starts before the first pixel, in colour 0
    uint64_t pos = 0;     // the next pixel to write
    uint32_t* px = pixels.data();
    for (;;) {
        uint64_t length;
        if (!ReadLength(bits, length)) return Step::Broken;
        if (bits.Overrun()) return Step::Truncated;
        // length - 1 pixels repeat the running colour (a chain mark changes it), then one
        // change point follows.
        const uint64_t runEnd = length - 1 < total - pos ? pos + length - 1 : total;
        for (; pos < runEnd; ++pos) {
            const uint32_t v = px[pos];
            if (v & kChainMark) current = v & ~kChainMark;
            px[pos] = current;
        }
        if (pos >= total) return Step::Ok;
        if (h.colourCache) {
            if (bits.Bit())
                current = cache.Use(bits.Bits(7));
            else
                cache.Insert(current = bits.Bits(h.depth));
        } else {
            current = bits.Bits(h.depth);
        }
        if (bits.Overrun()) return Step::Truncated;
        px[pos] = current;
        if (pos + 1 == total) return Step::Ok; // nothing after the last pixel is needed
        if (bits.Bit()) {
            int64_t x = int64_t(pos % width);
            uint64_t y = pos / width;
            for (;;) {
                const int step = ReadChainStep(bits);
                if (step == kChainEnd) break;
                x += step;
                ++y;
                // Steps off the picture never occur in sound files; they are read and ignored.
                if (x >= 0 && x < int64_t(width) && y < height)
                    px[y * width + uint64_t(x)] = current | kChainMark;
            }
        }
        ++pos;
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

void WriteIndexed(const PicHeader& h, const std::vector<uint32_t>& pixels, spi::DibOutput& out) {
    std::memcpy(out.palette(), h.palette.data(), h.paletteEntries * sizeof(DibRgbQuad));
    const uint32_t* src = pixels.data();
    for (uint32_t y = 0; y < h.height; ++y, src += h.width) {
        uint8_t* row = out.row(int32_t(y));
        if (out.header()->biBitCount == 4) {
            for (uint32_t x = 0; x < h.width; ++x)
                row[x / 2] |= uint8_t((src[x] & 15) << (x % 2 ? 0 : 4));
        } else {
            for (uint32_t x = 0; x < h.width; ++x)
                row[x] = uint8_t(src[x]);
        }
    }
}

void WriteDirect(const PicHeader& h, const std::vector<uint32_t>& pixels, spi::DibOutput& out) {
    // Small depths go through a table of every value.
    std::vector<Bgr> table;
    if (h.depth <= 16) {
        table.resize(size_t(1) << h.depth);
        for (uint32_t v = 0; v < table.size(); ++v)
            table[v] = DirectColour(v, h.format);
    }
    const uint32_t mask = h.depth >= 32 ? ~0u : (1u << h.depth) - 1;
    const uint32_t* src = pixels.data();
    for (uint32_t y = 0; y < h.height; ++y, src += h.width) {
        uint8_t* row = out.row(int32_t(y));
        for (uint32_t x = 0; x < h.width; ++x) {
            const uint32_t v = src[x] & mask;
            const Bgr c = table.empty() ? DirectColour(v, h.format) : table[v];
            row[3 * x] = c.b;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.r;
        }
    }
}

// Two G3R3B2 pixels per value, low byte first, in plain raster order over twice the rows.
void WriteTiled(const PicHeader& h, const std::vector<uint32_t>& pixels, spi::DibOutput& out) {
    Bgr table[256];
    for (uint32_t v = 0; v < 256; ++v)
        table[v] = DirectColour(v, h.format);
    const uint64_t outPixels = uint64_t(h.width) * h.height * 2;
    for (uint64_t i = 0; i < outPixels; ++i) {
        const uint32_t value = pixels[i / 2];
        const Bgr c = table[(i % 2 ? value >> 8 : value) & 0xFF];
        uint8_t* p = out.row(int32_t(i / h.width)) + 3 * (i % h.width);
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
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
    if (const int32_t rc = out.Allocate(int32_t(h.outputWidth()), int32_t(h.outputHeight()),
                                        h.outputBitsPerPixel(),
                                        h.kind == PixelKind::Indexed ? h.paletteEntries : 0);
        rc != SPI_OK)
        return rc;
    std::vector<uint32_t> pixels;
    try {
        pixels.resize(size_t(h.width) * h.height);
    } catch (const std::bad_alloc&) {
        return SPI_NO_MEMORY;
    }
    switch (DecodeValues(bits, h, pixels)) {
    case Step::Ok:
        break;
    case Step::Truncated:
        return SPI_FILE_READ_ERROR;
    case Step::Broken:
        return SPI_BROKEN_DATA;
    }
    switch (h.kind) {
    case PixelKind::Indexed:
        WriteIndexed(h, pixels, out);
        break;
    case PixelKind::Direct:
        WriteDirect(h, pixels, out);
        break;
    case PixelKind::Tiled256:
        WriteTiled(h, pixels, out);
        break;
    }
    return SPI_OK;
}

} // namespace pic
