// The DIB row transfer: hand-made 3 x 2 pictures in every depth, both orientations, bitfields,
// alpha, clipping, bands and every way a header or buffer can be unusable.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/dib.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t kSentinel = 0x12345678u;

void PutU32(Bytes& b, size_t at, uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4);
    std::memcpy(b.data() + at, &v, 4);
}

// A header of `headerSize` bytes followed by `extra` 32-bit words (colour table or masks).
Bytes Info(int32_t width, int32_t height, uint16_t bpp, uint32_t compression,
           std::vector<uint32_t> extra = {}, uint32_t clrUsed = 0, uint32_t headerSize = 40) {
    Bytes b(headerSize, 0);
    DibInfoHeader h{};
    h.biSize = headerSize;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bpp;
    h.biCompression = compression;
    h.biClrUsed = clrUsed;
    std::memcpy(b.data(), &h, sizeof h);
    for (uint32_t word : extra)
        PutU32(b, b.size(), word);
    return b;
}

// Words for a header larger than 40 bytes: the masks sit inside it.
Bytes InfoWithMasks(uint32_t headerSize, uint16_t bpp, uint32_t compression,
                    std::vector<uint32_t> masks, int32_t width = 3, int32_t height = 2) {
    Bytes b = Info(width, height, bpp, compression, {}, 0, headerSize);
    for (size_t i = 0; i < masks.size(); ++i)
        PutU32(b, 40 + 4 * i, masks[i]);
    return b;
}

struct Canvas {
    int32_t width, height;
    std::vector<uint32_t> pixels;
    Canvas(int32_t w, int32_t h) : width(w), height(h), pixels(size_t(w) * h, kSentinel) {}
    platform::PixelTarget Target() { return {pixels.data(), size_t(width) * 4, width, height}; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

int Transfer(Canvas& c, const Bytes& info, const Bytes& bits, bool keepAlpha = false,
             uint32_t start = 0, uint32_t lines = 0xFFFFFFFFu) {
    return platform::SetDIBits(c.Target(), start, lines, bits.data(), bits.size(), info.data(),
                               info.size(), keepAlpha);
}

// Stored rows of a 3 x 2 picture, bottom row first, and the expected pixels top row first.
struct DepthCase {
    std::string name;
    Bytes info;
    Bytes bottomRow, topRow; // padded to four bytes
    std::vector<uint32_t> expectTop, expectBottom;
};

constexpr uint32_t C0 = 0x112233, C1 = 0xAABBCC, C2 = 0x405060, C3 = 0xF0E0D0;
constexpr uint32_t O = 0xFF000000u; // opaque

std::vector<DepthCase> DepthCases() {
    return {
        {"1bpp",
         Info(3, 2, 1, 0, {C0, C1}),
         {0xA0, 0, 0, 0},
         {0x40, 0, 0, 0},
         {O | C0, O | C1, O | C0},
         {O | C1, O | C0, O | C1}},
        {"2bpp",
         Info(3, 2, 2, 0, {C0, C1, C2, C3}),
         {0xE4, 0, 0, 0},
         {0x18, 0, 0, 0},
         {O | C0, O | C1, O | C2},
         {O | C3, O | C2, O | C1}},
        {"4bpp",
         Info(3, 2, 4, 0, {C0, C1, C2}, 3),
         {0x21, 0x00, 0, 0},
         {0x01, 0x20, 0, 0},
         {O | C0, O | C1, O | C2},
         {O | C2, O | C1, O | C0}},
        {"8bpp",
         Info(3, 2, 8, 0, {C0, C1, C2}, 3),
         {2, 1, 0, 0},
         {0, 1, 2, 0},
         {O | C0, O | C1, O | C2},
         {O | C2, O | C1, O | C0}},
        {"16bpp 5-5-5",
         Info(3, 2, 16, 0),
         {0xFF, 0x7F, 0x00, 0x7C, 0x10, 0x00, 0, 0},
         {0x00, 0x00, 0xE0, 0x03, 0x00, 0x80, 0, 0},
         {0xFF000000, 0xFF00FF00, 0xFF000000},
         {0xFFFFFFFF, 0xFFFF0000, 0xFF000084}},
        {"16bpp 5-6-5",
         Info(3, 2, 16, 3, {0xF800, 0x07E0, 0x001F}),
         {0xFF, 0xFF, 0x00, 0xF8, 0x20, 0x00, 0, 0},
         {0x00, 0x00, 0xE0, 0x07, 0x00, 0x04, 0, 0},
         {0xFF000000, 0xFF00FF00, 0xFF008200},
         {0xFFFFFFFF, 0xFFFF0000, 0xFF000000 | 0x04 << 8}},
        {"24bpp",
         Info(3, 2, 24, 0),
         {0x33, 0x22, 0x11, 0xCC, 0xBB, 0xAA, 0x60, 0x50, 0x40, 0, 0, 0},
         {0x60, 0x50, 0x40, 0x33, 0x22, 0x11, 0xCC, 0xBB, 0xAA, 0, 0, 0},
         {O | C2, O | C0, O | C1},
         {O | C0, O | C1, O | C2}},
        {"32bpp",
         Info(3, 2, 32, 0),
         {0x33, 0x22, 0x11, 0x7F, 0xCC, 0xBB, 0xAA, 0x00, 0x60, 0x50, 0x40, 0x01},
         {0x60, 0x50, 0x40, 0x00, 0x33, 0x22, 0x11, 0xFF, 0xCC, 0xBB, 0xAA, 0x80},
         {O | C2, O | C0, O | C1},
         {O | C0, O | C1, O | C2}},
        {"32bpp bitfields, red in the low byte",
         Info(3, 2, 32, 3, {0xFF, 0xFF00, 0xFF0000}),
         {0x11, 0x22, 0x33, 0x00, 0xAA, 0xBB, 0xCC, 0x00, 0x40, 0x50, 0x60, 0x00},
         {0x40, 0x50, 0x60, 0x00, 0x11, 0x22, 0x33, 0x00, 0xAA, 0xBB, 0xCC, 0x00},
         {O | C2, O | C0, O | C1},
         {O | C0, O | C1, O | C2}},
        {"32bpp V3 header, alpha dropped",
         InfoWithMasks(56, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}),
         {0x33, 0x22, 0x11, 0x00, 0xCC, 0xBB, 0xAA, 0x00, 0x60, 0x50, 0x40, 0x00},
         {0x60, 0x50, 0x40, 0x00, 0x33, 0x22, 0x11, 0x00, 0xCC, 0xBB, 0xAA, 0x00},
         {O | C2, O | C0, O | C1},
         {O | C0, O | C1, O | C2}},
    };
}

TEST(SetDIBits, EveryDepthInBothOrientations) {
    for (const DepthCase& c : DepthCases()) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(c.name + (topDown ? " top-down" : " bottom-up"));
            Bytes info = c.info;
            Bytes bits = topDown ? c.topRow : c.bottomRow;
            const Bytes& second = topDown ? c.bottomRow : c.topRow;
            bits.insert(bits.end(), second.begin(), second.end());
            if (topDown) PutU32(info, 8, uint32_t(-2));
            Canvas canvas(3, 2);
            ASSERT_EQ(Transfer(canvas, info, bits), 2);
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(canvas.At(x, 0), c.expectTop[x]) << "top x=" << x;
                EXPECT_EQ(canvas.At(x, 1), c.expectBottom[x]) << "bottom x=" << x;
            }
        }
    }
}

TEST(SetDIBits, ChannelsWidenByRepeatingTheirBits) {
    struct Case {
        uint32_t redMask, pixel;
        uint32_t expectRed;
    } cases[] = {
        {0x0000001F, 0x1F, 0xFF},       {0x0000001F, 0x10, 0x84},       {0x0000001F, 0x01, 0x08},
        {0x0000003F, 0x20, 0x82},       {0x0000000F, 0x08, 0x88},       {0x00000001, 0x01, 0xFF},
        {0x00000007, 0x05, 0xB6},       {0x000003FF, 0x3FF, 0xFF},      {0x000003FF, 0x201, 0x80},
        {0xFFFF0000, 0xABCD0000, 0xAB}, {0x00000000, 0xFFFFFFFF, 0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << std::hex << "mask " << c.redMask << " pixel " << c.pixel);
        const Bytes info = Info(1, 1, 32, 3, {c.redMask, 0, 0});
        Bytes bits(4);
        PutU32(bits, 0, c.pixel);
        Canvas canvas(1, 1);
        ASSERT_EQ(Transfer(canvas, info, bits), 1);
        EXPECT_EQ(canvas.At(0, 0), O | c.expectRed << 16);
    }
}

TEST(SetDIBits, AlphaOnlyWhenAskedAndPresent) {
    struct Case {
        std::string name;
        Bytes info;
        uint32_t pixel;
        uint32_t expectKept;
    } cases[] = {
        {"32bpp BI_RGB keeps its fourth byte", Info(1, 1, 32, 0), 0x80112233, 0x80112233},
        {"40-byte bitfields have no alpha mask", Info(1, 1, 32, 3, {0xFF0000, 0xFF00, 0xFF}),
         0x80112233, 0xFF112233},
        {"V3 alpha mask", InfoWithMasks(56, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 1, 1),
         0x40112233, 0x40112233},
        {"V5 alpha mask", InfoWithMasks(124, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 1, 1),
         0x00112233, 0x00112233},
        {"four masks after a 40-byte header",
         Info(1, 1, 32, platform::kDibCompressionAlphaBitfields,
              {0xFF0000, 0xFF00, 0xFF, 0xFF000000}),
         0x7F112233, 0x7F112233},
        {"16bpp 4-4-4-4", InfoWithMasks(56, 16, 3, {0x0F00, 0x00F0, 0x000F, 0xF000}, 1, 1), 0x8123,
         0x88112233},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bits(4);
        PutU32(bits, 0, c.pixel);
        for (const bool keep : {false, true}) {
            Canvas canvas(1, 1);
            ASSERT_EQ(Transfer(canvas, c.info, bits, keep), 1);
            EXPECT_EQ(canvas.At(0, 0), keep ? c.expectKept : (c.expectKept | O));
        }
    }
}

TEST(SetDIBits, IndicesBeyondTheColourTableAreBlack) {
    struct Case {
        std::string name;
        Bytes info;
        Bytes bits;
        std::vector<uint32_t> expect;
    } cases[] = {
        {"8bpp, two colours",
         Info(4, 1, 8, 0, {C0, C1}, 2),
         {0, 1, 2, 255},
         {O | C0, O | C1, O, O}},
        {"4bpp, three colours",
         Info(4, 1, 4, 0, {C0, C1, C2}, 3),
         {0x23, 0xF1, 0, 0},
         {O | C2, O, O, O | C1}},
        {"1bpp, one colour", Info(2, 1, 1, 0, {C1}, 1), {0x40, 0, 0, 0}, {O | C1, O}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(int32_t(c.expect.size()), 1);
        ASSERT_EQ(Transfer(canvas, c.info, c.bits), 1);
        for (size_t x = 0; x < c.expect.size(); ++x)
            EXPECT_EQ(canvas.pixels[x], c.expect[x]) << x;
    }
}

// A 2 x 4 8-bit picture whose pixel values are 10 * row-from-bottom + column.
struct Tall {
    Bytes info;
    Bytes rows[4];
    Tall(bool topDown) {
        std::vector<uint32_t> palette;
        for (uint32_t i = 0; i < 256; ++i)
            palette.push_back(i);
        info = Info(2, topDown ? -4 : 4, 8, 0, palette);
        for (int r = 0; r < 4; ++r)
            rows[r] = {uint8_t(10 * r), uint8_t(10 * r + 1), 0, 0};
    }
    // The band of rows [first, first + n) from the bottom, in storage order.
    Bytes Band(bool topDown, int first, int n) const {
        Bytes out;
        for (int i = 0; i < n; ++i) {
            const Bytes& r = rows[topDown ? first + n - 1 - i : first + i];
            out.insert(out.end(), r.begin(), r.end());
        }
        return out;
    }
};

TEST(SetDIBits, BandsCountRowsFromTheBottom) {
    for (const bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        const Tall tall(topDown);
        Canvas canvas(2, 4);
        ASSERT_EQ(Transfer(canvas, tall.info, tall.Band(topDown, 1, 2), false, 1, 2), 2);
        // Rows 1 and 2 from the bottom are rows 2 and 1 from the top; the rest is untouched.
        EXPECT_EQ(canvas.At(0, 0), kSentinel);
        EXPECT_EQ(canvas.At(1, 1), O | 21);
        EXPECT_EQ(canvas.At(0, 2), O | 10);
        EXPECT_EQ(canvas.At(1, 3), kSentinel);

        // More lines than the picture has above startScan: only those that exist.
        Canvas rest(2, 4);
        EXPECT_EQ(Transfer(rest, tall.info, tall.Band(topDown, 2, 2), false, 2, 0xFFFFFFFCu), 2);
        EXPECT_EQ(rest.At(1, 0), O | 31);
        EXPECT_EQ(rest.At(0, 1), O | 20);
        EXPECT_EQ(rest.At(0, 2), kSentinel);

        Canvas none(2, 4);
        EXPECT_EQ(Transfer(none, tall.info, tall.Band(topDown, 0, 4), false, 4, 1), 0);
        EXPECT_EQ(Transfer(none, tall.info, tall.Band(topDown, 0, 4), false, 0, 0), 0);
        EXPECT_EQ(none.At(0, 0), kSentinel);
    }
}

TEST(SetDIBits, PixelsOutsideTheTargetAreClipped) {
    const Tall tall(false);
    const Bytes all = tall.Band(false, 0, 4);

    Canvas small(1, 2); // the top-left corner only
    EXPECT_EQ(Transfer(small, tall.info, all), 4);
    EXPECT_EQ(small.At(0, 0), O | 30);
    EXPECT_EQ(small.At(0, 1), O | 20);

    Canvas large(3, 5); // the picture sits top-left, the rest is untouched
    EXPECT_EQ(Transfer(large, tall.info, all), 4);
    EXPECT_EQ(large.At(1, 0), O | 31);
    EXPECT_EQ(large.At(1, 3), O | 1);
    EXPECT_EQ(large.At(2, 0), kSentinel);
    EXPECT_EQ(large.At(0, 4), kSentinel);

    // A target stride wider than its rows.
    std::vector<uint32_t> wide(2 * 8, kSentinel);
    const platform::PixelTarget padded{wide.data(), 8 * 4, 2, 2};
    EXPECT_EQ(platform::SetDIBits(padded, 0, 4, all.data(), all.size(), tall.info.data(),
                                  tall.info.size()),
              4);
    EXPECT_EQ(wide[0], O | 30);
    EXPECT_EQ(wide[8 + 1], O | 21);
    EXPECT_EQ(wide[2], kSentinel);
}

TEST(SetDIBits, UnusableHeadersAndShortBuffersTransferNothing) {
    const Bytes rows8(8, 0); // two padded 3-pixel rows of 8 bits
    std::vector<uint32_t> table(256, C1);
    struct Case {
        std::string name;
        Bytes info;
        Bytes bits;
        size_t infoBytes = 0; // 0: all of info
    } cases[] = {
        {"header cut short", Info(3, 2, 8, 0, {C0}, 1), rows8, 39},
        {"colour table cut short", Info(3, 2, 8, 0, {C0, C1}, 2), rows8, 40 + 7},
        {"256 colours implied, 255 readable", Info(3, 2, 8, 0, std::vector<uint32_t>(255, C1)),
         rows8},
        {"bitfield masks missing", Info(3, 2, 16, 3, {0xF800, 0x07E0}), Bytes(16)},
        {"alpha mask missing", Info(3, 2, 32, 6, {0xFF0000, 0xFF00, 0xFF}), Bytes(24)},
        {"header size 41", Info(3, 2, 24, 0, {}, 0, 41), Bytes(24)},
        {"width 0", Info(0, 2, 24, 0), Bytes(24)},
        {"negative width", Info(-3, 2, 24, 0), Bytes(24)},
        {"height 0", Info(3, 0, 24, 0), Bytes(24)},
        {"most negative height", Info(3, INT32_MIN, 24, 0), Bytes(24)},
        {"7 bits per pixel", Info(3, 2, 7, 0, table), Bytes(24)},
        {"0 bits per pixel", Info(3, 2, 0, 0), Bytes(24)},
        {"run-length compression", Info(3, 2, 8, 1, table), rows8},
        {"bitfields on 24 bits", Info(3, 2, 24, 3, {0xFF0000, 0xFF00, 0xFF}), Bytes(24)},
        {"mask with a gap", Info(3, 2, 16, 3, {0xF00F, 0x07E0, 0x001F}), Bytes(16)},
        {"pixel rows one byte short", Info(3, 2, 24, 0), Bytes(12 + 8)},
        {"no pixel rows", Info(3, 2, 24, 0), Bytes()},
        {"rows beyond any buffer", Info(0x7FFFFFFF, 0x7FFFFFFF, 32, 0), Bytes(64)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(3, 2);
        const size_t infoBytes = c.infoBytes ? c.infoBytes : c.info.size();
        EXPECT_EQ(platform::SetDIBits(canvas.Target(), 0, 2, c.bits.data(), c.bits.size(),
                                      c.info.data(), infoBytes),
                  0);
        EXPECT_EQ(canvas.At(0, 0), kSentinel);
    }

    Canvas canvas(3, 2);
    const Bytes info = Info(3, 2, 24, 0);
    EXPECT_EQ(platform::SetDIBits(canvas.Target(), 0, 2, nullptr, 24, info.data(), info.size()), 0);
    EXPECT_EQ(platform::SetDIBits(canvas.Target(), 0, 2, rows8.data(), 24, nullptr, 40), 0);
    const platform::PixelTarget noPixels{nullptr, 12, 3, 2};
    EXPECT_EQ(platform::SetDIBits(noPixels, 0, 2, Bytes(24).data(), 24, info.data(), info.size()),
              0);
    const platform::PixelTarget narrowStride{canvas.pixels.data(), 8, 3, 2};
    EXPECT_EQ(
        platform::SetDIBits(narrowStride, 0, 2, Bytes(24).data(), 24, info.data(), info.size()), 0);
}

TEST(SetDIBits, LastRowNeedsNoPadding) {
    // Two rows of three 24-bit pixels: 12 bytes with padding, 9 without.
    const Bytes info = Info(3, 2, 24, 0);
    Canvas canvas(3, 2);
    Bytes bits(12 + 9, 0x80);
    EXPECT_EQ(Transfer(canvas, info, bits), 2);
    EXPECT_EQ(canvas.At(2, 0), 0xFF808080u);
}

TEST(SetDIBits, ColourTableLongerThanTheDepthIsCappedNotRequired) {
    // biClrUsed 300 for 8 bits: 256 entries are used and only they must be readable.
    const Bytes info = Info(1, 1, 8, 0, std::vector<uint32_t>(256, C2), 300);
    Canvas canvas(1, 1);
    EXPECT_EQ(Transfer(canvas, info, Bytes{255, 0, 0, 0}), 1);
    EXPECT_EQ(canvas.At(0, 0), O | C2);
}

} // namespace
