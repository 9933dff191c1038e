// Hand-made PIC2 files decode to the pixels worked out on paper.
#include <gtest/gtest.h>

#include "tests/plugins_pic/pic2_fixtures.h"
#include "tests/plugins_pic/spi_harness.h"
#include "tests/support/plugin_test.h"

namespace {

using namespace pictest;

class Pic2Fixtures : public testsupport::PluginTest<Plugin> {
protected:
    Pic2Fixtures() : PluginTest("ifpic2.spi") {}
};

TEST_F(Pic2Fixtures, EachBlockCoding) {
    struct Case {
        const char* what;
        uint16_t depth;
        HandBlock block;
        std::vector<uint32_t> rgb;
    } cases[] = {
        // The X68000 word's I bit is dropped, G and R trade places, 5 bits widen to 8.
        {"raw little-endian words", 15, RawLittleEndian15(), {0x00FF00, 0x8400FF}},
        {"fast coding", 3, FastThreeBit(), {0xFFFFFF, 0xFFFFFF, 0, 0, 0xFFFFFF, 0}},
        {"arithmetic coding", 3, ArithmeticThreeBit(), {0xFF00FF, 0x00FF00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = Pic2FileOf(c.depth, 0, 0, c.block.width, c.block.height, {c.block});
        Picture picture;
        ASSERT_EQ(plugin_.Decode(file, picture), SPI_OK);
        EXPECT_EQ(picture.width, c.block.width);
        EXPECT_EQ(picture.height, c.block.height);
        EXPECT_EQ(picture.rgb, c.rgb);
    }
}

// The header's aspect is the pixel shape; densities are its inverse, and 0 states nothing.
TEST_F(Pic2Fixtures, DensitiesFromTheAspect) {
    struct Case {
        uint16_t xAspect, yAspect, xDensity, yDensity;
    } cases[] = {{0, 0, 1, 1}, {1, 1, 1, 1}, {1, 2, 2, 1}, {4, 3, 3, 4}, {0, 5, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.xAspect << ":" << c.yAspect);
        SpiPictureInfo info{};
        ASSERT_EQ(
            plugin_.Info(Pic2FileOf(15, c.xAspect, c.yAspect, 2, 1, {RawLittleEndian15()}), info),
            SPI_OK);
        EXPECT_EQ(info.xDensity, c.xDensity);
        EXPECT_EQ(info.yDensity, c.yDensity);
        EXPECT_EQ(info.bitsPerPixel, 24);
        EXPECT_EQ(info.textInfo, 0u);
    }
}

} // namespace
