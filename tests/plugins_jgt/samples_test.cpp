// The shared sample pictures through the real plug-ins: each one either decodes to what an
// independent decoder made of it (within a small tolerance) or is refused with a clean code.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "tests/plugins_jgt/plugin_host.h"
#include "tests/support/samples.h"

namespace jgt {
namespace {

enum class Alpha {
    None,        // opaque pictures
    SkipPartial, // compare only what the reference shows opaque
    OverBlack,   // the plug-in delivers transparent parts composited over black
};

struct FormatCase {
    const char* folder;
    const char* plugin;
    Alpha alpha;
    int channelTolerance; // a pixel differs when one channel is off by more
    double meanTolerance; // mean channel difference allowed over the compared pixels
};

const FormatCase kFormats[] = {
    {"jpeg", "ifjpeg.spi", Alpha::None, 12, 1.5},
    {"gif", "ifgif.spi", Alpha::SkipPartial, 0, 0.0},
    {"tiff", "iftiff.spi", Alpha::OverBlack, 2, 0.5},
};

// Samples whose picture differs from the reference on purpose, and why.
const std::map<std::string, std::string> kKnownDifferences = {
    // The reference ignores min-is-white above 1 bit per sample; libtiff's own RGBA conversion
    // inverts, as we do.
    {"imgtiff-seq-1c-10b-miniswhite-6d739fa2.tiff", "min-is-white"},
    {"imgtiff-seq-1c-12b-miniswhite-47c39b31.tiff", "min-is-white"},
    {"imgtiff-seq-1c-3b-miniswhite-ef237c07.tiff", "min-is-white"},
    {"imgtiff-seq-1c-4b-miniswhite-fb92dcae.tiff", "min-is-white"},
    {"imgtiff-seq-1c-6b-miniswhite-79cafbb6.tiff", "min-is-white"},
    {"imgtiff-seq-1c-24b-miniswhite-072a9dc9.tiff", "min-is-white"},
    // Signed grey: the most negative value is black; the reference reads 8-bit samples as
    // unsigned, so its ramp wraps in the middle.
    {"imgtiff-seq-1c-i8-f8446bbe.tiff", "signed"},
    // Three signed samples under a grey photometric: libtiff's RGBA reader takes them as
    // unsigned grey with extra samples.
    {"imgtiff-seq-3c-i16-f7fcf423.tiff", "signed colour"},
    // Associated alpha: the reference stores the premultiplied colours as they are, so its
    // PNG is already "over black".
    {"imgtiff-minisblack-2c-8b-alpha.tiff", "associated alpha"},
    // A predictor on uncompressed data: libtiff ignores it (it belongs to LZW and Deflate); the
    // reference applies it.
    {"imgtiff-seq-1c-24b-hpredict-072a9dc9.tiff", "predictor without compression"},
    // The frame reaches beyond its screen: it is clipped to the screen here.
    {"imagers-oob.gif", "frame clipped"},
};

// Where the first frame of a GIF lies on its screen: the reference holds the frame alone.
bool GifFrameOrigin(const std::filesystem::path& file, int& left, int& top) {
    const std::vector<uint8_t> b = testsupport::ReadBytes(file);
    if (b.size() < 13) return false;
    size_t p = 13;
    if (b[10] & 0x80) p += 3u << ((b[10] & 7) + 1);
    while (p + 10 <= b.size() && b[p] == 0x21) {
        p += 2;
        while (p < b.size() && b[p] != 0)
            p += b[p] + 1u;
        ++p;
    }
    if (p + 10 > b.size() || b[p] != 0x2C) return false;
    left = b[p + 1] | b[p + 2] << 8;
    top = b[p + 3] | b[p + 4] << 8;
    return true;
}

// With ZORVANE_DUMP_DIR set, every decoded picture is written there as PNG to look at.
void Dump(const Picture& p, const std::string& name) {
    const QByteArray dir = qgetenv("ZORVANE_DUMP_DIR");
    if (dir.isEmpty()) return;
    QImage image(p.width(), p.height(), QImage::Format_RGB32);
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            image.setPixel(x, y, 0xFF000000u | p.Bgr(x, y));
    image.save(QString::fromUtf8(dir) + "/" + QString::fromStdString(name) + ".png");
}

struct Comparison {
    int compared = 0;
    int differing = 0;
    double meanDifference = 0;
};

Comparison Compare(const Picture& p, const QImage& ref, const FormatCase& f, int left, int top) {
    Comparison c;
    double sum = 0;
    for (int y = 0; y < ref.height(); ++y)
        for (int x = 0; x < ref.width(); ++x) {
            const QRgb r = ref.pixel(x, y);
            const int a = qAlpha(r);
            if (f.alpha == Alpha::SkipPartial && a < 255) continue;
            int er = qRed(r), eg = qGreen(r), eb = qBlue(r);
            if (f.alpha == Alpha::OverBlack) {
                er = (er * a + 127) / 255;
                eg = (eg * a + 127) / 255;
                eb = (eb * a + 127) / 255;
            }
            if (x + left >= p.width() || y + top >= p.height()) continue; // clipped by the screen
            const uint32_t got = p.Bgr(x + left, y + top);
            const int dr = std::abs(int(got >> 16 & 255) - er);
            const int dg = std::abs(int(got >> 8 & 255) - eg);
            const int db = std::abs(int(got & 255) - eb);
            sum += dr + dg + db;
            ++c.compared;
            if (std::max({dr, dg, db}) > f.channelTolerance) ++c.differing;
        }
    c.meanDifference = c.compared ? sum / (3.0 * c.compared) : 0;
    return c;
}

class SamplePictures : public ::testing::TestWithParam<FormatCase> {};

TEST_P(SamplePictures, DecodeLikeTheReferenceOrFailCleanly) {
    ZORVANE_REQUIRE_SAMPLES();
    const FormatCase& f = GetParam();
    Plugin plugin(f.plugin);
    ASSERT_TRUE(plugin.loaded()) << platform::LastLibraryError();
    const size_t liveBefore = GlobalLiveHandles();
    const auto files = testsupport::SampleFiles(f.folder);
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        const bool broken = testsupport::IsTaggedBroken(file);
        SpiPictureInfo info{};
        const int32_t infoRc = plugin.InfoFile(file.string(), 0, info);
        if (infoRc == SPI_OK && info.textInfo) GlobalFree(info.textInfo);
        const Picture p = plugin.DecodeFile(file.string(), 0);
        const auto refPath =
            testsupport::SamplesDir() / "reference" / "imagemagick" / (name + ".png");
        const bool haveRef = std::filesystem::exists(refPath);
        std::printf("[sample] %-60s %s rc=%d info=%d", name.c_str(), broken ? "BROKEN" : "      ",
                    p.rc, infoRc);
        if (p.rc != SPI_OK) {
            std::printf(" %s\n", haveRef ? "(reference decodes)" : "");
            EXPECT_TRUE(p.rc == SPI_NOT_SUPPORTED || p.rc == SPI_BROKEN_DATA ||
                        p.rc == SPI_NO_MEMORY || p.rc == SPI_FILE_READ_ERROR)
                << "unexpected code " << p.rc;
            continue;
        }
        EXPECT_TRUE(p.handlesWereUnlocked);
        EXPECT_EQ(infoRc, SPI_OK);
        if (infoRc == SPI_OK) {
            EXPECT_EQ(+info.width, p.width());
            EXPECT_EQ(+info.height, p.height());
        }
        if (!haveRef) {
            std::printf(" (no reference)\n");
            continue;
        }
        QImage ref(QString::fromStdString(refPath.string()));
        ASSERT_FALSE(ref.isNull());
        ref = ref.convertToFormat(QImage::Format_ARGB32);
        Dump(p, name);
        // The GIF reference is the first frame without its screen: compare it where it lies.
        int left = 0, top = 0;
        const bool gif = std::string(f.folder) == "gif";
        if (gif && (ref.width() != p.width() || ref.height() != p.height()))
            GifFrameOrigin(file, left, top);
        if (!gif && (ref.width() != p.width() || ref.height() != p.height())) {
            std::printf(" size %dx%d, reference %dx%d\n", p.width(), p.height(), ref.width(),
                        ref.height());
            EXPECT_TRUE(kKnownDifferences.count(name)) << "size differs from the reference";
            continue;
        }
        const Comparison c = Compare(p, ref, f, left, top);
        std::printf(" %dx%d %d-bit mean %.3f differing %d/%d\n", p.width(), p.height(),
                    p.header.biBitCount, c.meanDifference, c.differing, c.compared);
        if (kKnownDifferences.count(name)) continue;
        EXPECT_LE(c.meanDifference, f.meanTolerance);
        EXPECT_LE(c.differing, c.compared / 100) << "pixels beyond the tolerance";
    }
    EXPECT_EQ(GlobalLiveHandles(), liveBefore);
}

INSTANTIATE_TEST_SUITE_P(Formats, SamplePictures, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.folder); });

} // namespace
} // namespace jgt
