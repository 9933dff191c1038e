// The pane's properties: a new pane, writing the name and PreView, the built-in loader's
// outcomes and the failure it lets through.
#include "pane_fixture.h"

#include "vcl/sysutils.h"

#include <QTemporaryDir>

#include <cstring>
#include <fstream>

using spiscript::PictureReply;

namespace {

// A 3 x 2 24-bit BMP file.
std::vector<uint8_t> SmallBmp() {
    const uint32_t stride = 12, pixelsAt = 54, fileSize = pixelsAt + stride * 2;
    std::vector<uint8_t> file(fileSize, 0x80);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
    auto put16 = [&](size_t at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, fileSize);
    put32(6, 0);
    put32(10, pixelsAt);
    put32(14, 40);
    put32(18, 3);
    put32(22, 2);
    put16(26, 1);
    put16(28, 24);
    put32(30, 0);
    put32(34, stride * 2);
    for (size_t at = 38; at < 54; ++at)
        file[at] = 0;
    return file;
}

class PanePropertiesTest : public PaneTest {
protected:
    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = (dir_.path() + "/").toStdString() + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    void LoadJpeg(int32_t width, int32_t height) {
        spiscript::QueueInfo("ifjpeg", {SPI_OK, width, height});
        spiscript::QueuePicture("ifjpeg", pane->PreView() ? "GetPreview" : "GetPicture",
                                {SPI_OK, width, height, 24});
        pane->SetPictureName("/p/a.jpg");
        ASSERT_EQ(pane->Error(), 0);
    }

private:
    QTemporaryDir dir_;
};

TEST_F(PanePropertiesTest, NewPaneIsEmptyAndAutoSized) {
    EXPECT_EQ(pane->PictureName(), "");
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_FALSE(pane->PreView());
    EXPECT_TRUE(pane->AutoSize());
    EXPECT_EQ(pane->size(), QSize(105, 105));
    EXPECT_EQ(pane->Picture()->Graphic(), nullptr);
}

TEST_F(PanePropertiesTest, EmptyNameEmptiesThePictureButKeepsJpegSizes) {
    LoadJpeg(30, 20);
    pane->SetPictureName("");
    EXPECT_EQ(pane->Picture()->Graphic(), nullptr);
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_EQ(pane->OrgWidth(), 30);
    EXPECT_EQ(pane->OrgHeight(), 20);
    EXPECT_EQ(pane->size(), QSize(30, 20)) << "an emptied picture leaves the size";
}

TEST_F(PanePropertiesTest, SamePathLoadsAgainAndFailsAgain) {
    LoadJpeg(4, 4);
    LoadJpeg(4, 4);
    EXPECT_EQ(EntryCalls().size(), 4u);
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_BROKEN_DATA});
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_BROKEN_DATA});
    pane->SetPictureName("/p/x.gif");
    pane->SetPictureName("/p/x.gif");
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(PanePropertiesTest, PreviewReloadsJpegAtAQuarterWithoutEmptyingFirst) {
    LoadJpeg(40, 40);
    spiscript::QueueInfo("ifjpeg", {SPI_OK, 40, 40});
    spiscript::QueuePicture("ifjpeg", "GetPreview", {SPI_OK, 10, 10, 24});
    QSize sizeDuringDecode;
    spiscript::SetDuringCall([&](const spiscript::Call& call) {
        if (call.entry == "GetPreview") sizeDuringDecode = PictureSize();
    });
    pane->SetPreView(true);
    EXPECT_EQ(sizeDuringDecode, QSize(40, 40)) << "the old picture stays while reloading";
    EXPECT_EQ(PictureSize(), QSize(10, 10));
    EXPECT_TRUE(pane->PreView());
    EXPECT_EQ(pane->OrgWidth(), 40);
}

TEST_F(PanePropertiesTest, PreviewOnAGifReloadsItAndReadsFalse) {
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_OK, 5, 5, 8});
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_OK, 5, 5, 8});
    pane->SetPictureName("/p/x.gif");
    pane->SetPreView(true);
    EXPECT_FALSE(pane->PreView());
    EXPECT_EQ(EntryCalls().size(), 2u);
}

TEST_F(PanePropertiesTest, FailedReloadFromPreviewKeepsThePreviousPicture) {
    LoadJpeg(12, 12);
    spiscript::QueueInfo("ifjpeg", {SPI_BROKEN_DATA});
    spiscript::QueueInfo("ifjpeg", {SPI_BROKEN_DATA});
    pane->SetPreView(true);
    EXPECT_EQ(pane->Error(), 3);
    EXPECT_EQ(pane->PictureName(), "");
    EXPECT_EQ(PictureSize(), QSize(12, 12));
}

TEST_F(PanePropertiesTest, BuiltInLoaderResetsPreviewAndSizes) {
    pane->SetPreView(true);
    LoadJpeg(8, 8);
    const std::string bmp = WriteFile("ok.bmp", SmallBmp());
    pane->SetPictureName(bmp);
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_EQ(pane->PluginKind(), 0);
    EXPECT_EQ(PictureSize(), QSize(3, 2));
    EXPECT_FALSE(pane->PreView());
    EXPECT_EQ(pane->OrgWidth(), 0);
    EXPECT_EQ(pane->PictureName(), bmp);
}

TEST_F(PanePropertiesTest, InvalidBuiltInContentIsUnknownFormatAndKeepsPreview) {
    pane->SetPreView(true);
    LoadJpeg(8, 8);
    std::vector<uint8_t> garbage(200);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<uint8_t>(i * 37 + 11);
    const std::string bmp = WriteFile("garbage.BMP", garbage);
    pane->SetPictureName(bmp);
    EXPECT_EQ(pane->Error(), 2);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, "未知のフォーマット [" + bmp + "]");
    EXPECT_EQ(shown[0].pictureName, bmp);
    EXPECT_EQ(pane->PictureName(), "");
    EXPECT_TRUE(pane->PreView());
    EXPECT_EQ(pane->OrgWidth(), 8);
}

TEST_F(PanePropertiesTest, MissingBuiltInFileLeavesAsExceptionWithTheNameSet) {
    LoadJpeg(8, 8);
    const std::string missing = "/nonexistent-folder/none.bmp";
    EXPECT_THROW(pane->SetPictureName(missing), vcl::EFOpenError);
    EXPECT_EQ(pane->PictureName(), missing);
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_EQ(pane->Picture()->Graphic(), nullptr);
    EXPECT_EQ(pane->OrgWidth(), 8);
    EXPECT_TRUE(shown.empty());
}

TEST_F(PanePropertiesTest, MetafileIsNotYetReadable) {
    const std::string wmf = WriteFile("a.wmf", std::vector<uint8_t>(64, 1));
    pane->SetPictureName(wmf);
    EXPECT_EQ(pane->Error(), 2) << "metafiles are refused as content we cannot read yet";
}

} // namespace
