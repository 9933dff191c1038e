// Hostile and damaged input: each gets its own result code, nothing is delivered and no memory
// handle is left behind.
#include <gtest/gtest.h>

#include "tests/plugins_pic/pic2_encoder.h"
#include "tests/plugins_pic/pic2_fixtures.h"
#include "tests/plugins_pic/pic2_images.h"
#include "tests/plugins_pic/pic_fixtures.h"
#include "tests/plugins_pic/spi_harness.h"
#include "tests/support/plugin_test.h"
#include "tests/support/samples.h"

namespace {

using namespace pictest;

class PicResultCodes : public testsupport::PluginTest<Plugin> {
protected:
    PicResultCodes() : PluginTest("ifpic.spi") {}
};

class Pic2ResultCodes : public testsupport::PluginTest<Plugin> {
protected:
    Pic2ResultCodes() : PluginTest("ifpic2.spi") {}
};

struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t expected;
};

void ExpectCodes(const Plugin& plugin, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t handles = GlobalLiveHandles();
        HGLOBAL32 info = 0, bits = 0;
        EXPECT_EQ(plugin.getPicture(reinterpret_cast<const char*>(c.bytes.data()),
                                    int32_t(c.bytes.size()), SPI_INPUT_MEMORY, &info, &bits,
                                    nullptr, 0),
                  c.expected);
        EXPECT_EQ(info, 0u);
        EXPECT_EQ(bits, 0u);
        EXPECT_EQ(GlobalLiveHandles(), handles);
    }
}

std::vector<uint8_t> Cut(std::vector<uint8_t> v, size_t drop) {
    v.resize(v.size() - drop);
    return v;
}

std::vector<uint8_t> WithByte(std::vector<uint8_t> v, size_t at, uint8_t value) {
    v[at] = value;
    return v;
}

// Type byte onwards, for a header whose comment is "c".
std::vector<uint8_t> PicHeader(uint8_t type, uint16_t depth, uint16_t w, uint16_t h) {
    return PicFile("c", {type, uint8_t(depth >> 8), uint8_t(depth), uint8_t(w >> 8), uint8_t(w),
                         uint8_t(h >> 8), uint8_t(h), 0, 0, 0, 0, 0, 0, 0, 0});
}

TEST_F(PicResultCodes, EachKindOfBadInput) {
    const std::vector<uint8_t> good = Pic16Colours();
    const size_t typeAt = 3 + std::string("16 colours").size() + 3;
    std::vector<uint8_t> longPrefix = PicHeader(0x00, 15, 8, 8);
    longPrefix.resize(longPrefix.size() - 8);
    longPrefix.insert(longPrefix.end(), 8, 0xFF); // 64 one bits before the length's zero
    std::vector<uint8_t> generic8 =
        PicFile("", {0x0F, 0, 8, 0, 2, 0, 2, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 9});
    generic8.resize(generic8.size() + 1000, 0);
    ExpectCodes(
        plugin_,
        {
            {"another format", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, SPI_NOT_SUPPORTED},
            {"unknown machine", WithByte(good, typeAt, 0x07), SPI_NOT_SUPPORTED},
            {"depth the machine lacks", PicHeader(0x00, 24, 4, 4), SPI_NOT_SUPPORTED},
            {"32-bit generic", PicHeader(0x0F, 32, 4, 4), SPI_NOT_SUPPORTED},
            {"TOWNS mode never seen", PicHeader(0x32, 15, 4, 4), SPI_NOT_SUPPORTED},
            {"no end of comment", {'P', 'I', 'C', 'a', 'b'}, SPI_FILE_READ_ERROR},
            {"no zero after the comment", {'P', 'I', 'C', 0x1A, 1, 2}, SPI_FILE_READ_ERROR},
            {"header cut in the size", Cut(PicHeader(0x00, 15, 4, 4), 11), SPI_FILE_READ_ERROR},
            {"palette cut", Cut(good, 20), SPI_FILE_READ_ERROR},
            {"pixels cut", Cut(good, 1), SPI_FILE_READ_ERROR},
            {"zero width", PicHeader(0x00, 15, 0, 4), SPI_BROKEN_DATA},
            {"palette components of 9 bits", generic8, SPI_BROKEN_DATA},
            {"endless length prefix", longPrefix, SPI_BROKEN_DATA},
            {"65535 x 65535 in 30 bytes", PicHeader(0x00, 15, 65535, 65535), SPI_NO_MEMORY},
        });
}

// However a sound file is cut short, the result is an error, never a picture.
TEST_F(PicResultCodes, EveryPrefixOfAFileFails) {
    std::vector<std::vector<uint8_t>> files = {Pic16Colours(), Pic15BitGeneric()};
    if (testsupport::HaveSamples())
        for (const auto& path : testsupport::SampleFiles("pic"))
            files.push_back(testsupport::ReadBytes(path));
    for (const auto& file : files) {
        const size_t handles = GlobalLiveHandles();
        // Sample files may carry padding bytes after their last code; cut well inside them.
        const size_t end = file.size() > 64 ? file.size() - 16 : file.size();
        for (size_t n = 0; n < end; n += 1 + n / 64) {
            SCOPED_TRACE(n);
            Picture picture;
            const int32_t rc = plugin_.Decode(
                std::vector<uint8_t>(file.begin(), file.begin() + ptrdiff_t(n)), picture);
            EXPECT_TRUE(rc == SPI_FILE_READ_ERROR || (n < 3 && rc == SPI_NOT_SUPPORTED)) << rc;
        }
        EXPECT_EQ(GlobalLiveHandles(), handles);
    }
}

TEST_F(Pic2ResultCodes, EachKindOfBadInput) {
    const HandBlock raw = RawLittleEndian15();
    const std::vector<uint8_t> good = Pic2FileOf(15, 0, 0, 2, 1, {raw});
    auto be32At = [](std::vector<uint8_t> v, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            v[at + size_t(i)] = uint8_t(value >> (24 - 8 * i));
        return v;
    };
    std::vector<uint8_t> bigPalette = WithByte(good, 99, 1); // palette flag
    bigPalette = be32At(bigPalette, 106, 124 + 3 + 300 * 3 + 8);
    bigPalette.insert(bigPalette.begin() + 124, {8, 0x01, 0x2C}); // 300 entries
    bigPalette.insert(bigPalette.begin() + 127, 300 * 3 + 8, 0);
    HandBlock far = raw;
    far.left = 32767;
    far.top = 32767;
    far.width = 65535;
    far.height = 65535;
    HandBlock emptyBlock = raw;
    emptyBlock.width = 0;
    HandBlock shortRaw = raw;
    shortRaw.data.pop_back();
    HandBlock shortTable = ArithmeticThreeBit();
    shortTable.data.resize(200);
    HandBlock outOfRange = ArithmeticThreeBit();
    std::fill(outOfRange.data.begin() + 256, outOfRange.data.end(), 0xFF); // code >= range
    HandBlock fastCut = FastThreeBit();
    fastCut.data.pop_back();
    HandBlock arithmeticCut = ArithmeticThreeBit();
    arithmeticCut.data.resize(256);
    arithmeticCut.height = 200; // 16 bits of look-ahead cannot stretch over 400 pixels
    ExpectCodes(
        plugin_,
        {
            {"another format", {'P', 'I', 'C', 0x1A, 0, 0}, SPI_NOT_SUPPORTED},
            {"8-bit palette picture", WithByte(good, 111, 8), SPI_NOT_SUPPORTED},
            {"header cut", Cut(good, good.size() - 100), SPI_FILE_READ_ERROR},
            {"first block beyond the end", be32At(good, 106, 100000), SPI_FILE_READ_ERROR},
            {"block cut", Cut(good, 9), SPI_FILE_READ_ERROR},
            {"terminator missing", Cut(good, 8), SPI_FILE_READ_ERROR},
            {"first block inside the header", be32At(good, 106, 60), SPI_BROKEN_DATA},
            {"300 palette entries", bigPalette, SPI_BROKEN_DATA},
            {"block size below its header", be32At(good, 128, 10), SPI_BROKEN_DATA},
            {"no blocks", Pic2FileOf(15, 0, 0, 2, 1, {}), SPI_BROKEN_DATA},
            {"block of width 0", Pic2FileOf(15, 0, 0, 2, 1, {emptyBlock}), SPI_BROKEN_DATA},
            {"raw data short", Pic2FileOf(15, 0, 0, 2, 1, {shortRaw}), SPI_BROKEN_DATA},
            {"fast data cut", Pic2FileOf(3, 0, 0, 3, 2, {fastCut}), SPI_BROKEN_DATA},
            {"probability table cut", Pic2FileOf(3, 0, 0, 2, 1, {shortTable}), SPI_BROKEN_DATA},
            {"arithmetic code out of range", Pic2FileOf(3, 0, 0, 2, 1, {outOfRange}),
             SPI_BROKEN_DATA},
            {"arithmetic data ends early", Pic2FileOf(3, 0, 0, 2, 200, {arithmeticCut}),
             SPI_BROKEN_DATA},
            {"98302 x 98302 canvas from a small file", Pic2FileOf(15, 0, 0, 1, 1, {far}),
             SPI_NO_MEMORY},
            {"65535 x 65535 canvas", Pic2FileOf(15, 0, 0, 65535, 65535, {raw}), SPI_NO_MEMORY},
        });
}

TEST_F(Pic2ResultCodes, EveryPrefixOfAFileFails) {
    Pic2File file;
    file.componentBits = 6;
    file.width = 24;
    file.height = 16;
    const std::vector<uint32_t> values = MakeValues(Pattern::Shapes, 24, 16, 6, 9);
    for (Pic2Coding coding : {Pic2Coding::Arithmetic, Pic2Coding::Fast, Pic2Coding::RawBigEndian})
        file.blocks.push_back({coding, 0, 0, 24, 16, values, {}});
    const std::vector<uint8_t> bytes = EncodePic2(file);
    const size_t handles = GlobalLiveHandles();
    // Up to the terminator's first byte, which ends the blocks.
    for (size_t n = 0; n + 8 < bytes.size(); ++n) {
        SCOPED_TRACE(n);
        Picture picture;
        const int32_t rc = plugin_.Decode(
            std::vector<uint8_t>(bytes.begin(), bytes.begin() + ptrdiff_t(n)), picture);
        EXPECT_TRUE(rc == SPI_FILE_READ_ERROR || (n < 4 && rc == SPI_NOT_SUPPORTED)) << rc;
    }
    EXPECT_EQ(GlobalLiveHandles(), handles);
}

} // namespace
