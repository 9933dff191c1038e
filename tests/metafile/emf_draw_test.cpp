// EMF playback: handle-indexed objects, world transform, map modes, paths, regions, text.
#include "tests/metafile/record_writer.h"

#include "vcl/metafile/text_codec.h"

#include <gtest/gtest.h>

using namespace metafile_test;

namespace {

constexpr uint32_t kStock = 0x80000000u;

Emf RedFill() {
    Emf e;
    e.Ints(39, {1, 0, int32_t(kRefRed), 0}) // brush at handle 1
        .Ints(37, {1})
        .Ints(37, {int32_t(kStock | 8)}); // null pen
    return e;
}

Bytes Xform(float m11, float m12, float m21, float m22, float dx, float dy) {
    Bytes b;
    b.F32(m11).F32(m12).F32(m21).F32(m22).F32(dx).F32(dy);
    return b;
}

// Within a few levels per channel: edge smoothing of very long lines is not exact.
void Check(const DrawCase& c) {
    CheckDrawCase(c, 8);
}

TEST(EmfDraw, TransformsAndMapModes) {
    auto quarter = [](Emf e) { return e.Ints(43, {0, 0, 50, 50}).Build(); };
    Emf scaled = RedFill();
    scaled.Record(35, Xform(0.5f, 0, 0, 0.5f, 0, 0));
    Emf moved = RedFill();
    moved.Record(35, Xform(1, 0, 0, 1, 0, 0));
    Bytes translate = Xform(1, 0, 0, 1, 50, 50);
    translate.U32(4);
    moved.Record(36, translate);
    Emf rotated = RedFill();
    rotated.Record(35, Xform(0, 1, -1, 0, 100, 0)); // 90 degrees about the origin, then right
    Emf iso = RedFill();
    iso.Ints(17, {7}).Ints(9, {200, 100}).Ints(11, {100, 100});
    Emf metric = RedFill();
    // 96 dpi device: 0.1 mm per unit, so 264.58 units are 100 px; y grows upwards.
    metric.Ints(17, {2});
    const std::vector<DrawCase> cases = {
        {"identity", quarter(RedFill()), {{25, 25, kRed}, {75, 75, kWhite}}},
        {"world scale", quarter(scaled), {{12, 12, kRed}, {37, 37, kWhite}}},
        {"modified world translation", quarter(moved), {{75, 75, kRed}, {25, 25, kWhite}}},
        {"rotation", quarter(rotated), {{75, 25, kRed}, {25, 25, kWhite}, {75, 75, kWhite}}},
        {"isotropic", quarter(iso), {{12, 12, kRed}, {12, 37, kWhite}}},
        {"low metric turns y upwards",
         metric.Ints(43, {0, 0, 132, -132}).Build(),
         {{25, 25, kRed}, {75, 75, kWhite}}},
        {"viewport origin moves the page",
         RedFill().Ints(12, {50, 0}).Ints(43, {0, 0, 50, 50}).Build(),
         {{75, 25, kRed}, {25, 25, kWhite}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

TEST(EmfDraw, ObjectsByHandle) {
    const std::vector<DrawCase> cases = {
        {"stock black brush",
         Emf().Ints(37, {int32_t(kStock | 4)}).Ints(43, {0, 0, 100, 100}).Build(),
         {{50, 50, kBlack}}},
        {"handle replaced in place",
         RedFill()
             .Ints(40, {1})
             .Ints(39, {1, 0, int32_t(kRefBlue), 0})
             .Ints(37, {1})
             .Ints(43, {0, 0, 100, 100})
             .Build(),
         {{50, 50, kBlue}}},
        {"unknown handle keeps the brush",
         RedFill().Ints(37, {9}).Ints(43, {0, 0, 100, 100}).Build(),
         {{50, 50, kRed}}},
        {"handle 0 is reserved",
         RedFill()
             .Ints(39, {0, 0, int32_t(kRefBlue), 0})
             .Ints(37, {0})
             .Ints(43, {0, 0, 100, 100})
             .Build(),
         {{50, 50, kRed}}},
        {"unknown records and EMF+ comments are skipped",
         RedFill()
             .Ints(200, {1, 2, 3})
             .Ints(70, {8, 0x2B464D45, 0x40010001, 0x0C, 0x0C})
             .Ints(43, {0, 0, 100, 100})
             .Build(),
         {{50, 50, kRed}}},
        {"restore by relative index",
         RedFill()
             .Ints(33, {})
             .Ints(37, {int32_t(kStock | 4)})
             .Ints(34, {-1})
             .Ints(43, {0, 0, 100, 100})
             .Build(),
         {{50, 50, kRed}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

TEST(EmfDraw, PathsAndPolys) {
    auto poly16 = [](uint32_t type, std::initializer_list<int16_t> xy) {
        Bytes b;
        b.I32(0).I32(0).I32(0).I32(0).U32(uint32_t(xy.size() / 2));
        for (int16_t v : xy)
            b.I16(v);
        return std::make_pair(type, b);
    };
    Emf triangle = RedFill();
    auto [t16, p16] = poly16(86, {0, 0, 100, 0, 0, 100});
    triangle.Record(t16, p16);
    Emf path = RedFill();
    path.Ints(59, {})
        .Ints(27, {0, 0})
        .Ints(54, {100, 0})
        .Ints(54, {100, 100})
        .Ints(61, {})
        .Ints(60, {})
        .Ints(62, {0, 0, 0, 0});
    Emf clipPath = RedFill();
    clipPath.Ints(59, {})
        .Ints(42, {0, 0, 100, 100})
        .Ints(60, {})
        .Ints(67, {1})
        .Ints(43, {0, 0, 100, 100});
    Emf region = RedFill();
    Bytes rgn;
    rgn.U32(48).U32(5);                                               // data size, copy
    rgn.U32(32).U32(1).U32(1).U32(16).I32(0).I32(0).I32(50).I32(100); // header
    rgn.I32(0).I32(0).I32(50).I32(100);                               // one rectangle
    region.Record(75, rgn).Ints(43, {0, 0, 100, 100});
    Emf bezier = RedFill();
    bezier.Ints(59, {}).Ints(27, {0, 100});
    Bytes curve;
    curve.I32(0).I32(0).I32(0).I32(0).U32(3).I32(0).I32(0).I32(100).I32(0).I32(100).I32(100);
    bezier.Record(5, curve).Ints(61, {}).Ints(60, {}).Ints(62, {0, 0, 0, 0});
    const std::vector<DrawCase> cases = {
        {"16-bit polygon", triangle.Build(), {{20, 20, kRed}, {80, 80, kWhite}}},
        {"filled path", path.Build(), {{80, 20, kRed}, {20, 80, kWhite}}},
        {"clip to an elliptic path", clipPath.Build(), {{50, 50, kRed}, {3, 3, kWhite}}},
        {"clip region in device units", region.Build(), {{25, 50, kRed}, {75, 50, kWhite}}},
        {"bezier path stays inside its hull", bezier.Build(), {{40, 40, kRed}, {97, 3, kWhite}}},
        {"path drawn nothing until filled",
         RedFill().Ints(59, {}).Ints(43, {0, 0, 100, 100}).Ints(60, {}).Build(),
         {{50, 50, kWhite}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

TEST(EmfDraw, HostileObjectsStayDrawable) {
    // A geometric pen two billion units wide, and a dashed one whose dashes are a fraction of a
    // pixel along a long line: the first is drawn at the widest width we draw, the second solid.
    Bytes widePen;
    widePen.U32(1)
        .U32(0)
        .U32(0)
        .U32(0)
        .U32(0)
        .U32(0x00010000)
        .U32(2000000000)
        .U32(0)
        .U32(0xFF0000)
        .U32(0)
        .U32(0);
    Bytes finePen;
    finePen.U32(2)
        .U32(0)
        .U32(0)
        .U32(0)
        .U32(0)
        .U32(0x00010007)
        .U32(1)
        .U32(0)
        .U32(0xFF0000)
        .U32(0)
        .U32(2)
        .U32(0)
        .U32(0);
    const std::vector<DrawCase> cases = {
        {"huge pen width",
         Emf().Record(95, widePen).Ints(37, {1}).Ints(27, {0, 50}).Ints(54, {100, 50}).Build(),
         {{50, 50, kBlue}, {50, 5, kBlue}}},
        {"sub-pixel user dashes",
         Emf()
             .Record(95, finePen)
             .Ints(37, {2})
             .Ints(27, {-300000, 50})
             .Ints(54, {300000, 50})
             .Build(),
         {{50, 50, kBlue}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

TEST(EmfDraw, ArcDirection) {
    // Pie from 0 degrees to 90 degrees: counter-clockwise the upper right quarter, clockwise the
    // other three.
    auto pie = [](int dir) {
        return RedFill().Ints(57, {dir}).Ints(47, {0, 0, 100, 100, 100, 50, 50, 0}).Build();
    };
    const std::vector<DrawCase> cases = {
        {"counter-clockwise", pie(1), {{70, 30, kRed}, {30, 70, kWhite}}},
        {"clockwise", pie(2), {{70, 30, kWhite}, {30, 70, kRed}, {70, 70, kRed}}},
    };
    for (const DrawCase& c : cases)
        Check(c);
}

// Ink (non-white pixels) bounds of a rendering.
QRect Ink(const QImage& image) {
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Pixel(image, x, y) != kWhite) r = r.united(QRect(x, y, 1, 1));
    return r;
}

std::vector<uint8_t> TextFile(uint32_t align, int32_t x, int32_t y, const std::u16string& text,
                              int times = 1, bool turned = false) {
    Emf e;
    if (turned) e.Record(35, Xform(0, -1, 1, 0, 0, 100)); // a quarter turn counter-clockwise
    Bytes font;
    font.U32(1).I32(-20).I32(0).I32(0).I32(0).I32(400).U8(0).U8(0).U8(0).U8(0).U32(0);
    const std::u16string face = u"DejaVu Sans";
    for (size_t i = 0; i < 32; ++i)
        font.U16(i < face.size() ? face[i] : 0);
    e.Record(82, font).Ints(37, {1}).Ints(22, {int32_t(align)}).Ints(18, {1});
    e.Ints(27, {x, y});
    for (int i = 0; i < times; ++i) {
        Bytes t;
        t.I32(0).I32(0).I32(0).I32(0).U32(1).F32(1).F32(1);
        const uint32_t offString = 8 + 16 + 12 + 8 + 4 + 4 + 4 + 16 + 4;
        t.I32(x).I32(y).U32(uint32_t(text.size())).U32(offString).U32(0);
        t.I32(0).I32(0).I32(0).I32(0).U32(0);
        for (char16_t c : text)
            t.U16(c);
        if (text.size() % 2) t.U16(0);
        e.Record(84, t);
    }
    return e.Build();
}

TEST(EmfText, PlacedByAlignment) {
    const QImage left = Render(TextFile(0, 50, 50, u"HH"));
    const QImage right = Render(TextFile(2, 50, 50, u"HH"));
    const QImage center = Render(TextFile(6, 50, 50, u"HH"));
    const QImage baseline = Render(TextFile(24, 50, 50, u"HH"));
    const QImage bottom = Render(TextFile(8, 50, 50, u"HH"));
    ASSERT_FALSE(Ink(left).isEmpty());
    EXPECT_GE(Ink(left).left(), 50);
    EXPECT_GE(Ink(left).top(), 50);
    EXPECT_LE(Ink(right).right(), 50);
    EXPECT_LT(Ink(center).left(), 50);
    EXPECT_GT(Ink(center).right(), 50);
    EXPECT_LE(Ink(baseline).bottom(), 50);
    EXPECT_LT(Ink(bottom).bottom(), 52);
    // Bottom alignment lifts the baseline by the descent.
    EXPECT_LT(Ink(bottom).bottom(), Ink(baseline).bottom());
}

TEST(EmfText, WorldRotationTurnsTheBaseline) {
    const QRect flat = Ink(Render(TextFile(0, 20, 20, u"HHHH")));
    const QRect turned = Ink(Render(TextFile(0, 20, 20, u"HHHH", 1, true)));
    ASSERT_FALSE(flat.isEmpty());
    ASSERT_FALSE(turned.isEmpty());
    EXPECT_GT(flat.width(), flat.height());
    EXPECT_GT(turned.height(), turned.width());
}

TEST(EmfText, UpdateCurrentPositionAdvances) {
    const QRect once = Ink(Render(TextFile(1, 5, 40, u"H")));
    const QRect twice = Ink(Render(TextFile(1, 5, 40, u"H", 2)));
    ASSERT_FALSE(once.isEmpty());
    EXPECT_EQ(twice.left(), once.left());
    EXPECT_GT(twice.right(), once.right() + once.width() / 2);
}

struct DecodeCase {
    const char* name;
    std::vector<uint8_t> bytes;
    uint8_t charset;
    QString text;
    std::vector<int> perChar;
};

TEST(MetafileText, DecodesByCharacterSet) {
    const std::vector<DecodeCase> cases = {
        {"Shift_JIS hiragana and ASCII", {0x82, 0xA0, 'A'}, 128, QString::fromUtf8("あA"), {2, 1}},
        {"Shift_JIS trail byte equal to backslash",
         {0x95, 0x5C},
         128,
         QString::fromUtf8("表"),
         {2}},
        {"Shift_JIS half-width katakana", {0xB1}, 128, QString::fromUtf8("ｱ"), {1}},
        {"lone lead byte at the end", {'a', 0x82}, 128, QString(), {1, 1}},
        {"Western", {0xE9}, 0, QString::fromUtf8("é"), {1}},
        {"Cyrillic", {0xC0}, 204, QString::fromUtf8("А"), {1}},
        {"GB2312", {0xC4, 0xE3}, 134, QString::fromUtf8("你"), {2}},
    };
    for (const DecodeCase& c : cases) {
        std::vector<int> perChar;
        const QString text = vcl::metafile::DecodeText(c.bytes, c.charset, &perChar);
        if (!c.text.isEmpty()) {
            EXPECT_EQ(text, c.text) << c.name;
        }
        EXPECT_EQ(perChar, c.perChar) << c.name;
    }
}

TEST(MetafileText, FaceNamesMapToInstalledFamilies) {
    const std::vector<std::pair<QString, QString>> cases = {
        {QString::fromUtf8("ＭＳ Ｐゴシック"), "IPAPGothic"},
        {"MS PGothic", "IPAPGothic"},
        {QString::fromUtf8("ＭＳ ゴシック"), "IPAGothic"},
        {"MS Gothic", "IPAGothic"},
        {QString::fromUtf8("ＭＳ 明朝"), "IPAMincho"},
        {QString::fromUtf8("ＭＳ Ｐ明朝"), "IPAPMincho"},
        {"MS Mincho", "IPAMincho"},
        {"Century Gothic", "Century Gothic"},
        {"Arial", "Arial"},
    };
    for (const auto& [face, family] : cases)
        EXPECT_EQ(vcl::metafile::MapFaceName(face, 128), family) << face.toStdString();
}

} // namespace
