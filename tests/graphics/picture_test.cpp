// The picture object: reader by extension, the exceptions for each kind of bad file, copies that
// stay independent, and the sample bitmaps and icons through our readers.
#include "tests/support/samples.h"
#include "vcl/graphics.h"
#include "vcl/sysutils.h"

#include <QTemporaryDir>

#include <fstream>

namespace {

std::string Write(const QTemporaryDir& dir, const std::string& name,
                  const std::vector<uint8_t>& bytes) {
    const std::string path = (dir.path() + "/").toStdString() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

enum class Raised { InvalidGraphic, ReadError, OpenError };

struct BadFile {
    const char* name;
    std::vector<uint8_t> bytes;
    Raised raised;
};

class BadPictureFileTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadPictureFileTest, RaisesItsExceptionAndKeepsThePicture) {
    QTemporaryDir dir;
    const BadFile& c = GetParam();
    const std::string path = Write(dir, c.name, c.bytes);
    vcl::TPicture picture;
    picture.SetGraphic(std::make_unique<vcl::TBitmap>(QImage(2, 2, QImage::Format_RGB32)));
    const vcl::TGraphic* before = picture.Graphic();
    int changes = 0;
    picture.OnChange = [&](vcl::TPicture*) { ++changes; };
    try {
        picture.LoadFromFile(path);
        ADD_FAILURE() << "no exception for " << c.name;
    } catch (const vcl::EInvalidGraphic&) {
        EXPECT_EQ(c.raised, Raised::InvalidGraphic) << c.name;
    } catch (const vcl::EReadError&) {
        EXPECT_EQ(c.raised, Raised::ReadError) << c.name;
    }
    EXPECT_EQ(picture.Graphic(), before);
    EXPECT_EQ(changes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadPictureFileTest,
    ::testing::Values(
        BadFile{"garbage.bmp", std::vector<uint8_t>(100, 0x5A), Raised::InvalidGraphic},
        BadFile{"cut.bmp", {'B', 'M', 0x40}, Raised::ReadError},
        BadFile{"empty.bmp", {}, Raised::ReadError},
        BadFile{"garbage.ico", std::vector<uint8_t>(100, 0x5A), Raised::InvalidGraphic},
        BadFile{"any.wmf", std::vector<uint8_t>(100, 0x01), Raised::InvalidGraphic},
        BadFile{"any.emf", std::vector<uint8_t>(100, 0x01), Raised::InvalidGraphic},
        BadFile{"picture.png", std::vector<uint8_t>(100, 0x01), Raised::InvalidGraphic}));

TEST(PictureTest, UnopenableFileIsAnOpenError) {
    vcl::TPicture picture;
    EXPECT_THROW(picture.LoadFromFile("/nonexistent-folder/a.bmp"), vcl::EFOpenError);
    QTemporaryDir dir;
    const std::string folder = (dir.path() + "/folder.bmp").toStdString();
    QDir().mkpath(QString::fromStdString(folder));
    EXPECT_THROW(picture.LoadFromFile(folder), vcl::EFOpenError);
}

TEST(PictureTest, AssignedGraphicIsAnIndependentCopy) {
    vcl::TBitmap bitmap;
    bitmap.SetSize(4, 3);
    bitmap.SetPalette(platform::CreatePalette({0x300, {{1, 2, 3, 0}}}));
    vcl::TPicture picture;
    picture.SetGraphic(&bitmap);
    ASSERT_NE(picture.Bitmap(), nullptr);
    EXPECT_NE(picture.Graphic(), &bitmap);
    EXPECT_EQ(picture.Bitmap()->Palette(), bitmap.Palette()) << "the copy shares the palette";
    bitmap.Handle().pixels[0] = 0xFF000000;
    EXPECT_EQ(picture.Bitmap()->Image().pixel(0, 0), 0xFFFFFFFFu) << "writing one detaches it";
    bitmap.SetSize(10, 10);
    EXPECT_EQ(picture.Width(), 4);
}

TEST(BitmapTest, ResizingKeepsPixelsAndRefusesWhatCannotBeHeld) {
    vcl::TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Handle().pixels, nullptr);
    bitmap.SetWidth(3);
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetHeight(2);
    ASSERT_EQ(bitmap.Width(), 3);
    bitmap.Handle().pixels[0] = 0xFF112233;
    bitmap.SetSize(5, 5);
    EXPECT_EQ(bitmap.Image().pixel(0, 0), 0xFF112233u);
    EXPECT_EQ(bitmap.Image().pixel(4, 4), 0xFFFFFFFFu);
    EXPECT_THROW(bitmap.SetSize(100000, 100000), vcl::EOutOfResources);
    EXPECT_EQ(bitmap.Width(), 5);
}

TEST(PictureSamplesTest, BitmapsAndIconsLoadOrFailCleanly) {
    ZORVANE_REQUIRE_SAMPLES();
    for (const char* format : {"bmp", "ico"}) {
        for (const auto& sample : testsupport::SampleFiles(format)) {
            vcl::TPicture picture;
            try {
                picture.LoadFromFile(sample.string());
                EXPECT_FALSE(picture.Graphic()->Empty()) << sample;
                if (std::string(format) == "bmp")
                    EXPECT_NE(picture.Bitmap(), nullptr) << sample;
                else
                    EXPECT_NE(dynamic_cast<vcl::TIcon*>(picture.Graphic()), nullptr) << sample;
            } catch (const vcl::EInvalidGraphic&) {
            } catch (const vcl::EReadError&) {
            }
        }
    }
}

} // namespace
