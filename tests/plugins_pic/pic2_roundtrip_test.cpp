// What our own PIC2 writer produces decodes back exactly, for every block coding, across sizes,
// component depths and kinds of picture, and blocks composite onto the canvas as placed.
#include <gtest/gtest.h>

#include "tests/plugins_pic/pic2_encoder.h"
#include "tests/plugins_pic/pic2_images.h"
#include "tests/plugins_pic/spi_harness.h"
#include "tests/support/plugin_test.h"

namespace {

using namespace pictest;

class Pic2RoundTrip : public testsupport::PluginTest<Plugin> {
protected:
    Pic2RoundTrip() : PluginTest("ifpic2.spi") {}
};

const char* Name(Pic2Coding c) {
    switch (c) {
    case Pic2Coding::Arithmetic:
        return "P2SS";
    case Pic2Coding::Fast:
        return "P2SF";
    case Pic2Coding::RawBigEndian:
        return "P2BM";
    case Pic2Coding::RawLittleEndian:
        return "P2BI";
    }
    return "?";
}

void ExpectPixels(const Picture& picture, const std::vector<uint32_t>& values, uint32_t w, int cb) {
    ASSERT_EQ(picture.rgb.size(), values.size());
    size_t wrong = 0, first = 0;
    for (size_t i = 0; i < values.size(); ++i)
        if (picture.rgb[i] != ValueToRgb(values[i], cb) && wrong++ == 0) first = i;
    EXPECT_EQ(wrong, 0u) << "first at x " << first % w << " y " << first / w;
}

struct Shape {
    uint32_t w, h;
};

TEST_F(Pic2RoundTrip, EveryCodingDepthSizeAndPicture) {
    const size_t handlesBefore = GlobalLiveHandles();
    const Shape shapes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {17, 13}, {64, 40}};
    const Pattern patterns[] = {Pattern::FewColours, Pattern::Gradient, Pattern::Shapes,
                                Pattern::Noise, Pattern::Stripes};
    uint32_t seed = 1;
    for (Pic2Coding coding : {Pic2Coding::Arithmetic, Pic2Coding::Fast, Pic2Coding::RawBigEndian,
                              Pic2Coding::RawLittleEndian})
        for (int cb : {1, 2, 3, 4, 5, 6, 7, 8})
            for (const Shape& s : shapes)
                for (Pattern pattern : patterns) {
                    SCOPED_TRACE(testing::Message()
                                 << Name(coding) << " " << 3 * cb << "-bit " << s.w << "x" << s.h
                                 << " pattern " << int(pattern));
                    Pic2File file;
                    file.componentBits = cb;
                    file.width = uint16_t(s.w);
                    file.height = uint16_t(s.h);
                    Pic2Block block{
                        coding, 0, 0, s.w, s.h, MakeValues(pattern, s.w, s.h, cb, ++seed), {}};
                    file.blocks.push_back(block);
                    Pic2EncodeOptions options;
                    options.seed = seed;
                    options.extraChangePoints = seed % 3 == 0 ? 0.2 : 0;
                    options.extremeProbabilities = seed % 5 == 0;
                    options.chains = seed % 7 != 0;
                    Picture picture;
                    ASSERT_EQ(plugin_.Decode(EncodePic2(file, options), picture), SPI_OK);
                    ASSERT_EQ(picture.width, int32_t(s.w));
                    ASSERT_EQ(picture.height, int32_t(s.h));
                    ASSERT_EQ(picture.bitsPerPixel, 24);
                    ExpectPixels(picture, block.values, s.w, cb);
                }
    EXPECT_EQ(GlobalLiveHandles(), handlesBefore);
}

// More than 1023 chain pixels between two change points: the fast coding's escape, with and
// without it, over rows where every pixel continues a chain.
TEST_F(Pic2RoundTrip, FastCodingEscapeOverLongChains) {
    for (bool escapes : {true, false}) {
        Pic2File file;
        file.componentBits = 8;
        file.width = 64;
        file.height = 70;
        file.blocks.push_back(
            {Pic2Coding::Fast, 0, 0, 64, 70, MakeValues(Pattern::Stripes, 64, 70, 8, 3), {}});
        Pic2EncodeOptions options;
        options.escapes = escapes;
        options.skipChainOneIn = 0;
        options.randomChainSteps = false;
        Picture picture;
        ASSERT_EQ(plugin_.Decode(EncodePic2(file, options), picture), SPI_OK);
        ExpectPixels(picture, file.blocks[0].values, 64, 8);
    }
}

// Blocks drawn in file order at their offsets: negative offsets clipped, the canvas grown to the
// furthest block, transparent pixels leaving what lies below, an unknown block skipped, a palette
// in the header passed over.
TEST_F(Pic2RoundTrip, BlocksCompositeOntoTheCanvas) {
    const int cb = 5;
    Pic2File file;
    file.componentBits = cb;
    file.width = 20;
    file.height = 10;
    auto block = [&](Pic2Coding coding, int32_t left, int32_t top, uint32_t w, uint32_t h,
                     Pattern pattern) {
        file.blocks.push_back(
            {coding, left, top, w, h, MakeValues(pattern, w, h, cb, uint32_t(left + 40)), {}});
        return &file.blocks.back();
    };
    block(Pic2Coding::Fast, 0, 0, 20, 10, Pattern::Gradient);
    Pic2Block* holes = block(Pic2Coding::Arithmetic, 5, 3, 8, 4, Pattern::FewColours);
    holes->transparent = holes->values[0];
    block(Pic2Coding::RawBigEndian, -3, -2, 6, 5, Pattern::Noise);
    block(Pic2Coding::RawLittleEndian, 18, 8, 5, 4, Pattern::Shapes);

    // What the canvas must show: black, then each block in turn.
    const uint32_t cw = 23, ch = 12;
    std::vector<uint32_t> expected(cw * ch, 0);
    for (const Pic2Block& b : file.blocks)
        for (uint32_t y = 0; y < b.height; ++y)
            for (uint32_t x = 0; x < b.width; ++x) {
                const int64_t cx = b.left + int64_t(x), cy = b.top + int64_t(y);
                const uint32_t v = b.values[y * b.width + x];
                if (cx < 0 || cy < 0 || (b.transparent && v == *b.transparent)) continue;
                expected[size_t(cy) * cw + size_t(cx)] = ValueToRgb(v, cb);
            }
    Pic2EncodeOptions options;
    options.paletteInHeader = true;
    std::vector<uint8_t> bytes = EncodePic2(file, options);
    // An unknown block between header and the first one is passed over by its size.
    const size_t first =
        size_t(bytes[106]) << 24 | size_t(bytes[107]) << 16 | size_t(bytes[108]) << 8 | bytes[109];
    const uint8_t unknown[30] = {'X', 'Y', 'Z', 'W', 0, 0, 0, 30, 0xFF, 0xFF};
    bytes.insert(bytes.begin() + ptrdiff_t(first), unknown, unknown + 30);

    SpiPictureInfo info{};
    ASSERT_EQ(plugin_.Info(bytes, info), SPI_OK);
    EXPECT_EQ(info.width, int32_t(cw));
    EXPECT_EQ(info.height, int32_t(ch));
    Picture picture;
    ASSERT_EQ(plugin_.Decode(bytes, picture), SPI_OK);
    ASSERT_EQ(picture.width, int32_t(cw));
    ASSERT_EQ(picture.height, int32_t(ch));
    EXPECT_EQ(picture.rgb, expected);
}

} // namespace
