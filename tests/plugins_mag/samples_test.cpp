// Real MAG and Pi files decoded through the plug-ins and compared with what independent
// decoders made of them. Deark keeps the stored MAG palette bytes, as we do, so it must agree
// exactly; RECOIL reduces each MAG colour to the depth of the machine it infers, so its colours
// may lie a few levels away while the picture is the same. For Pi, RECOIL widens 4-bit palette
// levels as we do and must agree exactly.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "tests/plugins_mag/spi_host.h"
#include "tests/support/samples.h"

namespace {

using magtest::Picture;
using magtest::Plugin;

struct Reference {
    const char* format; // samples/files/<format>
    const char* plugin;
    const char* decoder; // samples/reference/<decoder>
    int tolerance;       // largest difference of a colour component
};

// RECOIL rounds 8-bit MAG palette bytes to the depth of the machine it infers and widens them
// again; on these files that moves a component by up to 7.
constexpr Reference kReferences[] = {
    {"mag", "ifmag.spi", "deark", 0},
    {"mag", "ifmag.spi", "recoil", 8},
    {"pi", "ifpi.spi", "recoil", 0},
};

int Channel(uint32_t rgb, int shift) {
    return int(rgb >> shift & 0xFF);
}

// Rows whose flag bits a MAG file really holds. One pymag file (227x149-256c) declares 8344 bits
// of flags where its 149 rows of 57 flags need 8493, so its last three rows have no flags of
// their own: Deark reads on into the next stream, we read zeros. Neither is the picture; rows
// beyond this are not compared.
int RowsWithFlags(const std::vector<uint8_t>& f, int height) {
    auto le = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int i = n; i-- > 0;)
            v = v << 8 | f.at(at + i);
        return v;
    };
    const size_t start =
        size_t(std::find(std::find(f.begin(), f.end(), 0x1A), f.end(), 0) - f.begin());
    const bool sixteen = !(f.at(start + 3) & 0x80);
    const uint32_t x1 = le(start + 4, 2), x2 = le(start + 8, 2);
    const uint32_t left = (sixteen ? x1 / 2 : x1) & ~3u,
                   right = ((sixteen ? x2 / 2 : x2) + 4) & ~3u;
    const uint64_t flagBits = uint64_t(le(start + 16, 4) - le(start + 12, 4)) * 8;
    return int(std::min<uint64_t>(uint64_t(height), flagBits / ((right - left) / 4)));
}

TEST(PluginSamples, MatchIndependentDecoders) {
    ZORVANE_REQUIRE_SAMPLES();
    for (const Reference& ref : kReferences) {
        Plugin plugin(ref.plugin);
        ASSERT_TRUE(plugin.complete()) << ref.plugin;
        for (const auto& file : testsupport::SampleFiles(ref.format)) {
            const auto png = testsupport::SamplesDir() / "reference" / ref.decoder /
                             (file.filename().string() + ".png");
            if (!std::filesystem::exists(png)) continue; // that decoder refused the file
            SCOPED_TRACE(file.filename().string() + " against " + ref.decoder);
            const QImage expected =
                QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB32);
            ASSERT_FALSE(expected.isNull());
            Picture picture;
            ASSERT_EQ(plugin.LoadLikeHost(file, picture), SPI_OK);
            ASSERT_EQ(picture.width, expected.width());
            ASSERT_EQ(picture.height, expected.height());
            int worst = 0;
            const int rows = ref.format == std::string("mag")
                                 ? RowsWithFlags(testsupport::ReadBytes(file), picture.height)
                                 : picture.height;
            EXPECT_GE(rows, picture.height - 3);
            for (int y = 0; y < rows; ++y) {
                for (int x = 0; x < picture.width; ++x) {
                    const uint32_t want = expected.pixel(x, y) & 0xFFFFFF;
                    const uint32_t got = picture.rgb(x, y);
                    for (int shift : {0, 8, 16})
                        worst =
                            std::max(worst, std::abs(Channel(want, shift) - Channel(got, shift)));
                }
            }
            EXPECT_LE(worst, ref.tolerance);
        }
    }
}

} // namespace
