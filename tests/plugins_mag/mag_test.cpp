// MAG through ifmag.spi: hand-made files whose pixels were worked out on paper from the format's
// flag and copy rules, the placement and density record, and every kind of bad input.
#include <gtest/gtest.h>

#include "tests/plugins_mag/spi_host.h"
#include "tests/support/bit_writer.h"
#include "tests/support/plugin_test.h"

namespace {

using magtest::Picture;
using magtest::Plugin;

struct MagParts {
    uint8_t mode = 0;
    uint8_t machine = 0;
    uint8_t machineFlags = 0;
    uint16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::vector<uint8_t> flagA, flagB, pixels;
};

// Three rows of eight data bytes, two flag bytes a row:
//   row 0: flag bits 0 0: actions 00 00, all four words from the pixel data;
//   row 1: flag bits 1 0: action 0 ^= 44 (copy from one row up), action 1 stays 00;
//   row 2: flag bits 1 1: action 0 ^= 45 -> 01 (data word, then the word to its left),
//          action 1 ^= 23 (two words left, then four words left: into row 1).
// Worked out by hand, the data bytes are
//   row 0: 01 23 45 67 89 AB CD EF
//   row 1: 01 23 45 67 10 32 54 76
//   row 2: FE DC FE DC FE DC 54 76
const std::vector<uint8_t> kFlagA = {0x2C}; // 00 10 11, then padding
const std::vector<uint8_t> kFlagB = {0x44, 0x45, 0x23};
const std::vector<uint8_t> kPixels = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD,
                                      0xEF, 0x10, 0x32, 0x54, 0x76, 0xFE, 0xDC};
const uint8_t kRows[3][8] = {{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF},
                             {0x01, 0x23, 0x45, 0x67, 0x10, 0x32, 0x54, 0x76},
                             {0xFE, 0xDC, 0xFE, 0xDC, 0xFE, 0xDC, 0x54, 0x76}};

std::vector<uint8_t> MakeMag(const MagParts& m) {
    const std::string_view text = "MAKI02  ZORV tester           \x1A";
    std::vector<uint8_t> file(text.begin(), text.end());
    const size_t entries = m.mode & 0x80 ? 256 : 16;
    const uint32_t flagA = 32 + uint32_t(entries) * 3;
    const uint32_t flagB = flagA + uint32_t(m.flagA.size());
    const uint32_t pixels = flagB + uint32_t(m.flagB.size());
    for (const uint8_t v : {uint8_t(0), m.machine, m.machineFlags, m.mode})
        file.push_back(v);
    for (const uint16_t v : {m.x1, m.y1, m.x2, m.y2})
        testsupport::PutLe16(file, v);
    for (const uint32_t v :
         {flagA, flagB, uint32_t(m.flagB.size()), pixels, uint32_t(m.pixels.size())})
        testsupport::PutLe32(file, v);
    for (size_t i = 0; i < entries; ++i) // stored green, red, blue
        file.insert(file.end(), {uint8_t(i * 16), uint8_t(255 - i), uint8_t(i * 7)});
    testsupport::Append(file, m.flagA);
    testsupport::Append(file, m.flagB);
    testsupport::Append(file, m.pixels);
    return file;
}

MagParts Fixture(uint8_t mode, uint16_t x1, uint16_t x2) {
    MagParts m;
    m.mode = mode;
    m.x1 = x1;
    m.x2 = x2;
    m.y2 = 2;
    m.flagA = kFlagA;
    m.flagB = kFlagB;
    m.pixels = kPixels;
    return m;
}

// Pixel x of data row y: two per byte (high nibble left) for 16 colours, else one.
uint8_t DataPixel(int y, int x, bool sixteen) {
    return sixteen ? (kRows[y][x / 2] >> (x % 2 ? 0 : 4)) & 15 : kRows[y][x];
}

class MagTest : public testsupport::PluginTest<Plugin> {
protected:
    MagTest() : PluginTest("ifmag.spi") {}
};

TEST_F(MagTest, HandMadeFilesDecodeToTheWorkedOutPixels) {
    // The stored area is widened to whole flag units (8 pixels for 16 colours, 4 for 256), so
    // a picture whose edges are not on a unit boundary is cut out of the same data rows.
    const struct {
        const char* name;
        uint8_t mode;
        uint16_t x1, x2;
    } cases[] = {
        {"16 colours, whole units", 0x00, 0, 15},
        {"16 colours, odd left edge and odd width", 0x00, 3, 12},
        {"16 colours, width not a multiple of 8", 0x00, 0, 10},
        {"256 colours, whole units", 0x80, 0, 7},
        {"256 colours, edges inside units", 0x80, 2, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool sixteen = !(c.mode & 0x80);
        Picture picture;
        ASSERT_EQ(plugin_.Decode(MakeMag(Fixture(c.mode, c.x1, c.x2)), picture), SPI_OK);
        ASSERT_EQ(picture.width, c.x2 - c.x1 + 1);
        ASSERT_EQ(picture.height, 3);
        EXPECT_EQ(picture.bitsPerPixel, sixteen ? 4 : 8);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < picture.width; ++x)
                ASSERT_EQ(picture.index(x, y), DataPixel(y, c.x1 + x, sixteen)) << x << "," << y;
        // Palette bytes are stored green, red, blue and delivered as they are.
        EXPECT_EQ(picture.palette[1], 0xFE1007u);
        EXPECT_EQ(picture.palette[15], 0xF0F069u);
    }
}

TEST_F(MagTest, InformationRecordGivesPlacementDensityAndDepth) {
    // The 200-line flag marks pixels twice as tall as wide: twice the density across.
    const struct {
        uint8_t mode;
        uint16_t xDensity, yDensity;
        int16_t bits;
    } cases[] = {{0x00, 1, 1, 4},
                 {0x01, 2, 1, 4},
                 {0x80, 1, 1, 8},
                 {0x81, 2, 1, 8},
                 {0x02, 1, 1, 4}}; // 8 colours: still 4 bits
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        MagParts m = Fixture(c.mode, 3, 12);
        m.y1 = 40;
        m.y2 = 42;
        const auto file = MakeMag(m);
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(file, info), SPI_OK);
        // The record is packed: unary plus reads each field by value, not by reference.
        EXPECT_EQ(+info.left, 3);
        EXPECT_EQ(+info.top, 40);
        EXPECT_EQ(+info.width, 10);
        EXPECT_EQ(+info.height, 3);
        EXPECT_EQ(+info.xDensity, c.xDensity);
        EXPECT_EQ(+info.yDensity, c.yDensity);
        EXPECT_EQ(+info.bitsPerPixel, c.bits);
        EXPECT_EQ(+info.textInfo, 0u);
        const auto path = magtest::WriteTempFile("info.mag", file);
        SpiPictureInfo fromFile{};
        ASSERT_EQ(plugin_.InfoFile(path, 0, fromFile), SPI_OK);
        EXPECT_EQ(+fromFile.xDensity, c.xDensity);
    }
}

TEST_F(MagTest, FilesAreReadFromAnOffsetAsTheHostRetries) {
    auto file = MakeMag(Fixture(0x00, 0, 15));
    file.insert(file.begin(), 128, 0xAA); // a 128-byte wrapper before the picture
    const auto path = magtest::WriteTempFile("wrapped.mag", file);
    Picture picture;
    EXPECT_EQ(plugin_.DecodeFile(path, 0, picture), SPI_NOT_SUPPORTED);
    ASSERT_EQ(plugin_.LoadLikeHost(path, picture), SPI_OK);
    EXPECT_EQ(picture.index(0, 2), 0xF);
    EXPECT_EQ(picture.index(15, 2), 0x6);
}

TEST_F(MagTest, BadInputGetsItsResultCode) {
    const auto good = MakeMag(Fixture(0x00, 0, 15));
    const size_t header = good.size() - kPixels.size() - kFlagB.size() - kFlagA.size() - 48 - 32;
    auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + n); };
    auto with = [&](auto change) {
        MagParts m = Fixture(0x00, 0, 15);
        change(m);
        return MakeMag(m);
    };
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        auto f = good;
        std::copy(bytes.begin(), bytes.end(), f.begin() + at);
        return f;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        int32_t result;
    } cases[] = {
        {"empty", {}, SPI_NOT_SUPPORTED},
        {"a PNG", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0}, SPI_NOT_SUPPORTED},
        {"the older MAKI01", patched(0, {'M', 'A', 'K', 'I', '0', '1', 'A', ' '}),
         SPI_NOT_SUPPORTED},
        {"signature only", cut(8), SPI_FILE_READ_ERROR},
        {"ends after the text", cut(header), SPI_FILE_READ_ERROR},
        {"ends inside the header", cut(header + 20), SPI_FILE_READ_ERROR},
        {"ends inside the palette", cut(header + 32 + 40), SPI_FILE_READ_ERROR},
        {"ends before the pixel data", cut(good.size() - kPixels.size()), SPI_FILE_READ_ERROR},
        {"right edge left of the left edge", with([](MagParts& m) {
             m.x1 = 9;
             m.x2 = 8;
         }),
         SPI_BROKEN_DATA},
        {"bottom above the top", with([](MagParts& m) {
             m.y1 = 3;
             m.y2 = 2;
         }),
         SPI_BROKEN_DATA},
        {"65536 x 65536 in a small file", with([](MagParts& m) {
             m.x2 = 65535;
             m.y2 = 65535;
         }),
         SPI_NO_MEMORY},
        {"65536 wide", with([](MagParts& m) { m.x2 = 65535; }), SPI_NO_MEMORY},
        {"2000 x 2000 with one flag byte", with([](MagParts& m) {
             m.x2 = 1999;
             m.y2 = 1999;
         }),
         SPI_BROKEN_DATA},
        {"cut in the first half of its flags",
         [&] {
             MagParts m = Fixture(0x00, 0, 63);
             m.y2 = 63;
             m.flagA.assign(64, 0); // 8 flags a row, 64 rows
             auto f = MakeMag(m);
             f.resize(f.size() - kFlagB.size() - kPixels.size() - 54);
             return f;
         }(),
         SPI_FILE_READ_ERROR},
        {"MSX YJK colour", with([](MagParts& m) {
             m.machine = 3;
             m.machineFlags = 0x24;
         }),
         SPI_NOT_SUPPORTED},
        {"flag offset past the end", patched(header + 12, {0xFF, 0xFF, 0, 0}), SPI_FILE_READ_ERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        magtest::ExpectDecodeResult(plugin_, c.file, "bad.mag", c.result);
    }
}

TEST_F(MagTest, MissingFileAndOffsetBeyondTheEndAreReadErrors) {
    Picture picture;
    EXPECT_EQ(plugin_.DecodeFile("no-such-file.mag", 0, picture), SPI_FILE_READ_ERROR);
    const auto path = magtest::WriteTempFile("short.mag", MakeMag(Fixture(0x00, 0, 15)));
    EXPECT_EQ(plugin_.DecodeFile(path, 100000, picture), SPI_FILE_READ_ERROR);
}

TEST_F(MagTest, TruncatedDataGivesThePartItHolds) {
    // The last data word of row 2 (FE DC) is gone: rows 0 and 1 are whole, row 2 reads zeros
    // where the data ran out and copies of those zeros after it.
    auto file = MakeMag(Fixture(0x00, 0, 15));
    file.resize(file.size() - 2);
    Picture picture;
    ASSERT_EQ(plugin_.Decode(file, picture), SPI_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(picture.index(x, y), DataPixel(y, x, true));
    EXPECT_EQ(picture.index(0, 2), 0);
    EXPECT_EQ(picture.index(5, 2), 0);
    EXPECT_EQ(picture.index(12, 2), 5); // 54 76 comes from row 1
}

TEST_F(MagTest, CopiesFromBeforeTheFirstRowReadZero) {
    // Every flag of row 0 says "two rows up": nothing is there, so the row is colour 0, and the
    // following row takes data again.
    MagParts m = Fixture(0x00, 0, 15);
    m.y2 = 1;
    m.flagA = {0xC0};       // row 0: 1 1, row 1: 0 0
    m.flagB = {0x66, 0x66}; // actions 66 66, kept for row 1: copies of row -1
    m.pixels = {};
    Picture picture;
    ASSERT_EQ(plugin_.Decode(MakeMag(m), picture), SPI_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(picture.index(x, y), 0);
}

} // namespace
