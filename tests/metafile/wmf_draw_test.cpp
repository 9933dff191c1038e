// WMF playback: shapes, the object table, saved states, mapping, clipping, raster operations.
#include "tests/metafile/record_writer.h"

#include <gtest/gtest.h>

using namespace metafile_test;

namespace {

// Selects a null pen and a solid red brush into slots 0 and 1.
Wmf RedFill(Wmf w = Wmf()) {
    w.Pen(5, 0, 0).Select(0).Brush(0, kRefRed).Select(1);
    return w;
}

void Check(const DrawCase& c) {
    CheckDrawCase(c);
}

TEST(WmfDraw, FilledShapes) {
    const std::vector<DrawCase> cases = {
        {"rectangle",
         RedFill().Rectangle(20, 20, 80, 60).Build(),
         {{50, 40, kRed}, {10, 40, kWhite}, {50, 70, kWhite}}},
        {"ellipse",
         RedFill().Record(0x0418, {100, 100, 0, 0}).Build(),
         {{50, 50, kRed}, {3, 3, kWhite}, {97, 97, kWhite}}},
        {"rounded rectangle corners stay open",
         RedFill().Record(0x061C, {60, 60, 100, 100, 0, 0}).Build(),
         {{50, 50, kRed}, {2, 2, kWhite}, {50, 2, kRed}}},
        {"polygon",
         RedFill().Record(0x0324, {3, 0, 0, 100, 0, 0, 100}).Build(),
         {{20, 20, kRed}, {80, 80, kWhite}}},
        // Pie from the ray through (100,50) (0 degrees) to the ray through (50,0) (90 degrees),
        // counter-clockwise: the upper right quarter.
        {"pie runs counter-clockwise",
         RedFill().Record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0}).Build(),
         {{70, 30, kRed}, {30, 30, kWhite}, {70, 70, kWhite}, {30, 70, kWhite}}},
        // The radial points need not lie on the ellipse: only their direction counts.
        {"pie with far radial points",
         RedFill().Record(0x081A, {-400, 50, 50, 900, 100, 100, 0, 0}).Build(),
         {{70, 30, kRed}, {70, 70, kWhite}}},
        {"chord cuts along the line between the arc's ends",
         RedFill().Record(0x0830, {0, 50, 50, 100, 100, 100, 0, 0}).Build(),
         {{80, 20, kRed}, {60, 40, kWhite}}},
        {"zero-sized ellipse draws nothing",
         RedFill().Record(0x0418, {50, 50, 50, 50}).Build(),
         {{50, 50, kWhite}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

TEST(WmfDraw, PolyPolygonFillModes) {
    // Two nested squares wound the same way: alternate leaves the hole, winding fills it.
    auto nested = [](int16_t mode) {
        return RedFill()
            .Record(0x0106, {mode})
            .Record(0x0538,
                    {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30, 70, 70, 30, 70})
            .Build();
    };
    const std::vector<DrawCase> cases = {
        {"alternate", nested(1), {{20, 20, kRed}, {50, 50, kWhite}}},
        {"winding", nested(2), {{20, 20, kRed}, {50, 50, kRed}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

TEST(WmfDraw, ObjectTableAndSavedStates) {
    const std::vector<DrawCase> cases = {
        // Slot 1 is freed; the next object takes it, not the first slot after the table.
        {"new object takes the lowest free slot",
         Wmf()
             .Pen(5, 0, 0)
             .Select(0)
             .Brush(0, kRefRed)
             .Brush(0, kRefBlue)
             .Delete(1)
             .Brush(0, 0x00FF00)
             .Select(1)
             .Rectangle(0, 0, 100, 100)
             .Build(),
         {{50, 50, 0x00FF00}}},
        {"selecting an empty slot keeps the brush",
         RedFill().Select(7).Rectangle(0, 0, 100, 100).Build(),
         {{50, 50, kRed}}},
        {"deleting the selected brush keeps drawing with it",
         RedFill().Delete(1).Rectangle(0, 0, 100, 100).Build(),
         {{50, 50, kRed}}},
        {"restore returns the saved brush",
         RedFill()
             .Record(0x001E, {})
             .Brush(0, kRefBlue)
             .Select(2)
             .Record(0x0127, {-1})
             .Rectangle(0, 0, 100, 100)
             .Build(),
         {{50, 50, kRed}}},
        {"restore without a save changes nothing",
         RedFill().Record(0x0127, {-1}).Record(0x0127, {5}).Rectangle(0, 0, 100, 100).Build(),
         {{50, 50, kRed}}},
        {"null brush fills nothing",
         Wmf().Brush(1, 0).Select(0).Rectangle(10, 10, 90, 90).Build(),
         {{50, 50, kWhite}, {10, 50, kBlack}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

TEST(WmfDraw, HatchedBrushDrawsLinesWithGaps) {
    const QImage image = Render(Wmf()
                                    .Pen(5, 0, 0)
                                    .Select(0)
                                    .Brush(2, kRefRed, 0)
                                    .Select(1)
                                    .Record(0x0102, {1})
                                    .Rectangle(0, 0, 100, 100)
                                    .Build());
    int red = 0, white = 0;
    for (int y = 0; y < 16; ++y)
        (Pixel(image, 50, y) == kRed ? red : white)++;
    EXPECT_GT(red, 0);
    EXPECT_GT(white, 0);
    for (int x = 0; x < 100; ++x)
        EXPECT_EQ(Pixel(image, x, 50), Pixel(image, 0, 50));
}

// A red rectangle at the logical (0,0)-(50,50) under each mapping, in a 100 x 100 picture.
TEST(WmfDraw, MappingModes) {
    auto quarter = [](Wmf w) { return RedFill(w).Rectangle(0, 0, 50, 50).Build(); };
    auto with = [](uint16_t inch,
                   std::initializer_list<std::pair<uint16_t, std::vector<int16_t>>> rs) {
        Wmf w(100, 100, inch);
        for (const auto& [f, words] : rs) {
            Bytes b;
            for (int16_t v : words)
                b.I16(v);
            w.RawRecord(f, b.data);
        }
        return w;
    };
    const std::vector<DrawCase> cases = {
        {"placeable bounds are the window", quarter(Wmf()), {{25, 25, kRed}, {75, 75, kWhite}}},
        {"window twice as large halves everything",
         quarter(with(96, {{0x020C, {200, 200}}})),
         {{12, 12, kRed}, {37, 37, kWhite}}},
        {"window origin moves the picture",
         RedFill(with(96, {{0x020B, {25, 25}}, {0x020C, {100, 100}}}))
             .Rectangle(25, 25, 75, 75)
             .Build(),
         {{25, 25, kRed}, {75, 75, kWhite}}},
        {"negative window height turns y upwards",
         quarter(with(96, {{0x020B, {100, 0}}, {0x020C, {-100, 100}}})),
         {{25, 75, kRed}, {25, 25, kWhite}}},
        {"isotropic keeps units square",
         quarter(with(96, {{0x0103, {7}}, {0x020C, {100, 200}}, {0x020E, {100, 100}}})),
         {{12, 12, kRed}, {12, 37, kWhite}, {37, 12, kWhite}}},
        {"anisotropic stretches",
         quarter(with(96, {{0x0103, {8}}, {0x020C, {100, 200}}, {0x020E, {100, 100}}})),
         {{12, 37, kRed}, {37, 37, kWhite}}},
        {"text mode ignores window extents",
         quarter(with(96, {{0x0103, {1}}, {0x020C, {200, 200}}})),
         {{37, 37, kRed}}},
        // 254 units per inch: one unit of 0.1 mm is one picture unit; y grows upwards.
        {"low metric",
         RedFill(with(254, {{0x0103, {2}}})).Rectangle(0, 0, 50, -50).Build(),
         {{25, 25, kRed}, {75, 75, kWhite}}},
        {"twips at 1440 units per inch",
         RedFill(with(1440, {{0x0103, {6}}})).Rectangle(0, 0, 50, -50).Build(),
         {{25, 25, kRed}, {75, 75, kWhite}}},
        {"zero window extent is refused",
         quarter(with(96, {{0x020C, {0, 0}}})),
         {{25, 25, kRed}, {75, 75, kWhite}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

TEST(WmfDraw, Clipping) {
    const std::vector<DrawCase> cases = {
        {"intersect",
         RedFill().Record(0x0416, {100, 50, 0, 0}).Rectangle(0, 0, 100, 100).Build(),
         {{25, 50, kRed}, {75, 50, kWhite}}},
        {"exclude",
         RedFill().Record(0x0415, {100, 50, 0, 0}).Rectangle(0, 0, 100, 100).Build(),
         {{25, 50, kWhite}, {75, 50, kRed}}},
        {"two intersections leave their overlap",
         RedFill()
             .Record(0x0416, {100, 60, 0, 0})
             .Record(0x0416, {100, 100, 0, 40})
             .Rectangle(0, 0, 100, 100)
             .Build(),
         {{50, 50, kRed}, {20, 50, kWhite}, {80, 50, kWhite}}},
        {"restore drops the clip",
         RedFill()
             .Record(0x001E, {})
             .Record(0x0416, {10, 10, 0, 0})
             .Record(0x0127, {-1})
             .Rectangle(0, 0, 100, 100)
             .Build(),
         {{50, 50, kRed}}},
        {"offset moves the clip",
         RedFill()
             .Record(0x0416, {100, 50, 0, 0})
             .Record(0x0220, {0, 50})
             .Rectangle(0, 0, 100, 100)
             .Build(),
         {{25, 50, kWhite}, {75, 50, kRed}}},
        {"clip follows the mapping",
         RedFill()
             .Record(0x020C, {200, 200})
             .Record(0x0416, {200, 100, 0, 0})
             .Rectangle(0, 0, 200, 200)
             .Build(),
         {{25, 50, kRed}, {75, 50, kWhite}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

TEST(WmfDraw, LinesAndRasterOperations) {
    const QImage line = Render(Wmf()
                                   .Pen(0, 0, kRefBlue)
                                   .Select(0)
                                   .Record(0x0214, {50, 10})
                                   .Record(0x0213, {50, 90})
                                   .Build());
    EXPECT_EQ(Pixel(line, 50, 50), kBlue);
    EXPECT_EQ(Pixel(line, 12, 50), kBlue);
    EXPECT_EQ(Pixel(line, 88, 50), kBlue);
    EXPECT_EQ(Pixel(line, 5, 50), kWhite);
    EXPECT_EQ(Pixel(line, 95, 50), kWhite);
    EXPECT_EQ(Pixel(line, 50, 45), kWhite);

    const std::vector<DrawCase> cases = {
        {"xor twice restores the background",
         RedFill().Record(0x0104, {7}).Rectangle(0, 0, 100, 100).Rectangle(0, 0, 100, 100).Build(),
         {{50, 50, kWhite}}},
        {"not inverts what is there",
         RedFill().Rectangle(0, 0, 50, 100).Record(0x0104, {6}).Rectangle(0, 0, 100, 100).Build(),
         {{25, 50, 0x00FFFF}, {75, 50, kBlack}}},
        {"no-operation draws nothing",
         RedFill().Record(0x0104, {11}).Rectangle(0, 0, 100, 100).Build(),
         {{50, 50, kWhite}}},
        {"black ignores the brush colour",
         RedFill().Record(0x0104, {1}).Rectangle(0, 0, 100, 100).Build(),
         {{50, 50, kBlack}}},
        {"pattern fill",
         RedFill().Record(0x061D, {0x0021, 0x00F0, 50, 50, 0, 0}).Build(),
         {{25, 25, kRed}, {75, 75, kWhite}}},
        {"blackness",
         RedFill().Record(0x061D, {0x0042, 0x0000, 50, 50, 0, 0}).Build(),
         {{25, 25, kBlack}, {75, 75, kWhite}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

// A 2 x 2 24-bit bitmap stored bottom-up: bottom row blue, red; top row white, black.
std::vector<uint8_t> TinyDib() {
    Bytes b;
    b.U32(40).I32(2).I32(2).U16(1).U16(24).U32(0).U32(16).I32(0).I32(0).U32(0).U32(0);
    b.U8(255).U8(0).U8(0).U8(0).U8(0).U8(255).U8(0).U8(0);   // blue, red, padding
    b.U8(255).U8(255).U8(255).U8(0).U8(0).U8(0).U8(0).U8(0); // white, black, padding
    return b.data;
}

TEST(WmfDraw, StretchedBitmap) {
    Bytes p;
    p.U32(0x00CC0020).U16(0).I16(2).I16(2).I16(0).I16(0).I16(100).I16(100).I16(0).I16(0);
    const auto dib = TinyDib();
    p.data.insert(p.data.end(), dib.begin(), dib.end());
    const QImage image = Render(Wmf().RawRecord(0x0F43, p.data).Build());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(Pixel(image, 25, 25), kWhite);
    EXPECT_EQ(Pixel(image, 75, 25), kBlack);
    EXPECT_EQ(Pixel(image, 25, 75), kBlue);
    EXPECT_EQ(Pixel(image, 75, 75), kRed);

    // The same bitmap claiming 30000 x 30000 pixels is not drawn.
    auto huge = p.data;
    huge[22 + 4] = 0x30, huge[22 + 5] = 0x75, huge[22 + 8] = 0x30, huge[22 + 9] = 0x75;
    const QImage skipped = Render(Wmf().RawRecord(0x0F43, huge).Build());
    EXPECT_EQ(Pixel(skipped, 25, 25), kWhite);
    EXPECT_EQ(Pixel(skipped, 75, 25), kWhite);
}

TEST(WmfDraw, HostileRecordsDrawNothingAndDoNotCrash) {
    const std::vector<DrawCase> cases = {
        {"polygon count beyond the record",
         RedFill().Record(0x0324, {30000, 0, 0, 100, 0}).Build(),
         {{50, 50, kWhite}}},
        {"poly-polygon counts beyond the record",
         RedFill().Record(0x0538, {2, 30000, 30000, 0, 0}).Build(),
         {{50, 50, kWhite}}},
        {"extreme coordinates",
         RedFill().Record(0x0324, {3, -32768, -32768, 32767, -32768, 32767, 32767}).Build(),
         {}},
        {"text longer than its record",
         RedFill().Record(0x0521, {30000, 0x4141}).Build(),
         {{50, 50, kWhite}}},
        {"object index out of range", RedFill().Select(65535).Delete(65535).Build(), {}},
        {"deep saves",
         [] {
             Wmf w;
             for (int i = 0; i < 5000; ++i)
                 w.Record(0x001E, {});
             return RedFill(w).Rectangle(0, 0, 100, 100).Build();
         }(),
         {{50, 50, kRed}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

} // namespace

namespace {

// EXTTEXTOUT of "HHHH" at (10,40) with the given options and rectangle, in a 20-unit font.
std::vector<uint8_t> ExtText(uint16_t options, std::initializer_list<int16_t> rect) {
    Bytes p;
    p.I16(40).I16(10).I16(4).U16(options);
    for (int16_t v : rect)
        p.I16(v);
    p.Raw("HHHH");
    return Wmf()
        .Font(-20, 0, "DejaVu Sans")
        .Select(0)
        .Record(0x0102, {1})
        .Record(0x0201, {0x00FF, 0})
        .RawRecord(0x0A32, p.data)
        .Build();
}

bool InkIn(const QImage& image, QRect area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Pixel(image, x, y) != kWhite && Pixel(image, x, y) != kRed) return true;
    return false;
}

TEST(WmfText, OpaqueAndClippedRectangles) {
    // Opaque: the rectangle (5,35)-(95,70) is filled with the background colour (red).
    const QImage opaque = Render(ExtText(2, {5, 35, 95, 70}));
    EXPECT_EQ(Pixel(opaque, 90, 65), kRed);
    EXPECT_EQ(Pixel(opaque, 90, 75), kWhite);
    EXPECT_TRUE(InkIn(opaque, QRect(10, 40, 40, 20)));
    // Clipped to (0,0)-(20,100): only the first letter's part is left.
    const QImage clipped = Render(ExtText(4, {0, 0, 20, 100}));
    EXPECT_TRUE(InkIn(clipped, QRect(10, 40, 10, 20)));
    EXPECT_FALSE(InkIn(clipped, QRect(21, 30, 79, 40)));
    // Neither: the rectangle is not read and the text runs on.
    const QImage plain = Render(ExtText(0, {}));
    EXPECT_TRUE(InkIn(plain, QRect(30, 40, 40, 20)));
    EXPECT_EQ(Pixel(plain, 90, 65), kWhite);
}

} // namespace
