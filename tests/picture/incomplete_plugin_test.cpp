// Plug-in libraries that are missing or lack an entry point their path calls.
#include "pane_fixture.h"

using spiscript::PictureReply;

namespace {

using IncompletePluginTest = PaneTest;

struct MissingCase {
    const char* path;
    const char* reason;
};

class MissingLibraryTest : public PaneTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingLibraryTest, ReportedWithTheLabelAndCode20AfterTheBox) {
    const MissingCase c = GetParam();
    pane->SetPictureName(c.path);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, std::string(c.reason) + " [" + c.path + "]");
    EXPECT_EQ(shown[0].error, 0) << "Error becomes 20 only after the box closes";
    EXPECT_EQ(shown[0].pictureName, c.path);
    EXPECT_EQ(pane->Error(), 20);
    EXPECT_EQ(pane->PictureName(), "");
}

INSTANTIATE_TEST_SUITE_P(Libraries, MissingLibraryTest,
                         ::testing::Values(MissingCase{"/p/a.gif", "IFGIF.SPI not found"},
                                           MissingCase{"/p/a.jpg", "IFJPG.SPI not found"},
                                           MissingCase{"/p/a.JPE", "IFJPG.SPI not found"}));

TEST_F(IncompletePluginTest, MissingJpegLibraryKeepsPreviewAndSizes) {
    pane->SetPreView(true);
    pane->SetPictureName("/p/a.jpg");
    EXPECT_TRUE(pane->PreView());
    EXPECT_EQ(pane->Error(), 20);
    pane->SetPictureName("/p/a.gif");
    EXPECT_FALSE(pane->PreView()) << "reset before the library is found missing";
}

struct LackingCase {
    const char* path;
};

class LackingEntryTest : public PaneTest, public ::testing::WithParamInterface<LackingCase> {};

TEST_P(LackingEntryTest, ReportedAsOtherErrorWithNothingCalled) {
    spiscript::QueuePicture("ifpic", "GetPicture", {SPI_OK, 2, 2, 24});
    pane->SetPictureName(GetParam().path);
    EXPECT_EQ(pane->Error(), -1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, std::string("その他のエラー [") + GetParam().path + "]");
    EXPECT_TRUE(EntryCalls().empty());
    EXPECT_EQ(pane->PictureName(), "");
}

INSTANTIATE_TEST_SUITE_P(Entries, LackingEntryTest,
                         ::testing::Values(LackingCase{"/p/no-info.pic"},
                                           LackingCase{"/p/no-picture.tif"}));

TEST_F(IncompletePluginTest, CompleteLibraryBesideThemStillLoads) {
    spiscript::QueuePicture("ifpic2", "GetPicture", {SPI_OK, 2, 2, 24});
    spiscript::QueueInfo("ifpic2", {SPI_OK, 2, 2, 1, 1});
    pane->SetPictureName("/p/a.p2");
    EXPECT_EQ(pane->Error(), 0);
}

} // namespace
