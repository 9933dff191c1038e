// The JPEG plug-in: preview sizes, colour spaces, comments, densities, cut and broken files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/plugins_jgt/fixtures.h"
#include "tests/plugins_jgt/plugin_host.h"
#include "tests/support/plugin_test.h"

namespace jgt {
namespace {

class JpegPlugin : public testsupport::PluginTest<Plugin> {
protected:
    JpegPlugin() : PluginTest("ifjpeg.spi") {}
};

void ExpectNear(uint32_t actual, Colour expected, int tolerance, const std::string& where) {
    const int r = int(actual >> 16 & 255), g = int(actual >> 8 & 255), b = int(actual & 255);
    EXPECT_LE(std::abs(r - expected.r), tolerance) << where << " red " << r;
    EXPECT_LE(std::abs(g - expected.g), tolerance) << where << " green " << g;
    EXPECT_LE(std::abs(b - expected.b), tolerance) << where << " blue " << b;
}

size_t FindMarker(const Bytes& b, uint8_t marker) {
    for (size_t i = 2; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == marker) return i;
    return std::string::npos;
}

TEST_F(JpegPlugin, PreviewIsAQuarterRoundedUp) {
    struct Case {
        int width, height, previewWidth, previewHeight;
    } cases[] = {{641, 481, 161, 121}, {640, 480, 160, 120}, {1, 1, 1, 1},
                 {3, 5, 1, 2},         {7, 9, 2, 3},         {17, 13, 5, 4}};
    for (const Case& c : cases) {
        for (bool progressive : {false, true}) {
            SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) +
                         (progressive ? " progressive" : ""));
            JpegSpec s;
            s.width = c.width;
            s.height = c.height;
            s.progressive = progressive;
            const Bytes bytes = MakeJpeg(s);
            SpiPictureInfo info{};
            ASSERT_EQ(plugin_.Info(bytes, info), SPI_OK);
            EXPECT_EQ(+info.width, c.width);
            EXPECT_EQ(+info.height, c.height);
            const Picture p = plugin_.Preview(bytes);
            ASSERT_EQ(p.rc, SPI_OK);
            EXPECT_EQ(p.width(), c.previewWidth);
            EXPECT_EQ(p.height(), c.previewHeight);
            EXPECT_EQ(p.bitsHandleBytes, p.stride() * size_t(c.previewHeight));
            ExpectNear(p.Bgr(p.width() - 1, p.height() - 1), s.fill, 4, "last pixel");
        }
    }
}

TEST_F(JpegPlugin, ColourSpacesBecomeBgr) {
    struct Case {
        const char* what;
        JpegColour colour;
        bool adobe;
        uint8_t ink[4];
        Colour expected;
    } cases[] = {
        {"RGB", JpegColour::Rgb, false, {}, {200, 100, 50}},
        {"CMYK, Adobe inverted", JpegColour::Cmyk, true, {0, 255, 255, 0}, {255, 0, 0}},
        {"CMYK, Adobe inverted, with black",
         JpegColour::Cmyk,
         true,
         {0, 0, 255, 128},
         {127, 127, 0}},
        {"CMYK, plain", JpegColour::Cmyk, false, {255, 0, 255, 0}, {0, 255, 0}},
        {"YCCK", JpegColour::Ycck, true, {255, 255, 0, 0}, {0, 0, 255}},
        {"YCCK, grey ink", JpegColour::Ycck, true, {0, 0, 0, 64}, {191, 191, 191}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        JpegSpec s;
        s.colour = c.colour;
        s.adobeMarker = c.adobe;
        std::memcpy(s.ink, c.ink, 4);
        const Picture p = plugin_.Decode(MakeJpeg(s));
        ASSERT_EQ(p.rc, SPI_OK);
        EXPECT_EQ(p.header.biBitCount, 24);
        ExpectNear(p.Bgr(3, 5), c.expected, 3, "pixel");
    }
}

TEST_F(JpegPlugin, GreyIsEightBitWithAGreyTable) {
    JpegSpec s;
    s.colour = JpegColour::Grey;
    s.fill = {0, 77, 0};
    const Bytes bytes = MakeJpeg(s);
    const Picture p = plugin_.Decode(bytes);
    ASSERT_EQ(p.rc, SPI_OK);
    EXPECT_EQ(p.header.biBitCount, 8);
    ASSERT_EQ(p.palette.size(), 256u);
    for (unsigned i : {0u, 77u, 255u}) {
        EXPECT_EQ(p.palette[i].rgbRed, i);
        EXPECT_EQ(p.palette[i].rgbGreen, i);
        EXPECT_EQ(p.palette[i].rgbBlue, i);
    }
    EXPECT_NEAR(int(p.Index(5, 5)), 77, 1);
    SpiPictureInfo info{};
    ASSERT_EQ(plugin_.Info(bytes, info), SPI_OK);
    EXPECT_EQ(+info.bitsPerPixel, 8);
    const Picture preview = plugin_.Preview(bytes);
    ASSERT_EQ(preview.rc, SPI_OK);
    EXPECT_EQ(preview.header.biBitCount, 8);
}

std::string TextOf(HGLOBAL32 h) {
    if (!h) return "(none)";
    const auto* p = static_cast<const char*>(GlobalLock(h));
    std::string text = p ? std::string(p, strnlen(p, GlobalSize(h))) : "(unlockable)";
    EXPECT_EQ(GlobalUnlock(h), 0);
    GlobalFree(h);
    return text;
}

TEST_F(JpegPlugin, CommentsGoIntoTheTextInformation) {
    struct Case {
        std::vector<std::string> comments;
        std::string expected;
    } cases[] = {
        {{}, "(none)"},
        {{"hello"}, "hello"},
        {{"first", "second"}, "first\nsecond"},
        {{std::string("zero-ended\0", 11)}, "zero-ended"},
        {{std::string(60000, 'c')}, std::string(60000, 'c')},
        {{""}, "(none)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.substr(0, 20));
        JpegSpec s;
        s.comments = c.comments;
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(MakeJpeg(s), info), SPI_OK);
        EXPECT_EQ(TextOf(+info.textInfo), c.expected);
    }
}

TEST_F(JpegPlugin, DensitiesKeepANonSquareAspect) {
    struct Case {
        bool jfif;
        uint8_t unit;
        uint16_t x, y, expectX, expectY;
    } cases[] = {
        {true, 1, 72, 72, 1, 1},     {true, 1, 300, 150, 2, 1}, {true, 2, 100, 200, 1, 2},
        {true, 0, 1, 2, 1, 2},       {true, 1, 0, 300, 1, 1},   {false, 0, 0, 0, 1, 1},
        {true, 1, 204, 98, 102, 49},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ":" + std::to_string(c.y));
        JpegSpec s;
        s.jfif = c.jfif;
        s.densityUnit = c.unit;
        s.xDensity = c.x;
        s.yDensity = c.y;
        SpiPictureInfo info{};
        ASSERT_EQ(plugin_.Info(MakeJpeg(s), info), SPI_OK);
        EXPECT_EQ(+info.xDensity, c.expectX);
        EXPECT_EQ(+info.yDensity, c.expectY);
    }
}

TEST_F(JpegPlugin, FileCutInsideThePictureDataShowsWhatItHas) {
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        JpegSpec s;
        s.width = 64;
        s.height = 64;
        s.fill = {10, 200, 30};
        s.progressive = progressive;
        const Bytes whole = MakeJpeg(s);
        const size_t sos = FindMarker(whole, 0xDA);
        ASSERT_NE(sos, std::string::npos);
        for (size_t cut : {sos + 20, (sos + whole.size()) / 2, whole.size() - 2}) {
            SCOPED_TRACE(cut);
            const Picture p = plugin_.Decode(Cut(whole, cut));
            ASSERT_EQ(p.rc, SPI_OK);
            EXPECT_EQ(p.width(), 64);
            EXPECT_EQ(p.height(), 64);
            // The first rows' data is there once half the scan is.
            if (cut > sos + 20) ExpectNear(p.Bgr(0, 0), s.fill, 12, "first pixel");
        }
    }
}

TEST_F(JpegPlugin, HeaderFailures) {
    JpegSpec s;
    const Bytes whole = MakeJpeg(s);
    const size_t sof = FindMarker(whole, 0xC0);
    const size_t sos = FindMarker(whole, 0xDA);
    Bytes zeroHeight = whole;
    zeroHeight[sof + 5] = zeroHeight[sof + 6] = 0;
    Bytes badMarker = whole;
    badMarker[sof + 1] = 0x01; // a marker that cannot stand there
    Bytes twelveBit = whole;
    twelveBit[sof + 4] = 12;
    struct Case {
        const char* what;
        Bytes bytes;
        int32_t rc;
    } cases[] = {
        {"SOI only", Cut(whole, 2), SPI_FILE_READ_ERROR},
        {"cut before the scan", Cut(whole, sos), SPI_FILE_READ_ERROR},
        {"zero height", zeroHeight, SPI_BROKEN_DATA},
        {"invalid marker", badMarker, SPI_BROKEN_DATA},
        {"12-bit samples", twelveBit, SPI_BROKEN_DATA},
        {"not a JPEG", Bytes{0xFF, 0xD9, 0, 0}, SPI_NOT_SUPPORTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpiPictureInfo info{};
        EXPECT_EQ(plugin_.Info(c.bytes, info), c.rc);
        EXPECT_EQ(plugin_.Decode(c.bytes).rc, c.rc);
        EXPECT_EQ(plugin_.Preview(c.bytes).rc, c.rc);
    }
}

TEST_F(JpegPlugin, PreviewFromFileAtAnOffset) {
    JpegSpec s;
    s.width = 641;
    s.height = 481;
    Bytes bytes(128, 0);
    const Bytes jpeg = MakeJpeg(s);
    bytes.insert(bytes.end(), jpeg.begin(), jpeg.end());
    const auto path = TempFile("preview128.jpg", bytes);
    EXPECT_EQ(plugin_.PreviewFile(path.string(), 0).rc, SPI_NOT_SUPPORTED);
    const Picture p = plugin_.PreviewFile(path.string(), 128);
    ASSERT_EQ(p.rc, SPI_OK);
    EXPECT_EQ(p.width(), 161);
    EXPECT_EQ(p.height(), 121);
    std::filesystem::remove(path);
}

} // namespace
} // namespace jgt
