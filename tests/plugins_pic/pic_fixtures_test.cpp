// Hand-made PIC files decode to the pixels worked out on paper; densities follow what the file
// states about its pixel shape.
#include <gtest/gtest.h>

#include "tests/plugins_pic/pic_fixtures.h"
#include "tests/plugins_pic/spi_harness.h"
#include "tests/support/plugin_test.h"

namespace {

using namespace pictest;

class PicFixtures : public testsupport::PluginTest<Plugin> {
protected:
    PicFixtures() : PluginTest("ifpic.spi") {}
};

TEST_F(PicFixtures, SixteenColoursWithPaletteAndChain) {
    Picture picture;
    ASSERT_EQ(plugin_.Decode(Pic16Colours(), picture), SPI_OK);
    EXPECT_EQ(picture.width, 4);
    EXPECT_EQ(picture.height, 2);
    EXPECT_EQ(picture.bitsPerPixel, 4);
    EXPECT_EQ(picture.paletteEntries, 16u);
    EXPECT_EQ(picture.indices, (std::vector<uint32_t>{1, 1, 2, 2, 3, 1, 2, 2}));
    // X68000 words widen their five bits and the I bit as one 6-bit value.
    ASSERT_EQ(picture.palette.size(), 16u);
    EXPECT_EQ(picture.palette[0], 0x000000u);
    EXPECT_EQ(picture.palette[1], 0x04FF04u);
    EXPECT_EQ(picture.palette[2], 0xFB0000u);
    EXPECT_EQ(picture.palette[3], 0x040486u);
}

TEST_F(PicFixtures, DirectColourThroughTheCache) {
    Picture picture;
    ASSERT_EQ(plugin_.Decode(Pic15BitGeneric(), picture), SPI_OK);
    EXPECT_EQ(picture.bitsPerPixel, 24);
    EXPECT_EQ(picture.rgb, (std::vector<uint32_t>{0xFFFFFF, 0xFF0000, 0xFFFFFF}));
    SpiPictureInfo info{};
    ASSERT_EQ(plugin_.Info(Pic15BitGeneric(), info), SPI_OK);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 1);
    EXPECT_EQ(info.bitsPerPixel, 24);
    // Pixels 1 wide and 2 tall: the density across is twice the density down.
    EXPECT_EQ(info.xDensity, 2);
    EXPECT_EQ(info.yDensity, 1);
    EXPECT_EQ(info.textInfo, 0u);
}

// One pixel in each direct-colour layout, coded as length 1 and a new colour (a cache flag 0 for
// depths above 8), worked out by hand; each expected colour tells the component order apart.
TEST_F(PicFixtures, DirectColourLayouts) {
    struct Case {
        const char* what;
        std::vector<uint8_t> rest;
        uint32_t rgb;
    } cases[] = {
        // G 31, R 0, B 16, I 1: the I bit is the low bit of all three 6-bit components.
        {"X68000 16-bit 0xF821", {0x00, 0, 16, 0, 1, 0, 1, 0x1F, 0x04, 0x20}, 0x04FF86},
        {"Macintosh R G B 0x7C00", {0x03, 0, 15, 0, 1, 0, 1, 0x1F, 0x00, 0x00}, 0xFF0000},
        {"PC-88VA G3 R3 B2 0x1D, no cache", {0x01, 0, 8, 0, 1, 0, 1, 0x07, 0x40}, 0xFF0055},
        {"PC-88VA G6 R5 B5 0xFC1F", {0x01, 0, 16, 0, 1, 0, 1, 0x1F, 0x83, 0xE0}, 0x00FFFF},
        {"generic G8 R8 B8 0x123456",
         {0x0F, 0, 24, 0, 1, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0x02, 0x46, 0x8A, 0xC0},
         0x341256},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Picture picture;
        ASSERT_EQ(plugin_.Decode(PicFile("", c.rest), picture), SPI_OK);
        EXPECT_EQ(picture.bitsPerPixel, 24);
        EXPECT_EQ(picture.rgb, std::vector<uint32_t>{c.rgb});
    }
}

TEST_F(PicFixtures, TiledTwoPixelsPerValue) {
    Picture picture;
    ASSERT_EQ(plugin_.Decode(PicTiled256(), picture), SPI_OK);
    EXPECT_EQ(picture.width, 1);
    EXPECT_EQ(picture.height, 2);
    EXPECT_EQ(picture.rgb, (std::vector<uint32_t>{0x00FF00, 0xFF00FF}));
    SpiPictureInfo info{};
    ASSERT_EQ(plugin_.Info(PicTiled256(), info), SPI_OK);
    EXPECT_EQ(info.height, 2);
}

TEST_F(PicFixtures, PaletteOfNarrowComponents) {
    Picture picture;
    ASSERT_EQ(plugin_.Decode(Pic256ColoursOneBitPalette(), picture), SPI_OK);
    EXPECT_EQ(picture.bitsPerPixel, 8);
    ASSERT_EQ(picture.palette.size(), 256u);
    EXPECT_EQ(picture.indices, (std::vector<uint32_t>{255, 1}));
    EXPECT_EQ(picture.palette[1], 0xFF0000u);
    EXPECT_EQ(picture.palette[255], 0x00FFFFu);
    EXPECT_EQ(picture.palette[2], 0u);
    EXPECT_EQ(picture.palette[254], 0u);
}

// Header only: GetPictureInfo does not look at the pixels.
std::vector<uint8_t> HeaderOnly(const std::string& comment, uint8_t type, uint8_t aspectX,
                                uint8_t aspectY) {
    std::vector<uint8_t> rest = {type, 0x00, 0x0F, 0x01, 0x00, 0x00, 0xC8};
    if ((type & 15) == 15) rest.insert(rest.end(), {0xFF, 0xFF, 0xFF, 0xFF, aspectX, aspectY});
    return PicFile(comment, rest);
}

TEST_F(PicFixtures, DensitiesFromAspectBytesAndCommentTags) {
    struct Case {
        const char* what;
        std::string comment;
        uint8_t type, aspectX, aspectY;
        uint16_t xDensity, yDensity;
    } cases[] = {
        {"X68000, nothing stated: square", "", 0x00, 0, 0, 1, 1},
        {"512 x 512 mode tag: pixels 13:9", "/MM/XSN/AU name:", 0x00, 0, 0, 9, 13},
        {"512 x 512 on 15 kHz: 32:25", "/MM/XFL/XSN:free text", 0x00, 0, 0, 25, 32},
        {"768 x 512 mode, doubled lines", "/MM/XSS/MY:", 0x00, 0, 0, 2, 1},
        {"tag after the colon is text", "/MM/XSS:MY", 0x00, 0, 0, 1, 1},
        {"no /MM/ prefix", "XSN MY", 0x00, 0, 0, 1, 1},
        {"aspect bytes 4:3", "", 0x0F, 4, 3, 3, 4},
        {"aspect bytes win over tags", "/MM/MY:", 0x1F, 3, 4, 4, 3},
        {"an aspect byte of 0 states nothing", "", 0x0F, 0, 3, 1, 1},
        {"TOWNS", "", 0x52, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> file = HeaderOnly(c.comment, c.type, c.aspectX, c.aspectY);
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(file, info), SPI_OK);
        EXPECT_EQ(info.width, 256);
        EXPECT_EQ(info.height, 200);
        EXPECT_EQ(info.xDensity, c.xDensity);
        EXPECT_EQ(info.yDensity, c.yDensity);
    }
}

} // namespace
