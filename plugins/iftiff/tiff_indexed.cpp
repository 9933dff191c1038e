// Indexed TIFF pictures: rows of one sample per pixel, copied or unpacked into the DIB.
#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <vector>

#include "plugins/common/spi_limits.h"
#include "plugins/iftiff/tiff_read.h"

namespace iftiff {

namespace {

constexpr uint32_t kEightBitMax = 255;
static_assert(std::endian::native == std::endian::little, "samples are read as little-endian");

void FillPalette(TIFF* tif, const Layout& l, DibRgbQuad* palette) {
    const uint32_t n = l.paletteEntries;
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b);
        // Some old writers store 8-bit values in the 16-bit entries.
        bool eightBit = true;
        for (uint32_t i = 0; i < n && eightBit; ++i)
            eightBit = r[i] <= kEightBitMax && g[i] <= kEightBitMax && b[i] <= kEightBitMax;
        const int shift = eightBit ? 0 : 8;
        for (uint32_t i = 0; i < n; ++i)
            palette[i] = DibRgbQuad{uint8_t(b[i] >> shift), uint8_t(g[i] >> shift),
                                    uint8_t(r[i] >> shift), 0};
        return;
    }
    const bool inverted = l.photometric == PHOTOMETRIC_MINISWHITE;
    for (uint32_t i = 0; i < n; ++i) {
        auto v = uint8_t((i * kEightBitMax + (n - 1) / 2) / (n - 1));
        if (inverted) v = uint8_t(kEightBitMax - v);
        palette[i] = DibRgbQuad{v, v, v, 0};
    }
}

// Turns one packed TIFF row into one DIB row.
class RowConverter {
public:
    explicit RowConverter(const Layout& l)
        : width_(l.width), bits_(l.bitsPerSample), format_(l.sampleFormat),
          direct_(l.outputBits == l.bitsPerSample && l.sampleFormat == SAMPLEFORMAT_UINT),
          spread_(l.bitsPerSample <= 8 && l.sampleFormat == SAMPLEFORMAT_UINT),
          packedBytes_(size_t((uint64_t(l.width) * l.bitsPerSample + 7) / 8)) {}

    size_t packedBytes() const { return packedBytes_; }
    bool direct() const { return direct_; }

    void Convert(const uint8_t* packed, uint8_t* row) const {
        if (direct_) {
            std::memcpy(row, packed, packedBytes_);
        } else if (format_ == SAMPLEFORMAT_IEEEFP) {
            for (uint32_t x = 0; x < width_; ++x)
                row[x] = ScaleFloat(packed, x);
        } else if (bits_ == 16 || bits_ == 24 || bits_ == 32) {
            // Whole-byte samples come in the machine's byte order (libtiff swapped them).
            const size_t bytes = bits_ / 8;
            for (uint32_t x = 0; x < width_; ++x) {
                uint32_t v = 0;
                std::memcpy(&v, packed + x * bytes, bytes); // little-endian machine
                row[x] = Scale(Unsigned(v));
            }
        } else {
            uint64_t bit = 0;
            for (uint32_t x = 0; x < width_; ++x, bit += bits_) {
                const uint64_t v = Unsigned(Sample(packed, bit));
                row[x] = spread_ ? uint8_t(v) : Scale(v);
            }
        }
    }

private:
    // The sample of `bits_` bits starting at bit `bit`, most significant bit first.
    uint64_t Sample(const uint8_t* p, uint64_t bit) const {
        uint64_t v = 0;
        for (unsigned i = 0; i < bits_; ++i, ++bit)
            v = (v << 1) | ((p[bit >> 3] >> (7 - (bit & 7))) & 1u);
        return v;
    }
    // Signed samples are shifted so that the most negative value is black.
    uint64_t Unsigned(uint64_t v) const {
        return format_ == SAMPLEFORMAT_INT ? v ^ (uint64_t(1) << (bits_ - 1)) : v;
    }
    uint8_t Scale(uint64_t v) const {
        const uint64_t max = (uint64_t(1) << bits_) - 1;
        return uint8_t((v * kEightBitMax + max / 2) / max);
    }
    // Floating-point grey runs from 0 (black) to 1 (white).
    uint8_t ScaleFloat(const uint8_t* p, uint32_t x) const {
        double v;
        if (bits_ == 32) {
            float f;
            std::memcpy(&f, p + size_t(x) * 4, 4);
            v = f;
        } else {
            std::memcpy(&v, p + size_t(x) * 8, 8);
        }
        if (!(v > 0)) return 0; // NaN too
        if (v >= 1) return uint8_t(kEightBitMax);
        return uint8_t(v * kEightBitMax + 0.5);
    }

    uint32_t width_;
    unsigned bits_;
    uint16_t format_;
    bool direct_;
    bool spread_;
    size_t packedBytes_;
};

// Rows from the top of the picture, in the order they are stored.
class RowSink {
public:
    RowSink(const Layout& l, spi::Progress& progress, spi::DibOutput& out)
        : layout_(l), converter_(l), progress_(progress), out_(out) {}

    const RowConverter& converter() const { return converter_; }
    uint8_t* Destination(uint32_t storedRow) {
        return out_.row(int32_t(layout_.bottomUp ? layout_.height - 1 - storedRow : storedRow));
    }
    // False when the progress callback asked to stop.
    bool Put(uint32_t storedRow, const uint8_t* packed) {
        converter_.Convert(packed, Destination(storedRow));
        return Done(storedRow);
    }
    bool Done(uint32_t storedRow) {
        rowsDone_ = storedRow + 1;
        return progress_.Report(int32_t(rowsDone_), int32_t(layout_.height));
    }
    uint32_t rowsDone() const { return rowsDone_; }

private:
    const Layout& layout_;
    RowConverter converter_;
    spi::Progress& progress_;
    spi::DibOutput& out_;
    uint32_t rowsDone_ = 0;
};

int32_t Finish(const RowSink& sink) {
    return sink.rowsDone() > 0 ? SPI_OK : SPI_BROKEN_DATA;
}

// Whether a read succeeded without libtiff reporting an error on the way.
class ReadCheck {
public:
    explicit ReadCheck(const TiffStream& stream)
        : stream_(stream), before_(stream.diagnostics().errors) {}
    bool Ok(tmsize_t result) const {
        return result >= 0 && stream_.diagnostics().errors == before_;
    }

private:
    const TiffStream& stream_;
    int before_;
};

int32_t ReadStrips(const TiffStream& stream, const Layout& l, RowSink& sink) {
    TIFF* tif = stream.get();
    const uint64_t scanline = TIFFScanlineSize64(tif);
    if (scanline < sink.converter().packedBytes()) return SPI_BROKEN_DATA;
    std::vector<uint8_t> buffer;
    // A row copied as it is can be read straight into the DIB when it fits.
    const bool inPlace = sink.converter().direct() && scanline <= sink.converter().packedBytes();
    if (!inPlace) buffer.resize(size_t(scanline));
    for (uint32_t y = 0; y < l.height; ++y) {
        const ReadCheck check(stream);
        if (inPlace) {
            uint8_t* row = sink.Destination(y);
            if (!check.Ok(TIFFReadScanline(tif, row, y, 0))) {
                std::memset(row, 0, size_t(scanline)); // not what was read: blank
                return Finish(sink);
            }
            if (!sink.Done(y)) return SPI_ABORTED;
        } else {
            if (!check.Ok(TIFFReadScanline(tif, buffer.data(), y, 0))) return Finish(sink);
            if (!sink.Put(y, buffer.data())) return SPI_ABORTED;
        }
    }
    return SPI_OK;
}

// Tiles are gathered one band of tile rows at a time into packed picture rows.
int32_t ReadTiles(const TiffStream& stream, const Layout& l, RowSink& sink) {
    TIFF* tif = stream.get();
    const uint64_t tileBytes = TIFFTileSize64(tif);
    const uint64_t tileRowBytes = TIFFTileRowSize64(tif);
    const size_t rowBytes = sink.converter().packedBytes();
    if (l.tileWidth == 0 || l.tileLength == 0 || tileBytes == 0 || tileRowBytes == 0 ||
        tileBytes > spi::kMaxBitmapBytes ||
        uint64_t(l.tileLength) * rowBytes > spi::kMaxBitmapBytes ||
        tileRowBytes * l.tileLength > tileBytes)
        return SPI_BROKEN_DATA;
    std::vector<uint8_t> tile(static_cast<size_t>(tileBytes));
    std::vector<uint8_t> band(size_t(l.tileLength) * rowBytes);
    for (uint32_t y0 = 0; y0 < l.height; y0 += l.tileLength) {
        const uint32_t rows = std::min(l.tileLength, l.height - y0);
        for (uint32_t x0 = 0; x0 < l.width; x0 += l.tileWidth) {
            const ReadCheck check(stream);
            if (!check.Ok(TIFFReadTile(tif, tile.data(), x0, y0, 0, 0))) return Finish(sink);
            const size_t start = size_t(uint64_t(x0) * l.bitsPerSample / 8);
            const size_t n = std::min<size_t>(size_t(tileRowBytes), rowBytes - start);
            for (uint32_t r = 0; r < rows; ++r)
                std::memcpy(band.data() + r * rowBytes + start, tile.data() + r * tileRowBytes, n);
        }
        for (uint32_t r = 0; r < rows; ++r)
            if (!sink.Put(y0 + r, band.data() + r * rowBytes)) return SPI_ABORTED;
        if (l.height - y0 <= l.tileLength) break;
    }
    return SPI_OK;
}

} // namespace

int32_t ReadIndexed(const TiffStream& stream, const Layout& l, spi::Progress& progress,
                    spi::DibOutput& out) {
    TIFF* tif = stream.get();
    if (const int32_t rc =
            out.Allocate(int32_t(l.width), int32_t(l.height), l.outputBits, l.paletteEntries);
        rc != SPI_OK)
        return rc;
    FillPalette(tif, l, out.palette());
    RowSink sink(l, progress, out);
    return l.tiled ? ReadTiles(stream, l, sink) : ReadStrips(stream, l, sink);
}

} // namespace iftiff
