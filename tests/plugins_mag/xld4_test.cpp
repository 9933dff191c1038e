// XLD4 (.Q4) through ifxld4.spi. There are no public sample files: hand-made chunks whose codes
// and pixels were worked out on paper, round trips through our own encoder, and bad input.
#include <gtest/gtest.h>

#include <random>

#include "tests/plugins_mag/q4_encoder.h"
#include "tests/plugins_mag/spi_host.h"
#include "tests/support/bit_writer.h"
#include "tests/support/plugin_test.h"

namespace {

using magtest::Picture;
using magtest::Plugin;
using magtest::Q4Image;

constexpr size_t kPixels = magtest::kQ4Width * magtest::kQ4Height;

std::vector<uint8_t> Codes(const char* bits) {
    testsupport::BitWriter w;
    w.Put(bits);
    return w.bytes();
}

std::vector<uint8_t> FileOf(const std::vector<std::vector<uint8_t>>& chunks) {
    std::vector<uint8_t> body;
    for (const auto& c : chunks)
        testsupport::Append(body, c);
    auto file = magtest::Q4Header(16 + body.size());
    testsupport::Append(file, body);
    return file;
}

// Codes start 3 bits wide; value 1 widens them by one bit, value 0 ends the chunk, value v codes
// v - 2: 0 to 16 are symbols, 17 on the steps of this chunk (step 17 is the first code read).
// Step c's entry is its own output and the first symbol of step c + 1.
//
// Palette chunk, symbols 0 15 0 0 0 15 0 1 0 2 0 3 (file entries 0 and 1, two symbols per
// component, the second is the level):
//   010             step 17: 0
//   001 0001 10001  widen twice; step 18: 15
//   00010           step 19: 0
//   10101           step 20: entry 19 = 0 and its own first symbol: 0 0
//   10001           step 21: 15
//   00010 00011 00010 00100 00010 00101   0 1 0 2 0 3
//   00000           end
// Entry 0 colours pixel value 0: (15, 0, 15) * 17; entry 1 colours value 4 (bit 0 -> bit 2).
const char* const kPaletteCodes =
    "010 001 0001 10001 00010 10101 10001 00010 00011 00010 00100 00010 00101 00000";
// Chunk 1, 40 pixels, symbols 3 16 0 7 1 2 3 16 1 0:
//   101 001 0001 10010 00010 01001 00011 00100   3 16 0 7 1 2
//   10011           step 23: entry 17 = 3 16
//   00011 00010 00000   1 0, end
// Pixels: 3; run with new value 7, 1 * 17 + 2 = 19 times; 3; run of 7, 1 * 17 + 0 = 17 times;
// then the chunk has no more symbols: 2 pixels of 0.
const char* const kChunk1Codes =
    "101 001 0001 10010 00010 01001 00011 00100 10011 00011 00010 00000";
// Chunk 2, 20 pixels, symbols 16 1 1 16 0 6 1 0:
//   001 0001 10010 00011 00011 10010 00010 01000 00011 00010 00000
// Pixels: a run of the run value, which starts each chunk as 0, 1 * 17 + 1 = 18 times; a run
// of new value 6, 17 times, of which 2 fit; 15 are left over for the next chunk.
const char* const kChunk2Codes = "001 0001 10010 00011 00011 10010 00010 01000 00011 00010 00000";
// Chunk 3, the rest of the picture, symbols 2 2 2:
//   100             step 17: 2
//   001 0001 10011  widen twice; step 18: entry 17 = 2 and its own first symbol: 2 2
//   00000
// Pixels: the 15 left over of 6, then 2 2 2, then 0 to the most a chunk can promise.
const char* const kChunk3Codes = "100 001 0001 10011 00000";
constexpr size_t kChunk3Pixels = 2 * 0xFFFF;
// Chunk 4, the rest: only the end code.
const char* const kChunk4Codes = "000";

std::vector<uint8_t> HandMadeFile() {
    return FileOf({magtest::Q4Chunk(Codes(kPaletteCodes), 0),
                   magtest::Q4Chunk(Codes(kChunk1Codes), 40),
                   magtest::Q4Chunk(Codes(kChunk2Codes), 20),
                   magtest::Q4Chunk(Codes(kChunk3Codes), kChunk3Pixels),
                   magtest::Q4Chunk(Codes(kChunk4Codes), kPixels - 60 - kChunk3Pixels)});
}

std::vector<uint8_t> HandMadePixels() {
    std::vector<uint8_t> p(kPixels, 0);
    p[0] = 3;
    std::fill(p.begin() + 1, p.begin() + 20, 7);
    p[20] = 3;
    std::fill(p.begin() + 21, p.begin() + 38, 7);
    // 38-39: the end of chunk 1; 40-57: a run of value 0 in chunk 2
    std::fill(p.begin() + 58, p.begin() + 75, 6);
    std::fill(p.begin() + 75, p.begin() + 78, 2);
    return p;
}

class Xld4Test : public testsupport::PluginTest<Plugin> {
protected:
    Xld4Test() : PluginTest("ifxld4.spi") {}
};

TEST_F(Xld4Test, HandMadeChunksDecodeToTheWorkedOutPixels) {
    Picture picture;
    ASSERT_EQ(plugin_.Decode(HandMadeFile(), picture), SPI_OK);
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 400);
    EXPECT_EQ(picture.bitsPerPixel, 4);
    EXPECT_EQ(picture.indices, HandMadePixels());
    std::vector<uint32_t> palette(16, 0);
    palette[0] = 0xFF00FF;
    palette[4] = 0x112233;
    EXPECT_EQ(picture.palette, palette);
}

TEST_F(Xld4Test, InformationRecordIsTheFixedScreen) {
    SpiPictureInfo info{};
    ASSERT_EQ(plugin_.Info(HandMadeFile(), info), SPI_OK);
    EXPECT_EQ(+info.width, 640);
    EXPECT_EQ(+info.height, 400);
    EXPECT_EQ(+info.xDensity, 1);
    EXPECT_EQ(+info.yDensity, 1);
    EXPECT_EQ(+info.bitsPerPixel, 4);
    const auto path = magtest::WriteTempFile("info.q4", HandMadeFile());
    EXPECT_EQ(plugin_.InfoFile(path, 0, info), SPI_OK);
}

Q4Image Pattern(const char* kind, unsigned colours, unsigned seed) {
    Q4Image image;
    image.indices.resize(kPixels);
    std::mt19937 random(seed);
    const std::string k = kind;
    for (size_t i = 0; i < kPixels; ++i) {
        const size_t x = i % 640, y = i / 640;
        unsigned v = 0;
        if (k == "flat") v = colours - 1;
        if (k == "bands") v = unsigned(y / 25);
        if (k == "columns") v = unsigned(x / 3);
        if (k == "checks") v = unsigned((x + y) % 2 ? 1 : 0);
        if (k == "blocks") v = unsigned((x / 40) * 7 + (y / 50) * 3);
        if (k == "speckle") v = random() % 50 == 0 ? unsigned(random()) : unsigned(y / 80);
        image.indices[i] = uint8_t(v % colours);
    }
    for (unsigned v = 0; v < 16; ++v)
        image.levels[v] = {uint8_t(v), uint8_t(15 - v), uint8_t((v * 5) % 16)};
    return image;
}

TEST_F(Xld4Test, OurEncoderRoundTrips) {
    const struct {
        const char* kind;
        unsigned colours;
        size_t pixelsPerChunk;
        size_t minRun;
    } cases[] = {
        {"flat", 16, 16000, 4},    {"flat", 1, 131070, 4},    {"bands", 16, 16000, 4},
        {"columns", 16, 16000, 4}, {"columns", 16, 640, 1},   {"checks", 2, 16000, 4},
        {"blocks", 16, 12800, 3},  {"speckle", 16, 16000, 5}, {"speckle", 8, 2, 4},
        {"bands", 16, 131070, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + std::to_string(c.colours) + " colours, " +
                     std::to_string(c.pixelsPerChunk) + " pixels a chunk");
        Q4Image image = Pattern(c.kind, c.colours, unsigned(c.pixelsPerChunk));
        image.pixelsPerChunk = c.pixelsPerChunk;
        image.minRun = c.minRun;
        Picture picture;
        ASSERT_EQ(plugin_.Decode(magtest::EncodeQ4(image), picture), SPI_OK);
        ASSERT_EQ(picture.indices.size(), kPixels);
        EXPECT_EQ(picture.indices, image.indices);
        for (unsigned v = 0; v < 16; ++v)
            EXPECT_EQ(picture.palette[v], uint32_t(image.levels[v][0] * 17) << 16 |
                                              uint32_t(image.levels[v][1] * 17) << 8 |
                                              uint32_t(image.levels[v][2] * 17));
    }
}

TEST_F(Xld4Test, BadInputGetsItsResultCode) {
    const auto good = HandMadeFile();
    const size_t paletteChunk = 6 + Codes(kPaletteCodes).size();
    auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + long(n)); };
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
        {"15 bytes", cut(15), SPI_NOT_SUPPORTED},
        {"no MAJYO", patched(11, {'M', 'A', 'J', 'O', 'Y'}), SPI_NOT_SUPPORTED},
        {"header bytes the known files never have", patched(1, {2, 0, 2}), SPI_NOT_SUPPORTED},
        {"header only", cut(16), SPI_FILE_READ_ERROR},
        {"ends inside the palette chunk's header", cut(20), SPI_FILE_READ_ERROR},
        {"palette chunk only", cut(16 + paletteChunk), SPI_FILE_READ_ERROR},
        {"ends inside the first pixel chunk's header", cut(16 + paletteChunk + 3),
         SPI_FILE_READ_ERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        magtest::ExpectDecodeResult(plugin_, c.file, "bad.q4", c.result);
    }
}

TEST_F(Xld4Test, DamagedChunksGiveThePartTheyHold) {
    const auto pixels = HandMadePixels();
    auto expectPrefix = [&](const std::vector<uint8_t>& file, size_t whole) {
        Picture picture;
        ASSERT_EQ(plugin_.Decode(file, picture), SPI_OK);
        ASSERT_EQ(picture.indices.size(), kPixels);
        EXPECT_TRUE(
            std::equal(pixels.begin(), pixels.begin() + long(whole), picture.indices.begin()));
        EXPECT_TRUE(std::all_of(picture.indices.begin() + long(whole), picture.indices.end(),
                                [](uint8_t v) { return v == 0; }));
    };
    // Cut after the pixel chunk 1: its 40 pixels, the rest 0.
    const size_t chunk1End = 16 + 6 + Codes(kPaletteCodes).size() + 6 + Codes(kChunk1Codes).size();
    auto cut = HandMadeFile();
    cut.resize(chunk1End);
    expectPrefix(cut, 40);
    // A code beyond the dictionary ends a chunk: chunk 1 stops after 3 16 0 7 1 2 (code 23 is
    // replaced by 30), so its pixels are 3 and nineteen 7, then 0; the chunks after still decode.
    auto broken = FileOf({magtest::Q4Chunk(Codes(kPaletteCodes), 0),
                          magtest::Q4Chunk(Codes("101 001 0001 10010 00010 01001 00011 00100 "
                                                 "11111 00011 00010 00000"),
                                           40),
                          magtest::Q4Chunk(Codes(kChunk2Codes), 20),
                          magtest::Q4Chunk(Codes(kChunk3Codes), kChunk3Pixels),
                          magtest::Q4Chunk(Codes(kChunk4Codes), kPixels - 60 - kChunk3Pixels)});
    Picture picture;
    ASSERT_EQ(plugin_.Decode(broken, picture), SPI_OK);
    auto expected = pixels;
    std::fill(expected.begin() + 20, expected.begin() + 40, 0);
    EXPECT_EQ(picture.indices, expected);
}

} // namespace
