// Pi through ifpi.spi: hand-made bit streams whose pixels were worked out on paper, round trips
// through our own encoder, densities, palettes and every kind of bad input.
#include <gtest/gtest.h>

#include <random>

#include "tests/plugins_mag/pi_encoder.h"
#include "tests/plugins_mag/spi_host.h"
#include "tests/support/bit_writer.h"
#include "tests/support/plugin_test.h"

namespace {

using magtest::Picture;
using magtest::PiImage;
using magtest::Plugin;

// The header our encoder writes, without the stream. With no comment and no machine data the
// depth is byte 7, the machine data length bytes 12-13, width 14-15, height 16-17.
constexpr size_t kDepthAt = 7, kMachineDataAt = 12, kWidthAt = 14, kHeightAt = 16;

std::vector<uint8_t> HeaderOnly(const PiImage& image) {
    std::vector<uint8_t> file;
    testsupport::PutText(file, "Pi");
    testsupport::PutText(file, image.comment);
    file.insert(file.end(), {0x1A, 0x00, uint8_t(image.paletteRgb.empty() ? 0x80 : 0x00),
                             image.aspectFirst, image.aspectSecond, uint8_t(image.depth)});
    testsupport::PutText(file, "TEST");
    testsupport::PutBe16(file, uint32_t(image.machineData.size()));
    testsupport::Append(file, image.machineData);
    testsupport::PutBe16(file, image.width);
    testsupport::PutBe16(file, image.height);
    testsupport::Append(file, image.paletteRgb);
    return file;
}

std::vector<uint8_t> WithStream(const PiImage& image, const char* bits) {
    auto file = HeaderOnly(image);
    testsupport::BitWriter stream;
    stream.Put(bits);
    stream.Put(0, 32); // the customary zero tail
    testsupport::Append(file, stream.bytes());
    return file;
}

std::vector<uint8_t> FourBitPalette() {
    std::vector<uint8_t> rgb;
    for (unsigned i = 0; i < 16; ++i)
        rgb.insert(rgb.end(), {uint8_t(i << 4), 0x00, 0xF0});
    return rgb;
}

class PiTest : public testsupport::PluginTest<Plugin> {
protected:
    PiTest() : PluginTest("ifpi.spi") {}
};

TEST_F(PiTest, HandMadeStreamsDecodeToTheWorkedOutPixels) {
    // 4 x 2, 16 colours. Move-to-front lists start as p, p-1, p-2, ... for previous colour p.
    //  "10"        first colour, rank 0 after 0: 0
    //  "11"        second colour, rank 1 after 0: 15 (list 0 becomes 15 0 14 ...)
    //              the two virtual rows above read 0 15 0 15 ...
    //  "10" "0"    copy from two rows up, one pair: 0 15
    //  "10"        the same position again: colour pairs
    //  "001"       rank 3 after 15 (15 14 13 12 ...): 12
    //  "01000"     rank 4 after 12 (12 11 10 9 8 ...): 8
    //  "0"         no further pair
    //  "110" "100" copy from one row up and one pixel right (3 back), two pairs: 15 12 8 15
    PiImage small;
    small.width = 4;
    small.height = 2;
    small.depth = 4;
    small.paletteRgb = FourBitPalette();
    small.aspectFirst = 2;
    small.aspectSecond = 1;
    // 2 x 2, 256 colours, default palette.
    //  "0111111 0000001" rank 128 + 1 after 0: 127
    //  "10"        rank 0 after 127: 127; the virtual rows are all 127
    //  "00" "0"    position 0: the two pixels before are equal, so 2 back; one pair: 127 127
    //  "00"        the same position again: colour pairs
    //  "000"       rank 2 after 127: 125
    //  "0110101"   rank 8 + 5 after 125: 112; the picture is full, no continuation bit
    PiImage wide;
    wide.width = 2;
    wide.height = 2;
    wide.depth = 8;
    const struct {
        const char* name;
        PiImage header;
        const char* bits;
        std::vector<uint8_t> pixels;
    } cases[] = {
        {"16 colours", small, "10 11 10 0 10 001 01000 0 110 100", {0, 15, 12, 8, 15, 12, 8, 15}},
        {"256 colours", wide, "0111111 0000001 10 00 0 00 000 0110101", {127, 127, 125, 112}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture;
        ASSERT_EQ(plugin_.Decode(WithStream(c.header, c.bits), picture), SPI_OK);
        ASSERT_EQ(picture.width, c.header.width);
        ASSERT_EQ(picture.height, c.header.height);
        EXPECT_EQ(picture.bitsPerPixel, c.header.depth);
        EXPECT_EQ(picture.indices, c.pixels);
    }
}

TEST_F(PiTest, PalettesStoredAndDefault) {
    const struct {
        const char* name;
        int depth;
        std::vector<uint8_t> stored;
        std::vector<std::pair<int, uint32_t>> expected; // entry, 0xRRGGBB
    } cases[] = {
        // 4-bit levels in the high nibble are widened so that F0 is full.
        {"4-bit stored levels",
         4,
         FourBitPalette(),
         {{0, 0x0000FF}, {1, 0x1100FF}, {15, 0xFF00FF}}},
        // One low nibble set: the levels are 8-bit and kept.
        {"8-bit stored levels",
         4,
         [] {
             auto p = FourBitPalette();
             p[5] = 0x01;
             return p;
         }(),
         {{1, 0x100001}, {15, 0xF000F0}}},
        // Default 16: bit 0 blue, bit 1 red, bit 2 green, entries 8 and up at full level, 8 black.
        {"default 16",
         4,
         {},
         {{0, 0},
          {1, 0x000077},
          {2, 0x770000},
          {4, 0x007700},
          {7, 0x777777},
          {8, 0},
          {9, 0x0000FF},
          {14, 0xFFFF00},
          {15, 0xFFFFFF}}},
        // Default 256: GGGRRRBB, non-zero levels filled with ones.
        {"default 256",
         8,
         {},
         {{0, 0},
          {0xFF, 0xFFFFFF},
          {0x20, 0x003F00},
          {0x04, 0x3F0000},
          {0x01, 0x00007F},
          {0x03, 0x0000FF},
          {112, 0x9F7F00}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PiImage image;
        image.width = 2;
        image.height = 1;
        image.depth = c.depth;
        image.indices = {0, 0};
        image.paletteRgb = c.stored;
        Picture picture;
        ASSERT_EQ(plugin_.Decode(magtest::EncodePi(image), picture), SPI_OK);
        for (const auto& [entry, rgb] : c.expected)
            EXPECT_EQ(picture.palette.at(entry), rgb) << entry;
    }
}

TEST_F(PiTest, AspectBytesAreTheDensities) {
    const struct {
        uint8_t first, second;
        uint16_t x, y;
    } cases[] = {{0, 0, 1, 1}, {1, 1, 1, 1}, {2, 1, 2, 1}, {1, 2, 1, 2},
                 {0, 5, 1, 1}, {5, 0, 1, 1}, {4, 2, 2, 1}, {3, 3, 1, 1}};
    for (const auto& c : cases) {
        PiImage image;
        image.width = 4;
        image.height = 2;
        image.indices.assign(8, 3);
        image.aspectFirst = c.first;
        image.aspectSecond = c.second;
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(magtest::EncodePi(image), info), SPI_OK);
        EXPECT_EQ(+info.width, 4);
        EXPECT_EQ(+info.height, 2);
        EXPECT_EQ(+info.bitsPerPixel, 4);
        EXPECT_EQ(+info.xDensity, c.x) << int(c.first) << ":" << int(c.second);
        EXPECT_EQ(+info.yDensity, c.y) << int(c.first) << ":" << int(c.second);
    }
}

PiImage Pattern(uint16_t width, uint16_t height, int depth, const char* kind, unsigned seed) {
    PiImage image;
    image.width = width;
    image.height = height;
    image.depth = depth;
    const unsigned colours = depth == 8 ? 256 : 16;
    std::mt19937 random(seed);
    image.indices.resize(size_t(width) * height);
    for (size_t i = 0; i < image.indices.size(); ++i) {
        const size_t x = i % width, y = i / width;
        const std::string k = kind;
        unsigned v = 0;
        if (k == "noise") v = random() % colours;
        if (k == "gradient") v = unsigned((x + 2 * y) % colours);
        if (k == "stripes") v = unsigned((y / 3) % 2 ? 5 : (x / 2) % colours);
        if (k == "blocks") v = unsigned(((x / 7) * 31 + (y / 5) * 17) % colours);
        image.indices[i] = uint8_t(v);
    }
    for (unsigned i = 0; i < colours; ++i)
        image.paletteRgb.insert(image.paletteRgb.end(),
                                {uint8_t(i), uint8_t(i * 3), uint8_t(255 - i)});
    return image;
}

TEST_F(PiTest, OurEncoderRoundTrips) {
    const struct {
        uint16_t width, height;
        int depth;
        const char* kind;
    } cases[] = {
        {2, 1, 4, "noise"},      {2, 2, 8, "noise"},      {3, 3, 4, "noise"},
        {5, 3, 4, "gradient"},   {7, 5, 8, "noise"},      {64, 48, 4, "stripes"},
        {33, 17, 8, "gradient"}, {31, 9, 4, "noise"},     {160, 100, 8, "blocks"},
        {257, 3, 8, "noise"},    {640, 400, 4, "blocks"},
    };
    unsigned seed = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " " + c.kind +
                     " depth " + std::to_string(c.depth));
        const PiImage image = Pattern(c.width, c.height, c.depth, c.kind, seed++);
        Picture picture;
        ASSERT_EQ(plugin_.Decode(magtest::EncodePi(image), picture), SPI_OK);
        ASSERT_EQ(picture.width, c.width);
        ASSERT_EQ(picture.height, c.height);
        EXPECT_EQ(picture.indices, image.indices);
        EXPECT_EQ(picture.palette[1], 0x0103FEu);
    }
}

TEST_F(PiTest, CommentsAndMachineDataAreSkipped) {
    PiImage image = Pattern(16, 4, 4, "gradient", 7);
    image.comment = "User: tester\r\nA comment with \x8a\xbf Japanese bytes";
    image.machineData = {0x01, 0x00, 0x10, 0x00, 0x20, 'l', 'o', 'o', 'p', 0, 0};
    Picture picture;
    ASSERT_EQ(plugin_.Decode(magtest::EncodePi(image), picture), SPI_OK);
    EXPECT_EQ(picture.indices, image.indices);
}

TEST_F(PiTest, BadInputGetsItsResultCode) {
    const PiImage base = Pattern(8, 4, 4, "gradient", 3);
    const auto good = magtest::EncodePi(base);
    const size_t header = HeaderOnly(base).size();
    auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + n); };
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        auto f = good;
        std::copy(bytes.begin(), bytes.end(), f.begin() + long(at));
        return f;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        int32_t result;
    } cases[] = {
        {"empty", {}, SPI_NOT_SUPPORTED},
        {"text that starts with Pi",
         {'P', 'i', 'c', 't', 'u', 'r', 'e', 's', '\n'},
         SPI_NOT_SUPPORTED},
        {"ends inside the hidden comment", cut(3), SPI_FILE_READ_ERROR},
        {"ends inside the fixed fields", cut(8), SPI_FILE_READ_ERROR},
        {"ends inside the size", cut(kWidthAt + 1), SPI_FILE_READ_ERROR},
        {"ends inside the palette", cut(header - 10), SPI_FILE_READ_ERROR},
        {"ends before the data", cut(header), SPI_FILE_READ_ERROR},
        {"machine data longer than the file", patched(kMachineDataAt, {0x7F, 0}),
         SPI_FILE_READ_ERROR},
        {"depth 5", patched(kDepthAt, {5}), SPI_BROKEN_DATA},
        {"width 1", patched(kWidthAt, {0, 1}), SPI_BROKEN_DATA},
        {"height 0", patched(kHeightAt, {0, 0}), SPI_BROKEN_DATA},
        {"65535 x 65535 in a small file", patched(kWidthAt, {0xFF, 0xFF, 0xFF, 0xFF}),
         SPI_NO_MEMORY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        magtest::ExpectDecodeResult(plugin_, c.file, "bad.pi", c.result);
    }
}

TEST_F(PiTest, TruncatedStreamGivesThePartItHolds) {
    const PiImage image = Pattern(64, 40, 8, "noise", 11);
    auto file = magtest::EncodePi(image);
    file.resize(file.size() - (file.size() - HeaderOnly(image).size()) / 2);
    Picture picture;
    ASSERT_EQ(plugin_.Decode(file, picture), SPI_OK);
    ASSERT_EQ(picture.indices.size(), image.indices.size());
    // Noise needs about the same number of bits for every row: the upper third is certainly whole.
    const size_t whole = image.indices.size() / 3;
    EXPECT_TRUE(std::equal(image.indices.begin(), image.indices.begin() + long(whole),
                           picture.indices.begin()));
    EXPECT_NE(picture.indices, image.indices);
}

TEST_F(PiTest, ShortZeroTailStillFinishesThePicture) {
    // Files seen in the wild end with two or three zero bytes, or none, instead of 32 zero bits.
    const PiImage image = Pattern(32, 8, 4, "stripes", 5);
    auto file = magtest::EncodePi(image);
    file.resize(file.size() - 4);
    Picture picture;
    ASSERT_EQ(plugin_.Decode(file, picture), SPI_OK);
    EXPECT_EQ(picture.indices, image.indices);
}

} // namespace
