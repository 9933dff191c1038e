// What every one of the three plug-ins owes the program, checked through the real .spi files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>

#include "plugins/common/spi_limits.h"
#include "tests/plugins_jgt/fixtures.h"
#include "tests/plugins_jgt/plugin_host.h"
#include "tests/support/plugin_test.h"

namespace jgt {
namespace {

struct PluginCase {
    const char* file;
    const char* name;                // GetPluginInfo(1)
    const char* patterns;            // GetPluginInfo(2)
    std::function<Bytes()> make;     // a small valid picture, 8 × 6
    std::function<Bytes()> makeHuge; // a header claiming a picture beyond the limits
    size_t headerBytes;              // a cut below this lies inside the header
};

Bytes SmallJpeg() {
    JpegSpec s;
    s.width = 8;
    s.height = 6;
    return MakeJpeg(s);
}

Bytes SmallGif() {
    GifSpec s;
    s.screenWidth = 8;
    s.screenHeight = 6;
    s.globalTable = {{0, 0, 0}, {255, 0, 0}};
    s.frames.push_back(GifFrame{0, 0, 8, 6, false, std::vector<uint8_t>(48, 1), {}, -1});
    return MakeGif(s);
}

Bytes SmallTiff() {
    TiffSpec s;
    s.width = 8;
    s.height = 6;
    s.rows.assign(48, 128);
    return MakeTiff(s);
}

// JPEG frame sizes are 16-bit: the largest there is, with a scan that never comes.
Bytes HugeJpeg() {
    Bytes b = SmallJpeg();
    for (size_t i = 2; i + 9 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            b[i + 5] = b[i + 6] = b[i + 7] = b[i + 8] = 0xFF;
            break;
        }
    return b;
}

Bytes HugeGif() {
    Bytes b = SmallGif();
    b[6] = b[7] = b[8] = b[9] = 0xFF; // 65535 × 65535 screen
    return b;
}

Bytes HugeTiff() {
    TiffSpec s;
    s.samplesPerPixel = 3;
    s.photometric = 2; // RGB
    s.rows.assign(48, 7);
    Bytes b = MakeTiff(s);
    PatchTiffTag(b, 256, 100000); // width
    PatchTiffTag(b, 257, 100000); // length
    return b;
}

const PluginCase kPlugins[] = {
    {"ifjpeg.spi", "Zorvane JPEG plug-in 1.01", "*.jpg;*.jpe", SmallJpeg, HugeJpeg, 20},
    {"ifgif.spi", "Zorvane GIF plug-in 1.01", "*.gif", SmallGif, HugeGif, 13},
    {"iftiff.spi", "Zorvane TIFF plug-in 1.01", "*.tif", SmallTiff, HugeTiff, 8},
};

class PluginContract
    : public testsupport::PluginTest<Plugin, ::testing::TestWithParam<PluginCase>> {
protected:
    PluginContract() : PluginTest(GetParam().file) {}
};

TEST_P(PluginContract, PluginInfoStrings) {
    char buffer[64];
    const char* expected[] = {"00IN", GetParam().name, GetParam().patterns};
    for (int i = 0; i < 3; ++i) {
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(plugin_.getPluginInfo(i, buffer, sizeof buffer), int32_t(strlen(expected[i])));
        EXPECT_STREQ(buffer, expected[i]);
    }
    EXPECT_GT(plugin_.getPluginInfo(3, buffer, sizeof buffer), 0);
    EXPECT_EQ(plugin_.getPluginInfo(4, buffer, sizeof buffer), 0);
    EXPECT_EQ(plugin_.getPluginInfo(-1, buffer, sizeof buffer), 0);
    // A short buffer gets what fits, never more.
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(plugin_.getPluginInfo(0, buffer, 2), 2);
    EXPECT_EQ(buffer[2], 'x');
}

TEST_P(PluginContract, IsSupportedSniffsTheSignature) {
    Bytes own = GetParam().make();
    own.resize(spi::kSniffBytes, 0);
    EXPECT_NE(plugin_.isSupported("a.bin", reinterpret_cast<uintptr_t>(own.data())), 0);
    Bytes other(spi::kSniffBytes, 0);
    std::memcpy(other.data(), "\x89PNG\r\n\x1a\n", 8);
    EXPECT_EQ(plugin_.isSupported("a.jpg", reinterpret_cast<uintptr_t>(other.data())), 0);
    // A descriptor is read from its start without moving it.
    const auto path = TempFile("sniff", GetParam().make());
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_NE(plugin_.isSupported(path.c_str(), uintptr_t(fileno(f))), 0);
    EXPECT_EQ(std::ftell(f), 0);
    std::fclose(f);
    std::filesystem::remove(path);
}

TEST_P(PluginContract, RecordIsExactly26BytesAndFilled) {
    const Bytes bytes = GetParam().make();
    uint8_t buffer[40];
    std::memset(buffer, 0xAB, sizeof buffer);
    auto* info = reinterpret_cast<SpiPictureInfo*>(buffer + 4);
    ASSERT_EQ(plugin_.Info(bytes, *info), SPI_OK);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(buffer[i], 0xAB);
    for (size_t i = 4 + 26; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], 0xAB) << "byte " << i;
    SpiPictureInfo r;
    std::memcpy(&r, info, sizeof r);
    EXPECT_EQ(+r.left, 0);
    EXPECT_EQ(+r.top, 0);
    EXPECT_EQ(+r.width, 8);
    EXPECT_EQ(+r.height, 6);
    EXPECT_EQ(+r.xDensity, 1);
    EXPECT_EQ(+r.yDensity, 1);
    EXPECT_EQ(+r.textInfo, 0u);
    // The record announces the depth GetPicture delivers.
    const Picture p = plugin_.Decode(bytes);
    ASSERT_EQ(p.rc, SPI_OK);
    EXPECT_EQ(+r.bitsPerPixel, int16_t(p.header.biBitCount));
}

TEST_P(PluginContract, PictureIsABottomUpDibInUnlockedHandles) {
    const Picture p = plugin_.Decode(GetParam().make());
    ASSERT_EQ(p.rc, SPI_OK);
    EXPECT_TRUE(p.handlesWereUnlocked);
    EXPECT_EQ(p.header.biSize, 40u);
    EXPECT_EQ(p.header.biWidth, 8);
    EXPECT_EQ(p.header.biHeight, 6); // positive: bottom-up
    EXPECT_EQ(p.header.biPlanes, 1);
    EXPECT_EQ(p.header.biCompression, 0u);
    EXPECT_EQ(p.bitsHandleBytes, p.stride() * 6);
    EXPECT_EQ(p.header.biSizeImage, p.bitsHandleBytes);
    if (p.header.biBitCount <= 8) {
        EXPECT_GT(p.header.biClrUsed, 0u);
    }
}

TEST_P(PluginContract, FileAndMemoryInputGiveTheSamePicture) {
    const Bytes bytes = GetParam().make();
    const auto path = TempFile("same", bytes);
    const Picture fromFile = plugin_.DecodeFile(path.string(), 0);
    const Picture fromMemory = plugin_.Decode(bytes);
    ASSERT_EQ(fromFile.rc, SPI_OK);
    ASSERT_EQ(fromMemory.rc, SPI_OK);
    EXPECT_EQ(fromFile.bits, fromMemory.bits);
    std::filesystem::remove(path);
}

// The program retries a failed call at offset 128 for files with a 128-byte preamble.
TEST_P(PluginContract, PictureAfter128JunkBytes) {
    Bytes bytes(128, 0x5A);
    const Bytes picture = GetParam().make();
    bytes.insert(bytes.end(), picture.begin(), picture.end());
    const auto path = TempFile("offset", bytes);
    SpiPictureInfo info{};
    EXPECT_NE(plugin_.InfoFile(path.string(), 0, info), SPI_OK);
    EXPECT_EQ(plugin_.DecodeFile(path.string(), 0).rc, SPI_NOT_SUPPORTED);
    ASSERT_EQ(plugin_.InfoFile(path.string(), 128, info), SPI_OK);
    EXPECT_EQ(+info.width, 8);
    EXPECT_EQ(plugin_.DecodeFile(path.string(), 128).rc, SPI_OK);
    if (info.textInfo) GlobalFree(info.textInfo);
    std::filesystem::remove(path);
}

struct FailureCase {
    const char* what;
    std::function<Bytes(const PluginCase&)> make;
    int32_t rc;
};

const FailureCase kFailures[] = {
    {"empty input", [](const PluginCase&) { return Bytes{}; }, SPI_FILE_READ_ERROR},
    {"cut inside the header", [](const PluginCase& c) { return Cut(c.make(), c.headerBytes - 1); },
     SPI_FILE_READ_ERROR},
    {"one byte of the signature", [](const PluginCase& c) { return Cut(c.make(), 1); },
     SPI_FILE_READ_ERROR},
    {"a PNG",
     [](const PluginCase&) {
         return Bytes{0x89, 'P', 'N', 'G', 13,  10, 26, 10, 0, 0, 0,
                      13,   'I', 'H', 'D', 'R', 0,  0,  0,  1, 0, 0};
     },
     SPI_NOT_SUPPORTED},
    {"text", [](const PluginCase&) { return Bytes(300, 'a'); }, SPI_NOT_SUPPORTED},
    {"huge header in a small file", [](const PluginCase& c) { return c.makeHuge(); },
     SPI_NO_MEMORY},
};

TEST_P(PluginContract, FailuresHaveTheirCodesAndDeliverNothing) {
    for (const FailureCase& f : kFailures) {
        SCOPED_TRACE(f.what);
        const Bytes bytes = f.make(GetParam());
        ASSERT_LT(bytes.size(), 1u << 20);
        SpiPictureInfo info{};
        info.textInfo = 0;
        EXPECT_EQ(plugin_.Info(bytes, info), f.rc);
        HGLOBAL32 bi = 0, bits = 0;
        EXPECT_EQ(plugin_.getPicture(reinterpret_cast<const char*>(bytes.data()),
                                     int32_t(bytes.size()), SPI_INPUT_MEMORY, &bi, &bits, nullptr,
                                     0),
                  f.rc);
        EXPECT_EQ(bi, 0u);
        EXPECT_EQ(bits, 0u);
    }
}

// Captures what is written to standard output and error while it lives.
class OutputCapture {
public:
    OutputCapture() {
        std::fflush(stdout);
        std::fflush(stderr);
        file_ = std::tmpfile();
        savedOut_ = dup(1);
        savedErr_ = dup(2);
        dup2(fileno(file_), 1);
        dup2(fileno(file_), 2);
    }
    ~OutputCapture() { Restore(); }
    std::string Restore() {
        if (!file_) return {};
        std::fflush(stdout);
        std::fflush(stderr);
        dup2(savedOut_, 1);
        dup2(savedErr_, 2);
        close(savedOut_);
        close(savedErr_);
        std::string text;
        std::rewind(file_);
        for (int c; (c = std::fgetc(file_)) != EOF;)
            text += char(c);
        std::fclose(file_);
        file_ = nullptr;
        return text;
    }

private:
    FILE* file_ = nullptr;
    int savedOut_ = -1, savedErr_ = -1;
};

TEST_P(PluginContract, DecodersPrintNothing) {
    const Bytes whole = GetParam().make();
    std::vector<Bytes> inputs;
    for (const FailureCase& f : kFailures)
        inputs.push_back(f.make(GetParam()));
    for (size_t cut = 1; cut < whole.size(); cut += 7)
        inputs.push_back(Cut(whole, cut));
    Bytes scrambled = whole;
    for (size_t i = GetParam().headerBytes; i < scrambled.size(); i += 3)
        scrambled[i] ^= 0x5A;
    inputs.push_back(scrambled);
    OutputCapture capture;
    for (const Bytes& b : inputs) {
        SpiPictureInfo info{};
        if (plugin_.Info(b, info) == SPI_OK && info.textInfo) GlobalFree(info.textInfo);
        plugin_.Decode(b);
    }
    EXPECT_EQ(capture.Restore(), "");
}

TEST_P(PluginContract, MissingFileAndBadArguments) {
    SpiPictureInfo info{};
    EXPECT_EQ(plugin_.InfoFile("/nonexistent/zorvane/a.pic", 0, info), SPI_FILE_READ_ERROR);
    EXPECT_EQ(plugin_.DecodeFile("/nonexistent/zorvane/a.pic", 0).rc, SPI_FILE_READ_ERROR);
    const auto path = TempFile("short", GetParam().make());
    EXPECT_EQ(plugin_.DecodeFile(path.string(), 1 << 30).rc, SPI_FILE_READ_ERROR); // past the end
    std::filesystem::remove(path);
    const auto empty = TempFile("empty", {});
    EXPECT_EQ(plugin_.InfoFile(empty.string(), 0, info), SPI_FILE_READ_ERROR);
    EXPECT_EQ(plugin_.DecodeFile(empty.string(), 0).rc, SPI_FILE_READ_ERROR);
    std::filesystem::remove(empty);
    const Bytes bytes = GetParam().make();
    EXPECT_EQ(plugin_.getPictureInfo(reinterpret_cast<const char*>(bytes.data()),
                                     int32_t(bytes.size()), 5, &info),
              SPI_NOT_SUPPORTED); // unknown input kind
}

int32_t StopAtOnce(int32_t, int32_t, int32_t) {
    return 1;
}

TEST_P(PluginContract, ProgressCallbackCanStop) {
    const Bytes bytes = GetParam().make();
    HGLOBAL32 bi = 0, bits = 0;
    EXPECT_EQ(plugin_.getPicture(reinterpret_cast<const char*>(bytes.data()), int32_t(bytes.size()),
                                 SPI_INPUT_MEMORY, &bi, &bits, StopAtOnce, 0),
              SPI_ABORTED);
    EXPECT_EQ(bi, 0u);
}

INSTANTIATE_TEST_SUITE_P(Plugins, PluginContract, ::testing::ValuesIn(kPlugins),
                         [](const auto& info) {
                             std::string n = info.param.file;
                             return n.substr(0, n.find('.'));
                         });

} // namespace
} // namespace jgt
