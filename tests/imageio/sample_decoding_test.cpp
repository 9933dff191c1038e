// Every BMP, ICO and CUR sample either decodes to the reference decoding beside it, or is
// rejected. Where we decide differently from the reference decoder, the table below says how
// and why, and what the file is compared with instead.
#include <gtest/gtest.h>

#include <QImage>

#include <map>
#include <string>

#include "tests/imageio/image_compare.h"
#include "tests/support/samples.h"
#include "vcl/graphics/bmp_reader.h"
#include "vcl/graphics/ico_reader.h"

namespace {

using vcl::imageio::ReadStatus;

enum class Expect {
    Match,      // decodes to its reference (or to `sibling`'s) within `tolerance`
    DecodeOnly, // decodes; no reference shows the right picture
    Reject,     // is refused with `status`
};

struct Expectation {
    Expect expect = Expect::Match;
    int tolerance = 1;
    bool coloursOnly = false; // compare red, green and blue, not alpha
    std::string sibling = {}; // a sample whose reference shows the same picture
    ReadStatus status = ReadStatus::Invalid;
    bool firstEntry = false; // an icon: compare its first entry, the one the reference shows
};

// Narrow channels are widened by repeating their bits (a 1-bit 1 is 255, a 4-bit 15 is 255);
// the reference shifts them (128, 240).
Expectation Widened(int tolerance) {
    return {.tolerance = tolerance};
}
// 32-bit pictures without an alpha mask are opaque; the reference takes the reserved fourth
// byte as alpha.
const Expectation kReservedByte{.coloursOnly = true};

const std::map<std::string, Expectation>& Differences() {
    static const std::map<std::string, Expectation> table = {
        // The reference makes one black pixel of these transparent; the files have no alpha.
        {"imagers-Info_1_Bit.bmp", kReservedByte},
        {"imagers-Info_4_Bit.bmp", kReservedByte},
        {"imagers-Info_4_Bit_Top_Down.bmp", kReservedByte},
        {"imagers-Info_8_Bit.bmp", kReservedByte},
        {"imagers-Info_8_Bit_Top_Down.bmp", kReservedByte},
        {"imagers-V3_X8_R8_G8_B8.bmp", kReservedByte},
        {"imagers-V5_A8_R8_G8_B8_Rgb.bmp", kReservedByte},
        {"imagers-V5_A8_R8_G8_B8_Rgb_BadMask.bmp", kReservedByte},
        {"pillow-rgb32.bmp", kReservedByte},
        {"pillow-rgb32bf.bmp", kReservedByte},
        {"pillow-rgb32bf-xbgr.bmp", kReservedByte},
        {"pillow-rgb32h52.bmp", kReservedByte},
        {"pillow-rgb32fakealpha.bmp", kReservedByte},
        // An alpha mask whose every value is 0 is taken as no alpha (shown opaque), 4-bit
        // channels widened.
        {"imagers-V3_A4_R4_G4_B4.bmp", {.tolerance = 17, .coloursOnly = true}},
        {"imagers-V5_A1_R5_G5_B5.bmp", Widened(127)},
        {"imagers-rgba16-1924.bmp", Widened(127)},
        {"pillow-rgba16-4444.bmp", Widened(15)},
        {"imagers-rgba32-61754.bmp", Widened(16)},
        // The reference reads the wrong colours from this 64-byte OS/2 header.
        {"pillow-pal8os2v2.bmp", {.sibling = "pillow-pal8.bmp"}},
        // Files without a reference that we read: wrong file size or table size fields
        // (ignored), an oversize colour table (its first 256 entries), four masks, and
        // embedded PNG and JPEG pictures.
        {"imagers-pal8os2-sz.bmp", {.sibling = "pillow-pal8os2sp.bmp"}},
        {"pillow-badfilesize.bmp", {.sibling = "pillow-pal1.bmp"}},
        {"pillow-pal8oversizepal.bmp", {.sibling = "pillow-pal8.bmp"}},
        {"pillow-rgba32abf.bmp", {.sibling = "pillow-rgba32.bmp"}},
        {"pillow-rgb24png.bmp", {.sibling = "pillow-rgb24pal.bmp"}},
        {"pillow-rgb24jpeg.bmp", {.tolerance = 80, .sibling = "pillow-rgb24pal.bmp"}},
        {"pillow-pal2.bmp", {.expect = Expect::DecodeOnly}},
        // Indices beyond its 101 colours are black here; the reference refuses the file.
        {"pillow-pal8badindex.bmp", {.expect = Expect::DecodeOnly}},
        {"imagers-rgb24rle24.bmp", {.expect = Expect::Reject}}, // OS/2 RLE24 is not supported
        {"pillow-badbitcount.bmp", {.expect = Expect::Reject}},
        {"pillow-badpalettesize.bmp", {.expect = Expect::Reject}},
        {"pillow-shortfile.bmp", {.expect = Expect::Reject, .status = ReadStatus::Truncated}},
        // Icons show their largest, deepest entry; the reference shows the first.
        {"imagers-multiple_entries_with_different_bit_depth.ico", {.firstEntry = true}},
        {"pillow-python.ico", {.firstEntry = true}},
        // The reference misreads the image after the 124-byte header; compared with the same
        // picture in a plain file. Its mask overlaps the colour profile, hence colours only.
        {"imagers-bmp_v5_with_icc.ico", {.coloursOnly = true, .sibling = "pillow-rgb24pal.bmp"}},
    };
    return table;
}

std::filesystem::path ReferenceFor(const std::string& name) {
    return testsupport::SamplesDir() / "reference" / "imagemagick" / (name + ".png");
}

QImage Strip(const QImage& image) {
    QImage opaque = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < opaque.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(opaque.scanLine(y));
        for (int x = 0; x < opaque.width(); ++x)
            row[x] |= 0xFF000000u;
    }
    return opaque;
}

void CheckFolder(const std::string& folder) {
    ZORVANE_REQUIRE_SAMPLES();
    const auto files = testsupport::SampleFiles(folder);
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const auto bytes = testsupport::ReadBytes(path);
        const bool icon = folder == "ico";
        const auto found = Differences().find(name);
        const Expectation e = found != Differences().end() ? found->second : Expectation{};

        QImage image;
        std::string reason;
        ReadStatus status = icon ? vcl::imageio::ReadIco(bytes, image, &reason)
                                 : vcl::imageio::ReadBmp(bytes, image, &reason);
        if (e.expect == Expect::Reject) {
            EXPECT_EQ(int(status), int(e.status)) << reason;
            continue;
        }
        const std::string refName = e.sibling.empty() ? name : e.sibling;
        const QImage reference(QString::fromStdString(ReferenceFor(refName).string()));
        if (e.expect == Expect::DecodeOnly || (reference.isNull() && e.sibling.empty())) {
            // Without a reference a file may be refused; tagged broken ones must just survive.
            if (e.expect == Expect::DecodeOnly) {
                EXPECT_EQ(status, ReadStatus::Ok) << reason;
            }
            if (status == ReadStatus::Ok) {
                EXPECT_FALSE(image.isNull());
            } else if (!testsupport::IsTaggedBroken(path)) {
                ADD_FAILURE() << "refused without a reference to say so: " << reason;
            }
            continue;
        }
        ASSERT_FALSE(reference.isNull()) << refName;
        ASSERT_EQ(status, ReadStatus::Ok) << reason;
        EXPECT_TRUE(image.format() == QImage::Format_RGB32 ||
                    image.format() == QImage::Format_ARGB32);
        if (e.firstEntry) {
            const QSize shown = image.size();
            ASSERT_EQ(vcl::imageio::ReadIcoEntry(bytes, 0, image, &reason), ReadStatus::Ok);
            EXPECT_GE(shown.width() * shown.height(), image.width() * image.height());
        }
        const auto d = e.coloursOnly
                           ? imageio_test::Compare(Strip(image), Strip(reference), e.tolerance)
                           : imageio_test::Compare(image, reference, e.tolerance);
        EXPECT_TRUE(d.sameSize && d.differing == 0)
            << d.Describe() << "; ours " << image.width() << "x" << image.height() << ", reference "
            << reference.width() << "x" << reference.height();
    }
}

TEST(SampleDecoding, BmpFiles) {
    CheckFolder("bmp");
}
TEST(SampleDecoding, IconAndCursorFiles) {
    CheckFolder("ico");
}

} // namespace
