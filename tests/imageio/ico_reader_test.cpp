// The icon and cursor reader on hand-made files: the directory, which entry is shown, the AND
// mask and the 32-bit alpha rule, PNG entries, and cut or invalid files.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <string>

#include "tests/imageio/bmp_builder.h"
#include "vcl/graphics/ico_reader.h"

namespace {

using namespace imageio_test;
using vcl::imageio::IcoEntryCount;
using vcl::imageio::ReadIco;
using vcl::imageio::ReadIcoEntry;
using vcl::imageio::ReadStatus;

const char* Name(ReadStatus s) {
    return s == ReadStatus::Ok ? "Ok" : s == ReadStatus::Truncated ? "Truncated" : "Invalid";
}

// A square BMP entry of `side` pixels: every colour pixel `pixel` (bytes of one pixel, repeated),
// the AND mask with the bottom-left pixel set when `maskCorner`.
Bytes BmpEntry(int side, uint16_t bpp, const Bytes& pixel, bool maskCorner,
               const Bytes& palette = {}) {
    Bytes b = InfoHeader({.width = side, .height = 2 * side, .bpp = bpp});
    Append(b, palette);
    const size_t stride = (size_t(side) * bpp + 31) / 32 * 4;
    for (int y = 0; y < side; ++y) {
        Bytes row;
        if (bpp >= 8)
            for (int x = 0; x < side; ++x)
                Append(row, pixel);
        else
            row.assign((size_t(side) * bpp + 7) / 8, pixel[0]);
        row.resize(stride, 0);
        Append(b, row);
    }
    const size_t maskStride = (size_t(side) + 31) / 32 * 4;
    for (int y = 0; y < side; ++y) {
        Bytes row(maskStride, 0);
        if (y == 0 && maskCorner) row[0] = 0x80;
        Append(b, row);
    }
    return b;
}

Bytes PngEntry(int side, QRgb colour) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Bytes(png.begin(), png.end());
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A valid PNG whose header then claims `width` x `height` (its CRC made to match).
Bytes PngClaiming(uint32_t width, uint32_t height) {
    Bytes png = PngEntry(1, 0xFF000000);
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = uint8_t(width >> (24 - 8 * i));
        png[20 + i] = uint8_t(height >> (24 - 8 * i));
    }
    const uint32_t crc = Crc32(png.data() + 12, 4 + 13);
    for (int i = 0; i < 4; ++i)
        png[29 + i] = uint8_t(crc >> (24 - 8 * i));
    return png;
}

// The directory's own sizes and depths are left 0, as many writers do.
Bytes IcoFile(const std::vector<Bytes>& entries, uint16_t type = 1) {
    Bytes b;
    Put16(b, 0);
    Put16(b, type);
    Put16(b, uint16_t(entries.size()));
    uint32_t offset = uint32_t(6 + 16 * entries.size());
    for (const Bytes& e : entries) {
        b.insert(b.end(), {0, 0, 0, 0});
        Put16(b, 0);
        Put16(b, 0);
        Put32(b, uint32_t(e.size()));
        Put32(b, offset);
        offset += uint32_t(e.size());
    }
    for (const Bytes& e : entries)
        Append(b, e);
    return b;
}

const Bytes kBlue24 = {0xFF, 0, 0};
const Bytes kGrey = Quads({0x000000, 0x808080});

TEST(ReadIco, ShowsTheLargestThenDeepestEntry) {
    const Bytes file = IcoFile({
        BmpEntry(16, 32, {1, 2, 3, 0xFF}, false),
        BmpEntry(32, 1, {0xFF}, false, kGrey),
        BmpEntry(32, 24, kBlue24, false),
        BmpEntry(32, 24, {0, 0xFF, 0}, false), // as large and deep: the earlier one wins
        BmpEntry(8, 32, {1, 2, 3, 0xFF}, false),
    });
    ASSERT_EQ(IcoEntryCount(file), 5u);
    QImage image;
    ASSERT_EQ(ReadIco(file, image), ReadStatus::Ok);
    EXPECT_EQ(image.size(), QSize(32, 32));
    EXPECT_EQ(image.pixel(5, 5), 0xFF0000FFu);

    ASSERT_EQ(ReadIcoEntry(file, 0, image), ReadStatus::Ok);
    EXPECT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(ReadIcoEntry(file, 5, image), ReadStatus::Invalid);

    // A PNG entry competes by its own header's size.
    const Bytes withPng = IcoFile({BmpEntry(16, 24, kBlue24, false), PngEntry(48, 0x80FF0000)});
    ASSERT_EQ(ReadIco(withPng, image), ReadStatus::Ok);
    EXPECT_EQ(image.size(), QSize(48, 48));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(image.pixel(0, 0), 0x80FF0000u);
}

TEST(ReadIco, FallsBackWhenTheBestEntryIsBroken) {
    Bytes broken = BmpEntry(64, 24, kBlue24, false);
    broken[14] = 7; // bits per pixel
    const Bytes file = IcoFile({BmpEntry(16, 24, {0, 0xFF, 0}, false), broken});
    QImage image;
    ASSERT_EQ(ReadIco(file, image), ReadStatus::Ok);
    EXPECT_EQ(image.size(), QSize(16, 16));

    // With nothing readable the best entry's failure is reported.
    std::string reason;
    EXPECT_EQ(ReadIco(IcoFile({broken}), image, &reason), ReadStatus::Invalid);
    EXPECT_FALSE(reason.empty());
}

TEST(ReadIco, MaskAndAlpha) {
    struct Case {
        std::string name;
        Bytes entry;
        QImage::Format format;
        QRgb corner, inside; // bottom-left pixel, and one elsewhere
    } cases[] = {
        {"24 bits, masked corner", BmpEntry(4, 24, kBlue24, true), QImage::Format_ARGB32, 0,
         0xFF0000FF},
        {"24 bits, empty mask", BmpEntry(4, 24, kBlue24, false), QImage::Format_RGB32, 0xFF0000FF,
         0xFF0000FF},
        {"1 bit, masked corner", BmpEntry(4, 1, {0xFF}, true, kGrey), QImage::Format_ARGB32, 0,
         0xFF808080},
        {"32 bits with alpha: the mask is ignored", BmpEntry(4, 32, {0xFF, 0, 0, 0x40}, true),
         QImage::Format_ARGB32, 0x400000FF, 0x400000FF},
        {"32 bits, every alpha 0: the mask decides", BmpEntry(4, 32, {0xFF, 0, 0, 0}, true),
         QImage::Format_ARGB32, 0, 0xFF0000FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image;
        ASSERT_EQ(ReadIco(IcoFile({c.entry}), image), ReadStatus::Ok);
        EXPECT_EQ(image.format(), c.format);
        EXPECT_EQ(qAlpha(image.pixel(0, 3)), qAlpha(c.corner));
        if (qAlpha(c.corner) != 0) {
            EXPECT_EQ(image.pixel(0, 3), c.corner);
        }
        EXPECT_EQ(image.pixel(2, 1), c.inside);
    }
}

TEST(ReadIco, CursorsReadLikeIcons) {
    QImage image;
    ASSERT_EQ(ReadIco(IcoFile({BmpEntry(4, 24, kBlue24, true)}, 2), image), ReadStatus::Ok);
    EXPECT_EQ(image.size(), QSize(4, 4));
}

TEST(ReadIco, CutAndInvalidFiles) {
    const Bytes whole = IcoFile({BmpEntry(4, 24, kBlue24, true)});
    // 6 directory + 16 entry + 40 header + 4 rows of 12 colour bytes + 4 rows of 4 mask bytes.
    for (const size_t length : {0, 1, 3, 5, 6, 10, 21, 22, 30, 61, 62, 100, 109, 110, 125}) {
        SCOPED_TRACE(length);
        QImage image;
        EXPECT_STREQ(Name(ReadIco(Bytes(whole.begin(), whole.begin() + length), image)),
                     "Truncated");
    }

    Bytes badReserved = whole, badType = whole, noEntries = whole, farOffset = whole;
    badReserved[0] = 1;
    badType[2] = 3;
    noEntries[4] = 0;
    Set32(farOffset, 6 + 12, 1u << 30);
    struct Case {
        std::string name;
        Bytes file;
        ReadStatus status;
    } cases[] = {
        {"reserved word not 0", badReserved, ReadStatus::Invalid},
        {"type 3", badType, ReadStatus::Invalid},
        {"no entries", noEntries, ReadStatus::Invalid},
        {"garbage", Bytes(64, 0xEE), ReadStatus::Invalid},
        {"a BMP file", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0}, ReadStatus::Invalid},
        {"entry beyond the file", farOffset, ReadStatus::Truncated},
        {"top-down image", IcoFile({[] {
             Bytes e = BmpEntry(4, 24, kBlue24, false);
             Set32(e, 8, uint32_t(-8));
             return e;
         }()}),
         ReadStatus::Invalid},
        {"compressed image", IcoFile({[] {
             Bytes e = BmpEntry(4, 8, {0}, false, Quads({0}));
             Set32(e, 16, 1);
             return e;
         }()}),
         ReadStatus::Invalid},
        {"broken PNG", IcoFile({[] {
             Bytes png = PngEntry(4, 0xFF000000);
             png.resize(40);
             return png;
         }()}),
         ReadStatus::Invalid},
        {"PNG claiming 16000 x 16000 in a few bytes", IcoFile({PngClaiming(16000, 16000)}),
         ReadStatus::Invalid},
        {"PNG claiming 40000 x 1", IcoFile({PngClaiming(40000, 1)}), ReadStatus::Invalid},
        {"100000 x 100000 image", IcoFile({InfoHeader({.width = 100000, .height = 200000})}),
         ReadStatus::Invalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image;
        EXPECT_STREQ(Name(ReadIco(c.file, image)), Name(c.status));
    }
}

} // namespace
