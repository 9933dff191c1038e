// Real PIC files against two independent decoders' PNGs. Both widen 5-bit components their own
// way (one as 6 bits without the low bit, 31 -> 251; the other as v * 255 / 31), so our widened
// value is mapped back to the 5-bit component and then through each reference's rule: every
// pixel must then agree exactly.
#include <gtest/gtest.h>

#include <QImage>

#include "tests/plugins_pic/spi_harness.h"
#include "tests/support/samples.h"

namespace {

using pictest::Picture;

struct Reference {
    const char* folder;
    uint32_t (*widen)(uint32_t c5);
};

const Reference kReferences[] = {
    {"recoil", [](uint32_t c) { return (c << 3) | (c >> 3); }},
    {"picl2022", [](uint32_t c) { return c * 255 / 31; }},
};

uint32_t AsReference(uint32_t rgb, const Reference& ref) {
    uint32_t out = 0;
    for (int shift : {16, 8, 0})
        out |= ref.widen(((rgb >> shift) & 0xFF) >> 3) << shift;
    return out;
}

TEST(PicSamples, MatchIndependentDecoders) {
    ZORVANE_REQUIRE_SAMPLES();
    pictest::Plugin plugin("ifpic.spi");
    ASSERT_TRUE(plugin.loaded()) << platform::LastLibraryError();
    const auto files = testsupport::SampleFiles("pic");
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        Picture picture;
        ASSERT_EQ(plugin.DecodeFile(file.string(), 0, picture), SPI_OK);
        ASSERT_EQ(picture.bitsPerPixel, 24);
        // Ours widens by bit replication: 5-bit white is 255.
        for (uint32_t v : picture.rgb)
            for (int shift : {16, 8, 0}) {
                const uint32_t c = (v >> shift) & 0xFF;
                ASSERT_EQ(c, ((c >> 3) << 3) | (c >> 5));
            }
        int compared = 0;
        for (const Reference& ref : kReferences) {
            const auto png = testsupport::SamplesDir() / "reference" / ref.folder /
                             (file.filename().string() + ".png");
            QImage image;
            if (!image.load(QString::fromStdString(png.string()))) continue;
            ++compared;
            image = image.convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(image.width(), picture.width) << ref.folder;
            ASSERT_EQ(image.height(), picture.height) << ref.folder;
            int differing = 0;
            for (int y = 0; y < picture.height; ++y)
                for (int x = 0; x < picture.width; ++x)
                    differing +=
                        AsReference(picture.at(x, y), ref) != (image.pixel(x, y) & 0xFFFFFF);
            EXPECT_EQ(differing, 0) << ref.folder;
        }
        EXPECT_GT(compared, 0) << "no reference decoding";
    }
}

} // namespace
