// Loading: which inputs are accepted, which are cut short and which are invalid, and the size.
#include "tests/metafile/record_writer.h"

#include <gtest/gtest.h>

using namespace metafile_test;
using vcl::metafile::Document;
using vcl::metafile::LoadStatus;

namespace {

std::vector<uint8_t> Prefix(std::vector<uint8_t> v, size_t n) {
    v.resize(std::min(n, v.size()));
    return v;
}

std::vector<uint8_t> WithByte(std::vector<uint8_t> v, size_t at, uint8_t value) {
    v[at] = value;
    return v;
}

struct LoadCase {
    const char* name;
    std::vector<uint8_t> file;
    LoadStatus expected;
};

TEST(MetafileLoad, StatusByInput) {
    const auto wmf = Wmf().Rectangle(0, 0, 10, 10).Build();
    const auto bare = Wmf(100, 100, 96, false).Rectangle(0, 0, 10, 10).Build();
    const auto emf = Emf().Ints(43, {0, 0, 10, 10}).Build();
    // A record claiming more words than the file holds (the rectangle after the 40 header bytes).
    auto overlong = wmf;
    overlong[40] = 0xFF;
    auto zeroSized = wmf;
    zeroSized[40] = 0;
    auto emfOverlong = emf;
    emfOverlong[88 + 4] = 0xF0;
    const std::vector<LoadCase> cases = {
        {"empty file", {}, LoadStatus::Truncated},
        {"placeable key only", Prefix(wmf, 4), LoadStatus::Truncated},
        {"cut inside the standard header", Prefix(wmf, 30), LoadStatus::Truncated},
        {"bare header cut", Prefix(bare, 10), LoadStatus::Truncated},
        {"EMF cut inside its header", Prefix(emf, 60), LoadStatus::Truncated},
        {"complete WMF", wmf, LoadStatus::Ok},
        {"complete WMF without placeable header", bare, LoadStatus::Ok},
        {"complete EMF", emf, LoadStatus::Ok},
        {"WMF ends without its end record", Prefix(wmf, wmf.size() - 6), LoadStatus::Ok},
        {"bad placeable checksum", WithByte(wmf, 20, wmf[20] ^ 1), LoadStatus::Invalid},
        {"placeable with zero units per inch", WithByte(WithByte(wmf, 14, 0), 15, 0),
         LoadStatus::Invalid},
        {"wrong header size", WithByte(wmf, 24, 7), LoadStatus::Invalid},
        {"record runs past the end", overlong, LoadStatus::Invalid},
        {"record of zero words", zeroSized, LoadStatus::Invalid},
        {"record cut after its size", Prefix(wmf, 43), LoadStatus::Invalid},
        {"EMF bad signature", WithByte(emf, 40, 'X'), LoadStatus::Invalid},
        {"EMF first record not a header", WithByte(emf, 0, 2), LoadStatus::Invalid},
        {"EMF record runs past the end", emfOverlong, LoadStatus::Invalid},
        {"PNG bytes",
         {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1},
         LoadStatus::Invalid},
    };
    for (const LoadCase& c : cases) {
        Document doc;
        std::string reason;
        EXPECT_EQ(Document::Load(c.file, doc, &reason), c.expected) << c.name;
        EXPECT_EQ(reason.empty(), c.expected == LoadStatus::Ok) << c.name << ": " << reason;
    }
}

TEST(MetafileLoad, HugeDeclaredSizeInSmallFileIsHarmless) {
    // A placeable header claiming 32767 x 32767 units at 1 unit per inch.
    auto file = Wmf(32767, 32767, 1).Rectangle(0, 0, 10, 10).Build();
    Document doc;
    ASSERT_EQ(Document::Load(file, doc), LoadStatus::Ok);
    EXPECT_LE(doc.Size().width(), 16384);
    EXPECT_GT(doc.Size().width(), 0);
    QImage image(69, 61, QImage::Format_RGB32);
    QPainter painter(&image);
    doc.Play(painter, QRectF(0, 0, 69, 61));
}

struct SizeCase {
    const char* name;
    std::vector<uint8_t> file;
    QSize expected;
};

TEST(MetafileLoad, SizeAtScreenResolution) {
    const std::vector<SizeCase> cases = {
        {"placeable, 1440 units per inch", Wmf(2880, 1440, 1440).Build(), QSize(192, 96)},
        {"placeable, 96 units per inch", Wmf(69, 61, 96).Build(), QSize(69, 61)},
        {"EMF frame", Emf(120, 80).Build(), QSize(120, 80)},
        {"bare WMF, window in twips",
         Wmf(0, 0, 96, false).Record(0x020C, {2880, 5760}).Rectangle(0, 0, 10, 10).Build(),
         QSize(384, 192)},
        {"bare WMF, window in pixels",
         Wmf(0, 0, 96, false).Record(0x020C, {60, 80}).Rectangle(0, 0, 10, 10).Build(),
         QSize(80, 60)},
        {"bare WMF, extent of its drawing",
         Wmf(0, 0, 96, false).Rectangle(10, 20, 50, 40).Record(0x0213, {70, 90}).Build(),
         QSize(80, 50)},
    };
    for (const SizeCase& c : cases) {
        Document doc;
        ASSERT_EQ(Document::Load(c.file, doc), LoadStatus::Ok) << c.name;
        EXPECT_EQ(doc.Size(), c.expected) << c.name;
    }
}

} // namespace
