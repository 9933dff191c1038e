// The GIF plug-in: the first frame on its screen, interlacing, colour tables, cut data.
#include <gtest/gtest.h>

#include <string>

#include "tests/plugins_jgt/fixtures.h"
#include "tests/plugins_jgt/plugin_host.h"
#include "tests/support/plugin_test.h"

namespace jgt {
namespace {

class GifPlugin : public testsupport::PluginTest<Plugin> {
protected:
    GifPlugin() : PluginTest("ifgif.spi") {}
};

const std::vector<Colour> kFourColours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

GifFrame Solid(int left, int top, int width, int height, uint8_t index) {
    return GifFrame{left,   top,   width,
                    height, false, std::vector<uint8_t>(size_t(width * height), index),
                    {},     -1};
}

// Row y of the frame holds index y % 16, so a row in the wrong place shows.
GifFrame Rows(int width, int height, bool interlace) {
    GifFrame f{0, 0, width, height, interlace, {}, {}, -1};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f.indices.push_back(uint8_t(y % 16));
    return f;
}

std::vector<Colour> Ramp(int n) {
    std::vector<Colour> t;
    for (int i = 0; i < n; ++i)
        t.push_back({uint8_t(i * 16), uint8_t(i), uint8_t(255 - i)});
    return t;
}

TEST_F(GifPlugin, InterlacedRowsArePutInPlace) {
    for (int height : {1, 2, 5, 8, 11, 29}) {
        for (bool interlace : {false, true}) {
            SCOPED_TRACE(std::to_string(height) + (interlace ? " interlaced" : ""));
            GifSpec s{3, height, 0, 0, Ramp(16), {Rows(3, height, interlace)}};
            const Picture p = plugin_.Decode(MakeGif(s));
            ASSERT_EQ(p.rc, SPI_OK);
            for (int y = 0; y < height; ++y)
                EXPECT_EQ(p.Index(1, y), unsigned(y % 16)) << y;
        }
    }
}

TEST_F(GifPlugin, FrameIsPlacedOnItsScreenAndClipped) {
    struct Case {
        const char* what;
        int left, top, width, height;
    } cases[] = {
        {"inside", 3, 2, 4, 3},          {"over the right edge", 8, 1, 5, 2},
        {"over the bottom", 2, 6, 3, 5}, {"beyond the screen", 20, 20, 4, 4},
        {"whole screen", 0, 0, 10, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GifSpec s{10, 8, 2, 0, kFourColours, {Solid(c.left, c.top, c.width, c.height, 1)}};
        const Bytes bytes = MakeGif(s);
        const Picture p = plugin_.Decode(bytes);
        ASSERT_EQ(p.rc, SPI_OK);
        ASSERT_EQ(p.width(), 10);
        ASSERT_EQ(p.height(), 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool inFrame =
                    x >= c.left && x < c.left + c.width && y >= c.top && y < c.top + c.height;
                EXPECT_EQ(p.Index(x, y), inFrame ? 1u : 2u) << x << "," << y;
            }
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(bytes, info), SPI_OK);
        EXPECT_EQ(+info.width, 10);
        EXPECT_EQ(+info.height, 8);
        EXPECT_EQ(+info.bitsPerPixel, 8);
    }
}

TEST_F(GifPlugin, OnlyTheFirstFrameIsShownAndTransparencyKeepsTheBackground) {
    GifFrame first = Solid(0, 0, 4, 4, 1);
    first.transparent = 1;
    first.indices[5] = 3; // one opaque pixel at (1, 1)
    GifSpec s{4, 4, 2, 0, kFourColours, {first, Solid(0, 0, 4, 4, 0)}};
    const Picture p = plugin_.Decode(MakeGif(s));
    ASSERT_EQ(p.rc, SPI_OK);
    EXPECT_EQ(p.Index(1, 1), 3u);
    EXPECT_EQ(p.Index(0, 0), 2u);
    EXPECT_EQ(p.Index(3, 3), 2u);
}

TEST_F(GifPlugin, ColourTableIsTheOneTheFrameUses) {
    GifFrame local = Solid(0, 0, 2, 2, 1);
    local.localTable = {{1, 2, 3}, {4, 5, 6}};
    GifFrame bilevel = Solid(0, 0, 2, 2, 1);
    bilevel.indices[0] = 0;
    GifFrame sixShades = Solid(0, 0, 2, 2, 5);
    GifFrame beyond = Solid(0, 0, 2, 2, 3); // index 3 in a two-colour table
    struct Case {
        const char* what;
        GifSpec spec;
        uint32_t entries;
        uint32_t colourOfPixel;
    } cases[] = {
        {"global", {2, 2, 0, 0, kFourColours, {Solid(0, 0, 2, 2, 3)}}, 4, Rgb(0, 0, 255)},
        {"local over global", {2, 2, 0, 0, kFourColours, {local}}, 2, Rgb(4, 5, 6)},
        {"none: black and white", {2, 2, 0, 0, {}, {bilevel}}, 2, Rgb(255, 255, 255)},
        {"none: a grey ramp", {2, 2, 0, 0, {}, {sixShades}}, 8, Rgb(182, 182, 182)},
        {"index beyond the table is black",
         {2, 2, 0, 0, {{9, 9, 9}, {8, 8, 8}}, {beyond}},
         4,
         Rgb(0, 0, 0)},
        {"256 colours",
         {2, 2, 0, 0, Ramp(256), {Solid(0, 0, 2, 2, 200)}},
         256,
         Rgb(uint8_t(200 * 16), 200, 55)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Picture p = plugin_.Decode(MakeGif(c.spec));
        ASSERT_EQ(p.rc, SPI_OK);
        EXPECT_EQ(p.header.biBitCount, 8);
        EXPECT_EQ(p.header.biClrUsed, c.entries);
        EXPECT_EQ(p.Bgr(1, 1), c.colourOfPixel);
    }
}

TEST_F(GifPlugin, BackgroundOutsideTheTableFallsBackToIndexZero) {
    GifSpec s{4, 4, 9, 0, kFourColours, {Solid(0, 0, 2, 2, 1)}};
    const Picture p = plugin_.Decode(MakeGif(s));
    ASSERT_EQ(p.rc, SPI_OK);
    EXPECT_EQ(p.Index(3, 3), 0u);
    EXPECT_EQ(p.header.biClrUsed, 4u);
}

TEST_F(GifPlugin, ScreenWithoutASizeTakesTheFrames) {
    GifSpec s{0, 0, 0, 0, kFourColours, {Solid(1, 2, 3, 4, 1)}};
    const Picture p = plugin_.Decode(MakeGif(s));
    ASSERT_EQ(p.rc, SPI_OK);
    EXPECT_EQ(p.width(), 4);
    EXPECT_EQ(p.height(), 6);
    EXPECT_EQ(p.Index(3, 5), 1u);
}

// giflib reads pixel data a sub-block (up to 255 bytes) at a time: what precedes the sub-block
// that is cut is kept.
TEST_F(GifPlugin, CutPixelDataKeepsTheRowsDecoded) {
    constexpr int kWidth = 64, kHeight = 128;
    constexpr uint8_t kBackground = 15;
    GifFrame noise{0, 0, kWidth, kHeight, false, {}, {}, -1};
    uint32_t seed = 12345;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise.indices.push_back(uint8_t((seed >> 16) % 15));
    }
    GifSpec s{kWidth, kHeight, kBackground, 0, Ramp(16), {noise}};
    const Bytes whole = MakeGif(s);
    const size_t data = GifPixelDataOffset(whole);
    ASSERT_GT(whole.size() - data, 2000u);
    const Picture p = plugin_.Decode(Cut(whole, data + (whole.size() - data) / 2));
    ASSERT_EQ(p.rc, SPI_OK);
    ASSERT_EQ(p.height(), kHeight);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(p.Index(x, y), noise.indices[size_t(y * kWidth + x)]) << x << "," << y;
    for (int x = 0; x < kWidth; ++x)
        EXPECT_EQ(p.Index(x, kHeight - 1), kBackground);
    // Cut right at the start of the data: the screen alone.
    EXPECT_EQ(plugin_.Decode(Cut(whole, data)).rc, SPI_OK);
}

TEST_F(GifPlugin, StructureFailures) {
    GifSpec s{4, 4, 0, 0, kFourColours, {Solid(0, 0, 4, 4, 1)}};
    const Bytes whole = MakeGif(s);
    const size_t data = GifPixelDataOffset(whole);
    Bytes noFrame = Cut(whole, 13 + 12);
    noFrame.push_back(0x3B); // the trailer right after the colour table
    Bytes bigCodes = whole;
    bigCodes[data - 1] = 12; // LZW minimum code size beyond 8
    Bytes strayRecord = Cut(whole, 13 + 12);
    strayRecord.insert(strayRecord.end(), {0x77, 1, 2, 3});
    struct Case {
        const char* what;
        Bytes bytes;
        int32_t rc;
    } cases[] = {
        {"screen descriptor cut", Cut(whole, 10), SPI_FILE_READ_ERROR},
        {"colour table cut", Cut(whole, 20), SPI_FILE_READ_ERROR},
        {"ends after the colour table", Cut(whole, 13 + 12), SPI_FILE_READ_ERROR},
        {"frame descriptor cut", Cut(whole, 13 + 12 + 5), SPI_FILE_READ_ERROR},
        {"no LZW code size", Cut(whole, data - 1), SPI_FILE_READ_ERROR},
        {"no frame at all", noFrame, SPI_BROKEN_DATA},
        {"LZW code size 12", bigCodes, SPI_BROKEN_DATA},
        {"unknown record", strayRecord, SPI_BROKEN_DATA},
        {"signature only", Bytes{'G', 'I', 'F'}, SPI_FILE_READ_ERROR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpiPictureInfo info{};
        EXPECT_EQ(plugin_.Info(c.bytes, info), c.rc);
        EXPECT_EQ(plugin_.Decode(c.bytes).rc, c.rc);
    }
}

TEST_F(GifPlugin, AspectByteGivesTheDensities) {
    struct Case {
        uint8_t aspect;
        uint16_t x, y;
    } cases[] = {{0, 1, 1}, {49, 1, 1}, {17, 2, 1}, {113, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.aspect));
        GifSpec s{4, 4, 0, c.aspect, kFourColours, {Solid(0, 0, 4, 4, 1)}};
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(MakeGif(s), info), SPI_OK);
        EXPECT_EQ(+info.xDensity, c.x);
        EXPECT_EQ(+info.yDensity, c.y);
    }
}

} // namespace
} // namespace jgt
