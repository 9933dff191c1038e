// The BMP reader on small hand-made files: truncation against invalid content, size limits,
// run-length escapes, pixel-data offsets, header variants, alpha and embedded pictures.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <functional>
#include <string>

#include "tests/imageio/bmp_builder.h"
#include "vcl/graphics/bmp_reader.h"

namespace {

using namespace imageio_test;
using vcl::imageio::ReadBmp;
using vcl::imageio::ReadStatus;

constexpr uint32_t C0 = 0x102030, C1 = 0x405060, C2 = 0x708090, C3 = 0xA0B0C0;
constexpr QRgb Opaque(uint32_t rgb) {
    return 0xFF000000u | rgb;
}

const char* Name(ReadStatus s) {
    return s == ReadStatus::Ok ? "Ok" : s == ReadStatus::Truncated ? "Truncated" : "Invalid";
}

// 4 x 2, 8 bits, four colours; bottom row 0 1 2 3, top row 3 2 1 0.
DibSpec Base8() {
    return {.width = 4, .height = 2, .bpp = 8, .clrUsed = 4};
}
Bytes Base8File() {
    return BmpFile(Base8(), Quads({C0, C1, C2, C3}), {0, 1, 2, 3, 3, 2, 1, 0});
}

void ExpectRow(const QImage& image, int y, std::vector<QRgb> expected) {
    ASSERT_EQ(image.width(), int(expected.size()));
    for (int x = 0; x < image.width(); ++x)
        EXPECT_EQ(image.pixel(x, y), expected[x]) << "x=" << x << " y=" << y;
}

TEST(ReadBmp, ReadsAPlainFile) {
    QImage image;
    ASSERT_EQ(ReadBmp(Base8File(), image), ReadStatus::Ok);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    ExpectRow(image, 0, {Opaque(C3), Opaque(C2), Opaque(C1), Opaque(C0)});
    ExpectRow(image, 1, {Opaque(C0), Opaque(C1), Opaque(C2), Opaque(C3)});
}

TEST(ReadBmp, FilesCutShortAreTruncated) {
    const Bytes whole = Base8File(); // 14 + 40 + 16 colours + 8 pixels
    for (const size_t length : {0, 1, 10, 14, 17, 30, 53, 54, 62, 70, 73, 77}) {
        SCOPED_TRACE(length);
        const Bytes cut(whole.begin(), whole.begin() + length);
        QImage image(1, 1, QImage::Format_RGB32);
        std::string reason;
        EXPECT_STREQ(Name(ReadBmp(cut, image, &reason)), "Truncated");
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(image.size(), QSize(1, 1)) << "the output is left alone";
    }
}

TEST(ReadBmp, TheLastRowNeedsNoPadding) {
    // 24 bits, 1 x 2: the rows are 3 bytes padded to 4; the file stops after the last pixel.
    const Bytes file = BmpFile({.width = 1, .height = 2}, {}, {1, 2, 3, 0, 4, 5, 6});
    QImage image;
    ASSERT_EQ(ReadBmp(file, image), ReadStatus::Ok);
    EXPECT_EQ(image.pixel(0, 0), Opaque(0x060504));
}

TEST(ReadBmp, InvalidContentIsRejectedBeforeAllocating) {
    using Mutate = std::function<void(DibSpec&)>;
    struct Case {
        std::string name;
        Mutate mutate;
    } cases[] = {
        {"header size 8", [](DibSpec& s) { s.size = 8; }},
        {"header size 13", [](DibSpec& s) { s.size = 13; }},
        {"7 bits per pixel", [](DibSpec& s) { s.bpp = 7; }},
        {"0 bits per pixel", [](DibSpec& s) { s.bpp = 0; }},
        {"2 planes", [](DibSpec& s) { s.planes = 2; }},
        {"compression 9", [](DibSpec& s) { s.compression = 9; }},
        {"width 0", [](DibSpec& s) { s.width = 0; }},
        {"negative width", [](DibSpec& s) { s.width = -4; }},
        {"height 0", [](DibSpec& s) { s.height = 0; }},
        {"RLE8 on 24 bits", [](DibSpec& s) { s.bpp = 24, s.compression = 1; }},
        {"RLE4 on 8 bits", [](DibSpec& s) { s.compression = 2; }},
        {"top-down RLE8", [](DibSpec& s) { s.height = -2, s.compression = 1; }},
        {"bitfields on 8 bits", [](DibSpec& s) { s.compression = 3; }},
        {"100000 x 100000", [](DibSpec& s) { s.width = 100000, s.height = 100000; }},
        {"40000 x 1", [](DibSpec& s) { s.width = 40000, s.height = 1; }},
        {"1 x -40000", [](DibSpec& s) { s.width = 1, s.height = -40000; }},
        {"20000 x 20000 RLE8",
         [](DibSpec& s) { s.width = 20000, s.height = 20000, s.compression = 1; }},
        {"70000 colours", [](DibSpec& s) { s.clrUsed = 70000; }},
        {"bitfield mask with a gap",
         [](DibSpec& s) {
             s.size = 56, s.bpp = 16, s.compression = 3, s.masks = {0xF00F, 0x7E0, 0x1F};
         }},
        {"OS/2 Huffman", [](DibSpec& s) { s.size = 64, s.bpp = 1, s.compression = 3; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DibSpec spec = Base8();
        c.mutate(spec);
        const Bytes file = BmpFile(spec, Quads({C0, C1, C2, C3}), Bytes(64, 0));
        QImage image;
        std::string reason;
        EXPECT_STREQ(Name(ReadBmp(file, image, &reason)), "Invalid");
        EXPECT_FALSE(reason.empty());
    }

    for (const Bytes& garbage : {Bytes{'G', 'I', 'F', '8', '9', 'a'}, Bytes{'X'}, Bytes(100, 0xAB),
                                 Bytes{'B', 'A', 0, 0}}) {
        QImage image;
        EXPECT_STREQ(Name(ReadBmp(garbage, image)), "Invalid");
    }
}

// 6 x 3, RLE8, four colours. Every escape: runs, an odd literal (padded), end of line, a delta
// and the end of the picture; skipped pixels keep index 0.
TEST(ReadBmp, RunLengthEscapes) {
    const Bytes rle8 = {
        3, 1, 0, 3, 2, 3, 1, 0, // bottom row: 1 1 1 2 3 1
        0, 0,                   // end of line
        2, 2, 0, 2, 2, 1,       // 2 2, then 2 right and 1 up
        2, 3, 0, 1,             // 3 3 at the right of the top row, end of picture
    };
    QImage image;
    DibSpec spec{.width = 6, .height = 3, .bpp = 8, .compression = 1, .clrUsed = 4};
    ASSERT_EQ(ReadBmp(BmpFile(spec, Quads({C0, C1, C2, C3}), rle8), image), ReadStatus::Ok);
    const QRgb a = Opaque(C0), b = Opaque(C1), c = Opaque(C2), d = Opaque(C3);
    ExpectRow(image, 0, {a, a, a, a, d, d});
    ExpectRow(image, 1, {c, c, a, a, a, a});
    ExpectRow(image, 2, {b, b, b, c, d, b});

    // RLE4: a run alternates its two nibbles; a literal of 5 nibbles takes 3 bytes plus a pad.
    const Bytes rle4 = {5, 0x12, 0, 0, 0, 5, 0x32, 0x10, 0x30, 0, 0, 1};
    DibSpec spec4{.width = 5, .height = 2, .bpp = 4, .compression = 2, .clrUsed = 4};
    ASSERT_EQ(ReadBmp(BmpFile(spec4, Quads({C0, C1, C2, C3}), rle4), image), ReadStatus::Ok);
    ExpectRow(image, 0, {d, c, b, a, d});
    ExpectRow(image, 1, {b, c, b, c, b});
}

TEST(ReadBmp, RunLengthOverrunsAndEarlyEnds) {
    DibSpec spec{.width = 3, .height = 2, .bpp = 8, .compression = 1, .clrUsed = 4};
    const Bytes palette = Quads({C0, C1, C2, C3});
    const QRgb a = Opaque(C0), b = Opaque(C1), c = Opaque(C2);
    QImage image;

    // A run longer than its row is cut at the row's end; it does not spill into the next row.
    ASSERT_EQ(ReadBmp(BmpFile(spec, palette, {8, 1, 0, 0, 1, 2, 0, 1}), image), ReadStatus::Ok);
    ExpectRow(image, 1, {b, b, b});
    ExpectRow(image, 0, {c, a, a});

    // The last end of line may stand in for the end of the picture.
    EXPECT_EQ(ReadBmp(BmpFile(spec, palette, {3, 1, 0, 0, 3, 2, 0, 0}), image), ReadStatus::Ok);
    // A delta beyond the picture ends it.
    EXPECT_EQ(ReadBmp(BmpFile(spec, palette, {0, 2, 0, 9}), image), ReadStatus::Ok);

    const Bytes cut[] = {{3, 1}, {3, 1, 0, 0, 3}, {0, 4, 1, 2}, {0, 2, 1}, {}};
    for (const Bytes& stream : cut) {
        SCOPED_TRACE(stream.size());
        EXPECT_STREQ(Name(ReadBmp(BmpFile(spec, palette, stream), image)), "Truncated");
    }
}

TEST(ReadBmp, PixelDataOffsets) {
    const DibSpec rgb{.width = 2, .height = 1};
    const Bytes pixels = {1, 2, 3, 4, 5, 6, 0, 0};
    struct Case {
        std::string name;
        Bytes file;
        ReadStatus status;
        QRgb first;
    } cases[] = {
        {"offset 0 points into the header: data after the table", BmpFile(rgb, {}, pixels, 0),
         ReadStatus::Ok, Opaque(0x030201)},
        {"offset beyond the file: data after the table", BmpFile(rgb, {}, pixels, 5000),
         ReadStatus::Ok, Opaque(0x030201)},
        {"offset beyond the file and too little data", BmpFile(rgb, {}, {1, 2, 3}, 5000),
         ReadStatus::Truncated, 0},
        {"a gap before the data", BmpFile(rgb, {9, 9, 9, 9}, pixels, 58), ReadStatus::Ok,
         Opaque(0x030201)},
        {"offset inside the file, data short from there", BmpFile(rgb, {}, pixels, 60),
         ReadStatus::Truncated, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image;
        ASSERT_STREQ(Name(ReadBmp(c.file, image)), Name(c.status));
        if (c.status == ReadStatus::Ok) {
            EXPECT_EQ(image.pixel(0, 0), c.first);
        }
    }

    // Pixel data that begins inside the declared colour table cuts the table: the colours
    // it leaves out are black.
    QImage image;
    const Bytes cutTable =
        BmpFile({.width = 3, .height = 1, .bpp = 8}, Quads({C1, C2}), {0, 1, 2, 0});
    ASSERT_EQ(ReadBmp(cutTable, image), ReadStatus::Ok);
    ExpectRow(image, 0, {Opaque(C1), Opaque(C2), Opaque(0)});
}

TEST(ReadBmp, HeaderVariants) {
    struct Case {
        std::string name;
        Bytes file;
        std::vector<QRgb> row; // the top row
    } cases[] = {
        {"core header, 3-byte colours",
         BmpFile({.size = 12, .width = 3, .height = 1, .bpp = 1},
                 {0x30, 0x20, 0x10, 0xC0, 0xB0, 0xA0}, {0x40, 0, 0, 0}),
         {Opaque(0x102030), Opaque(0xA0B0C0), Opaque(0x102030)}},
        {"16-byte OS/2 header",
         BmpFile({.size = 16, .width = 1, .height = 1}, {}, {1, 2, 3, 0}),
         {Opaque(0x030201)}},
        {"64-byte OS/2 header",
         BmpFile({.size = 64, .width = 1, .height = 1}, {}, {1, 2, 3, 0}),
         {Opaque(0x030201)}},
        {"V4 header, 16 bits without bitfields is 5-5-5",
         BmpFile({.size = 108, .width = 1, .height = 1, .bpp = 16, .masks = {0xF800, 0x7E0, 0x1F}},
                 {}, {0x1F, 0x7C, 0, 0}),
         {Opaque(0xFF00FF)}},
        {"40-byte header with masks after it",
         BmpFile({.width = 1, .height = 1, .bpp = 16, .compression = 3},
                 Words({0xF800, 0x7E0, 0x1F}), {0x1F, 0x00, 0, 0}),
         {Opaque(0x0000FF)}},
        {"2 bits per pixel",
         BmpFile({.width = 4, .height = 1, .bpp = 2}, Quads({C0, C1, C2, C3}), {0x1B, 0, 0, 0}),
         {Opaque(C0), Opaque(C1), Opaque(C2), Opaque(C3)}},
        {"top-down",
         BmpFile({.width = 1, .height = -2}, {}, {1, 2, 3, 0, 4, 5, 6, 0}),
         {Opaque(0x030201)}},
        {"unknown 66-byte header read as its first 40 bytes",
         BmpFile({.size = 66, .width = 1, .height = 1}, {}, {1, 2, 3, 0}),
         {Opaque(0x030201)}},
        {"colour table longer than the depth",
         BmpFile({.width = 1, .height = 1, .bpp = 1, .clrUsed = 3}, Quads({C0, C1, C2}),
                 {0x80, 0, 0, 0}),
         {Opaque(C1)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image;
        std::string reason;
        ASSERT_EQ(ReadBmp(c.file, image, &reason), ReadStatus::Ok) << reason;
        ExpectRow(image, 0, c.row);
    }
}

TEST(ReadBmp, TransparencyOnlyFromAnAlphaMask) {
    const std::vector<uint32_t> argb = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    struct Case {
        std::string name;
        Bytes file;
        QImage::Format format;
        QRgb pixel;
    } cases[] = {
        {"32-bit BI_RGB: the fourth byte is reserved",
         BmpFile({.width = 1, .height = 1, .bpp = 32}, {}, {1, 2, 3, 0x80}), QImage::Format_RGB32,
         Opaque(0x030201)},
        {"V5 alpha mask",
         BmpFile({.size = 124, .bpp = 32, .compression = 3, .masks = argb}, {}, {1, 2, 3, 0x80}),
         QImage::Format_ARGB32, 0x80030201},
        {"V5 alpha mask, every alpha 0: opaque",
         BmpFile({.size = 124, .bpp = 32, .compression = 3, .masks = argb}, {}, {1, 2, 3, 0}),
         QImage::Format_RGB32, Opaque(0x030201)},
        {"four masks after a 40-byte header",
         BmpFile({.bpp = 32, .compression = 6}, Words({0xFF0000, 0xFF00, 0xFF, 0xFF000000}),
                 {1, 2, 3, 0x40}),
         QImage::Format_ARGB32, 0x40030201},
        {"16-bit 4-4-4-4",
         BmpFile({.size = 56, .bpp = 16, .compression = 3, .masks = {0xF00, 0xF0, 0xF, 0xF000}}, {},
                 {0x23, 0x81, 0, 0}),
         QImage::Format_ARGB32, 0x88112233},
        {"V5 alpha mask, every alpha 255",
         BmpFile({.size = 124, .bpp = 32, .compression = 3, .masks = argb}, {}, {1, 2, 3, 0xFF}),
         QImage::Format_RGB32, Opaque(0x030201)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image;
        ASSERT_EQ(ReadBmp(c.file, image), ReadStatus::Ok);
        EXPECT_EQ(image.format(), c.format);
        EXPECT_EQ(image.pixel(0, 0), c.pixel);
    }
}

QtMessageHandler g_outerHandler = nullptr;
int g_messages = 0;
void CountMessage(QtMsgType, const QMessageLogContext&, const QString&) {
    ++g_messages;
}

TEST(ReadBmp, EmbeddedPngAndJpeg) {
    QImage source(2, 2, QImage::Format_ARGB32);
    source.fill(0xFF336699);
    source.setPixel(1, 0, 0x00000000);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(source.save(&buffer, "PNG"));
    const Bytes pngBytes(png.begin(), png.end());

    QImage image;
    const DibSpec spec{.size = 124, .width = 2, .height = 2, .bpp = 0, .compression = 5};
    ASSERT_EQ(ReadBmp(BmpFile(spec, {}, pngBytes), image), ReadStatus::Ok);
    EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(image.pixel(0, 0), 0xFF336699u);
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0);

    // Broken embedded data is invalid, and the decoders say nothing about it, neither on Qt's
    // log nor on stderr.
    g_messages = 0;
    g_outerHandler = qInstallMessageHandler(CountMessage);
    ::testing::internal::CaptureStderr();
    Bytes broken = pngBytes;
    broken.resize(broken.size() / 2);
    std::string reason;
    const ReadStatus brokenPng = ReadBmp(BmpFile(spec, {}, broken), image, &reason);
    DibSpec jpeg = spec;
    jpeg.compression = 4;
    const ReadStatus brokenJpeg = ReadBmp(BmpFile(jpeg, {}, {0xFF, 0xD8, 0xFF, 0xE0, 1, 2}), image);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    qInstallMessageHandler(g_outerHandler);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(brokenPng, ReadStatus::Invalid) << reason;
    EXPECT_EQ(brokenJpeg, ReadStatus::Invalid);
    EXPECT_EQ(g_messages, 0);
    EXPECT_STREQ(Name(ReadBmp(BmpFile(spec, {}, {}), image)), "Truncated");
}

} // namespace
