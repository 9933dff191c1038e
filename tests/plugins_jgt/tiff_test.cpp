// The TIFF plug-in: indexed pictures stay indexed, colour becomes 24-bit, the first page only,
// cut and broken files.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <string>

#include "tests/plugins_jgt/fixtures.h"
#include "tests/plugins_jgt/plugin_host.h"
#include "tests/support/plugin_test.h"

namespace jgt {
namespace {

class TiffPlugin : public testsupport::PluginTest<Plugin> {
protected:
    TiffPlugin() : PluginTest("iftiff.spi") {}
};

// A colormap of 2^bits entries: entry i is (i * 3, 255 - i, i) in 8 bits, stored as 16 bits
// (or as 8-bit values when `eightBit`, as some old writers do).
std::vector<uint16_t> Colormap(int bits, bool eightBit = false) {
    const int n = 1 << bits;
    std::vector<uint16_t> map(size_t(3 * n));
    const int scale = eightBit ? 1 : 257;
    for (int i = 0; i < n; ++i) {
        map[size_t(i)] = uint16_t(((i * 3) & 255) * scale);
        map[size_t(n + i)] = uint16_t((255 - i) * scale);
        map[size_t(2 * n + i)] = uint16_t(i * scale);
    }
    return map;
}

uint32_t ColormapColour(unsigned i) {
    return Rgb(uint8_t((i * 3) & 255), uint8_t(255 - i), uint8_t(i));
}

// Packs `values` of `bits` bits, row by row, most significant bit first.
std::vector<uint8_t> Pack(const std::vector<unsigned>& values, uint32_t width, int bits) {
    const size_t rowBytes = (size_t(width) * size_t(bits) + 7) / 8;
    const size_t rows = values.size() / width;
    std::vector<uint8_t> out(rowBytes * rows);
    for (size_t y = 0; y < rows; ++y)
        for (size_t x = 0; x < width; ++x) {
            const unsigned v = values[y * width + x];
            for (int k = 0; k < bits; ++k) {
                const size_t bit = x * size_t(bits) + size_t(k);
                if (v >> (bits - 1 - k) & 1)
                    out[y * rowBytes + bit / 8] |= uint8_t(0x80 >> (bit % 8));
            }
        }
    return out;
}

// Value of pixel (x, y): varied enough that a misplaced row or column shows.
unsigned Pattern(uint32_t x, uint32_t y, int bits) {
    return (x * 5 + y * 3 + x * y) % (1u << bits);
}

std::vector<unsigned> PatternValues(uint32_t w, uint32_t h, int bits) {
    std::vector<unsigned> v;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            v.push_back(Pattern(x, y, bits));
    return v;
}

TEST_F(TiffPlugin, PaletteStaysIndexed) {
    struct Case {
        const char* what;
        int bits;
        uint32_t tile;
        uint16_t compression;
        int dibBits;
        bool eightBitMap;
    } cases[] = {
        {"8-bit", 8, 0, COMPRESSION_NONE, 8, false},
        {"8-bit LZW", 8, 0, COMPRESSION_LZW, 8, false},
        {"8-bit tiled", 8, 16, COMPRESSION_NONE, 8, false},
        {"4-bit", 4, 0, COMPRESSION_NONE, 4, false},
        {"4-bit tiled", 4, 16, COMPRESSION_PACKBITS, 4, false},
        {"2-bit, spread to bytes", 2, 0, COMPRESSION_NONE, 8, false},
        {"1-bit", 1, 0, COMPRESSION_NONE, 1, false},
        {"8-bit values in the colormap", 8, 0, COMPRESSION_NONE, 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TiffSpec s;
        s.width = 21;
        s.height = 19;
        s.bitsPerSample = uint16_t(c.bits);
        s.photometric = PHOTOMETRIC_PALETTE;
        s.compression = c.compression;
        s.tileSize = c.tile;
        s.rowsPerStrip = 4;
        s.colormap = Colormap(c.bits, c.eightBitMap);
        s.rows = Pack(PatternValues(s.width, s.height, c.bits), s.width, c.bits);
        const Bytes bytes = MakeTiff(s);
        const Picture p = plugin_.Decode(bytes);
        ASSERT_EQ(p.rc, SPI_OK);
        EXPECT_EQ(p.header.biBitCount, c.dibBits);
        EXPECT_EQ(p.header.biClrUsed, 1u << c.bits);
        for (uint32_t y = 0; y < s.height; ++y)
            for (uint32_t x = 0; x < s.width; ++x) {
                ASSERT_EQ(p.Index(int32_t(x), int32_t(y)), Pattern(x, y, c.bits)) << x << "," << y;
                ASSERT_EQ(p.Bgr(int32_t(x), int32_t(y)), ColormapColour(Pattern(x, y, c.bits)));
            }
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(bytes, info), SPI_OK);
        EXPECT_EQ(+info.bitsPerPixel, c.dibBits);
    }
}

TEST_F(TiffPlugin, GreyAndBilevelGetAGreyRamp) {
    struct Case {
        const char* what;
        int bits;
        uint16_t photometric;
        bool bigEndian;
        int dibBits;
        unsigned value;   // of every pixel
        uint8_t expected; // its grey level
    } cases[] = {
        {"8-bit", 8, PHOTOMETRIC_MINISBLACK, false, 8, 77, 77},
        {"4-bit", 4, PHOTOMETRIC_MINISBLACK, false, 4, 15, 255},
        {"1-bit white is zero", 1, PHOTOMETRIC_MINISWHITE, false, 1, 0, 255},
        {"1-bit black is zero", 1, PHOTOMETRIC_MINISBLACK, false, 1, 1, 255},
        {"8-bit white is zero", 8, PHOTOMETRIC_MINISWHITE, false, 8, 55, 200},
        {"16-bit reduced to 8", 16, PHOTOMETRIC_MINISBLACK, false, 8, 0x8080, 0x80},
        {"16-bit big-endian", 16, PHOTOMETRIC_MINISBLACK, true, 8, 0xFF00, 0xFE},
        {"12-bit scaled", 12, PHOTOMETRIC_MINISBLACK, false, 8, 0x800, 128},
        {"3-bit", 3, PHOTOMETRIC_MINISBLACK, false, 8, 5, 182},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TiffSpec s;
        s.width = 9;
        s.height = 3;
        s.bitsPerSample = uint16_t(c.bits);
        s.photometric = c.photometric;
        s.bigEndian = c.bigEndian;
        if (c.bits == 16) {
            for (uint32_t i = 0; i < s.width * s.height; ++i) {
                // Native order: libtiff swaps 16-bit samples of a big-endian file itself.
                s.rows.push_back(uint8_t(c.value & 255));
                s.rows.push_back(uint8_t(c.value >> 8));
            }
        } else {
            s.rows = Pack(std::vector<unsigned>(s.width * s.height, c.value), s.width, c.bits);
        }
        const Picture p = plugin_.Decode(MakeTiff(s));
        ASSERT_EQ(p.rc, SPI_OK);
        EXPECT_EQ(p.header.biBitCount, c.dibBits);
        const uint32_t grey = Rgb(c.expected, c.expected, c.expected);
        EXPECT_EQ(p.Bgr(0, 0), grey);
        EXPECT_EQ(p.Bgr(8, 2), grey);
    }
}

TEST_F(TiffPlugin, ColourBecomesTwentyFourBit) {
    struct Case {
        const char* what;
        uint16_t samples, bits, compression, extra;
        uint32_t tile;
        bool bigEndian, bigTiff;
    } cases[] = {
        {"RGB", 3, 8, COMPRESSION_NONE, 0, 0, false, false},
        {"RGB LZW big-endian", 3, 8, COMPRESSION_LZW, 0, 0, true, false},
        {"RGB deflate tiled", 3, 8, COMPRESSION_ADOBE_DEFLATE, 0, 16, false, false},
        {"RGB BigTIFF", 3, 8, COMPRESSION_NONE, 0, 0, false, true},
        {"RGB 16-bit", 3, 16, COMPRESSION_NONE, 0, 0, false, false},
        {"RGBA opaque", 4, 8, COMPRESSION_NONE, EXTRASAMPLE_ASSOCALPHA, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TiffSpec s;
        s.width = 19;
        s.height = 17;
        s.samplesPerPixel = c.samples;
        s.bitsPerSample = c.bits;
        s.photometric = PHOTOMETRIC_RGB;
        s.compression = c.compression;
        s.extraSample = c.extra;
        s.tileSize = c.tile;
        s.bigEndian = c.bigEndian;
        s.bigTiff = c.bigTiff;
        for (uint32_t y = 0; y < s.height; ++y)
            for (uint32_t x = 0; x < s.width; ++x) {
                const uint8_t v[4] = {uint8_t(x * 10), uint8_t(y * 10), uint8_t(x + y), 255};
                for (int k = 0; k < c.samples; ++k) {
                    if (c.bits == 16) s.rows.push_back(0x5A); // low byte, native order
                    s.rows.push_back(v[k]);
                }
            }
        const Bytes bytes = MakeTiff(s);
        const Picture p = plugin_.Decode(bytes);
        ASSERT_EQ(p.rc, SPI_OK);
        EXPECT_EQ(p.header.biBitCount, 24);
        EXPECT_EQ(p.header.biClrUsed, 0u);
        for (uint32_t y = 0; y < s.height; ++y)
            for (uint32_t x = 0; x < s.width; ++x)
                ASSERT_EQ(p.Bgr(int32_t(x), int32_t(y)),
                          Rgb(uint8_t(x * 10), uint8_t(y * 10), uint8_t(x + y)))
                    << x << "," << y;
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(bytes, info), SPI_OK);
        EXPECT_EQ(+info.bitsPerPixel, 24);
    }
}

TEST_F(TiffPlugin, OrientationIsHonoured) {
    struct Case {
        const char* what;
        uint16_t orientation, photometric;
        int dibBits;
        bool flipRows, flipColumns;
    } cases[] = {
        {"grey bottom-up stays indexed", ORIENTATION_BOTLEFT, PHOTOMETRIC_MINISBLACK, 8, true,
         false},
        {"grey mirrored becomes colour", ORIENTATION_TOPRIGHT, PHOTOMETRIC_MINISBLACK, 24, false,
         true},
        {"RGB bottom-up", ORIENTATION_BOTLEFT, PHOTOMETRIC_RGB, 24, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TiffSpec s;
        s.width = 5;
        s.height = 4;
        s.orientation = c.orientation;
        s.photometric = c.photometric;
        s.samplesPerPixel = c.photometric == PHOTOMETRIC_RGB ? 3 : 1;
        for (uint32_t y = 0; y < s.height; ++y)
            for (uint32_t x = 0; x < s.width; ++x)
                for (int k = 0; k < s.samplesPerPixel; ++k)
                    s.rows.push_back(uint8_t(y * 60 + x * 10));
        const Picture p = plugin_.Decode(MakeTiff(s));
        ASSERT_EQ(p.rc, SPI_OK);
        EXPECT_EQ(p.header.biBitCount, c.dibBits);
        for (uint32_t y = 0; y < s.height; ++y)
            for (uint32_t x = 0; x < s.width; ++x) {
                const uint32_t sy = c.flipRows ? s.height - 1 - y : y;
                const uint32_t sx = c.flipColumns ? s.width - 1 - x : x;
                const auto v = uint8_t(sy * 60 + sx * 10);
                EXPECT_EQ(p.Bgr(int32_t(x), int32_t(y)), Rgb(v, v, v)) << x << "," << y;
            }
    }
}

TEST_F(TiffPlugin, FirstPageOnly) {
    TiffSpec s;
    s.width = 6;
    s.height = 2;
    s.pages = 3;
    s.rows.assign(12, 40);
    const Bytes bytes = MakeTiff(s);
    SpiPictureInfo info{};
    ASSERT_EQ(plugin_.Info(bytes, info), SPI_OK);
    EXPECT_EQ(+info.width, 6);
    const Picture p = plugin_.Decode(bytes);
    ASSERT_EQ(p.rc, SPI_OK);
    EXPECT_EQ(p.Index(5, 1), 40u);
}

TEST_F(TiffPlugin, ResolutionGivesTheDensities) {
    struct Case {
        float x, y;
        uint16_t expectX, expectY;
    } cases[] = {
        {72, 72, 1, 1}, {204, 98, 102, 49}, {100, 200, 1, 2}, {0, 0, 1, 1}, {72.5f, 72.5f, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ":" + std::to_string(c.y));
        TiffSpec s;
        s.xResolution = c.x;
        s.yResolution = c.y;
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(MakeTiff(s), info), SPI_OK);
        EXPECT_EQ(+info.xDensity, c.expectX);
        EXPECT_EQ(+info.yDensity, c.expectY);
    }
}

TEST_F(TiffPlugin, MissingStripsKeepTheRowsRead) {
    for (uint16_t photometric : {PHOTOMETRIC_MINISBLACK, PHOTOMETRIC_RGB}) {
        SCOPED_TRACE(photometric);
        TiffSpec s;
        s.width = 8;
        s.height = 8;
        s.rowsPerStrip = 2;
        s.photometric = photometric;
        s.samplesPerPixel = photometric == PHOTOMETRIC_RGB ? 3 : 1;
        s.rows.assign(size_t(64 * s.samplesPerPixel), 99);
        Bytes bytes = MakeTiff(s);
        PatchTiffArray(bytes, TIFFTAG_STRIPOFFSETS, 2, 0x7FFFFF00); // strips 2 and 3: beyond
        PatchTiffArray(bytes, TIFFTAG_STRIPOFFSETS, 3, 0x7FFFFF00); // the end of the file
        const Picture p = plugin_.Decode(bytes);
        ASSERT_EQ(p.rc, SPI_OK);
        EXPECT_EQ(p.Bgr(7, 3), Rgb(99, 99, 99));
        EXPECT_EQ(p.Bgr(7, 4), Rgb(0, 0, 0)) << "an unread row";
    }
}

TEST_F(TiffPlugin, BrokenFiles) {
    TiffSpec s;
    s.rows.assign(16, 1);
    const Bytes whole = MakeTiff(s);
    Bytes noWidth = whole;
    RenameTiffTag(noWidth, TIFFTAG_IMAGEWIDTH, TIFFTAG_SUBFILETYPE);
    Bytes noData = whole;
    PatchTiffTag(noData, TIFFTAG_STRIPOFFSETS, 0x7FFFFF00);
    Bytes badDirectory = whole;
    badDirectory[4] = 2; // the first directory inside the header
    badDirectory[5] = badDirectory[6] = badDirectory[7] = 0;
    Bytes beyond = whole;
    beyond[7] = 0x7F; // the first directory beyond the end
    TiffSpec floats;
    floats.bitsPerSample = 32;
    floats.rows.assign(64, 0);
    Bytes floatSamples = MakeTiff(floats);
    PatchTiffTag(floatSamples, TIFFTAG_BITSPERSAMPLE, 32);
    struct Case {
        const char* what;
        Bytes bytes;
        int32_t info, picture;
    } cases[] = {
        {"no width", noWidth, SPI_BROKEN_DATA, SPI_BROKEN_DATA},
        {"no pixel data", noData, SPI_OK, SPI_BROKEN_DATA},
        {"directory inside the header", badDirectory, SPI_BROKEN_DATA, SPI_BROKEN_DATA},
        {"directory beyond the end", beyond, SPI_FILE_READ_ERROR, SPI_FILE_READ_ERROR},
        {"directory cut", Cut(whole, whole.size() - 20), SPI_FILE_READ_ERROR, SPI_FILE_READ_ERROR},
        {"header cut", Cut(whole, 6), SPI_FILE_READ_ERROR, SPI_FILE_READ_ERROR},
        {"wrong magic", Bytes{'I', 'I', 7, 0, 8, 0, 0, 0}, SPI_NOT_SUPPORTED, SPI_NOT_SUPPORTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpiPictureInfo info{};
        EXPECT_EQ(plugin_.Info(c.bytes, info), c.info);
        EXPECT_EQ(plugin_.Decode(c.bytes).rc, c.picture);
    }
}

} // namespace
} // namespace jgt
