// The thumbnail page against real folders of pictures: which entries each fill shows, the page
// trailing the scroll bar by one notification, the file count, and the failures a fill absorbs.
#include "fixture.h"

#include <QTest>

#include <fstream>

using namespace browsertest;
namespace fs = std::filesystem;

namespace {

using PageTest = BrowserFixture;

// One user step on the scroll bar: the notification, then its end.
void Step(TImageForm* form, vcl::TScrollCode code, int target) {
    form->ScrollBar1->Scroll(code, target);
    form->ScrollBar1->Scroll(vcl::scEndScroll, form->ScrollBar1->Position());
}

TEST_F(PageTest, PagesRunByEntryFromTheScrollPosition) {
    TImageForm* form = Open(Folder("thirty", 30));
    EXPECT_EQ(PaneNames(), Expected(0, 11));
    EXPECT_EQ(LabelTexts(), Expected(0, 11));
    EXPECT_EQ(form->FileListBox1->Tag(), 12);
    EXPECT_EQ(form->FileListBox1->ItemIndex(), 12);
    EXPECT_EQ(form->StatusBar1->Panels()->Items(0)->Text(), "File count = 30");

    Step(form, vcl::scTrack, 24);
    EXPECT_EQ(PaneNames(), Expected(24, 29));
    EXPECT_EQ(LabelTexts(), Expected(24, 29, kNoFileText));
    EXPECT_EQ(form->FileListBox1->Tag(), 30);

    Step(form, vcl::scBottom, form->ScrollBar1->Max()); // count - 1: only the first pane
    EXPECT_EQ(form->ScrollBar1->Position(), 29);
    EXPECT_EQ(PaneNames(), Expected(29, 29));
}

TEST_F(PageTest, ExactlyTwelveAndNoneAtAll) {
    TImageForm* form = Open(Folder("twelve", 12));
    EXPECT_EQ(PaneNames(), Expected(0, 11));
    EXPECT_EQ(form->FileListBox1->Tag(), 12);
    EXPECT_EQ(form->FileListBox1->ItemIndex(), 11) << "the list refused index 12";

    form->DirectoryListBox1->SetDirectory(Folder("empty", 0).string());
    EXPECT_EQ(PaneNames(), Expected(0, -1));
    EXPECT_EQ(LabelTexts(), std::vector<std::string>(kSlotCount, kNoFileText));
    EXPECT_EQ(form->StatusBar1->Panels()->Items(0)->Text(), "File count = 0");
    EXPECT_FALSE(form->ScrollBar1->Enabled());
}

TEST_F(PageTest, AnArrowClickFillsOnPressAndAgainOnRelease) {
    TImageForm* form = Open(Folder("thirty", 30));
    QWidget* bar = form->ScrollBar1->Bar();
    QTest::keyPress(bar, Qt::Key_Down);
    EXPECT_EQ(PaneNames(), Expected(0, 11)) << "filled from the old position";
    EXPECT_EQ(form->ScrollBar1->Position(), 4);
    EXPECT_EQ(form->ScrollBar1->Max(), 29) << "the first notification corrects Max";
    QTest::keyRelease(bar, Qt::Key_Down);
    EXPECT_EQ(PaneNames(), Expected(4, 15));
    QTest::keyClick(bar, Qt::Key_PageDown);
    EXPECT_EQ(form->ScrollBar1->Position(), 16);
    EXPECT_EQ(PaneNames(), Expected(16, 27));
}

TEST_F(PageTest, ANewFolderStartsAtEntryZeroAndTheThumbStaysUntilTheNextStep) {
    TImageForm* form = Open(Folder("hundred", 100));
    Step(form, vcl::scTrack, 50);
    EXPECT_EQ(PaneNames(), Expected(50, 61));
    form->DirectoryListBox1->SetDirectory(Folder("ten", 10).string());
    EXPECT_EQ(PaneNames(), Expected(0, 9));
    EXPECT_EQ(form->ScrollBar1->Position(), 50);
    EXPECT_EQ(form->ScrollBar1->Max(), 99);

    QWidget* bar = form->ScrollBar1->Bar();
    QTest::keyPress(bar, Qt::Key_Down);
    EXPECT_EQ(PaneNames(), Expected(9, 9)) << "clamped to the new maximum 9";
    QTest::keyRelease(bar, Qt::Key_Down);
    EXPECT_EQ(form->ScrollBar1->Position(), 9);
    EXPECT_EQ(PaneNames(), Expected(9, 9));
}

TEST_F(PageTest, ChoosingTheMaskInUseChangesNothing) {
    TImageForm* form = Open(Folder("some", 3));
    form->StatusBar1->Panels()->Items(0)->SetText("marker");
    form->FilterComboBox1->Choose(0);
    EXPECT_EQ(form->StatusBar1->Panels()->Items(0)->Text(), "marker");
    form->FilterComboBox1->Choose(2); // icons only
    EXPECT_EQ(form->StatusBar1->Panels()->Items(0)->Text(), "File count = 0");
}

TEST_F(PageTest, AFailingPictureLeavesItsPaneEmptyAndTheFillGoesOn) {
    const fs::path folder = Folder("broken", 3); // f00, f01, f02
    std::ofstream(folder / "f01x.jpg") << "this is no picture";
    TImageForm* form = Open(folder);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_NE(boxes_[0].text.find("f01x.jpg]"), std::string::npos) << boxes_[0].text;
    EXPECT_EQ(form->Pane(3)->PictureName(), "") << "the failed pane is empty";
    EXPECT_EQ(form->SlotLabel(3)->Caption(), "f01x.jpg") << "its label still names the file";
    EXPECT_EQ(form->Pane(4)->PictureName(), (folder / "f02.bmp").string());

    boxes_.clear();
    form->DirectoryListBox1->SetDirectory(root_.string());
    form->DirectoryListBox1->SetDirectory(folder.string());
    EXPECT_EQ(boxes_.size(), 2u) << "a change of folder fills the page twice";
}

TEST_F(PageTest, ACodePage932NameWithABackslashTrailByteIsShownWhole) {
    const fs::path folder = root_ / "sjis";
    fs::create_directories(folder);
    const std::string name = "\x95\x5c\x8e\xa6.bmp"; // 表示.bmp; 0x5C is the first trail byte
    WriteBmp(folder / name, 4, 4, 0xff0000);
    TImageForm* form = Open(folder);
    EXPECT_EQ(form->SlotLabel(1)->Caption(), name);
    EXPECT_EQ(form->SlotLabel(1)->DisplayText(), QString::fromUtf8("表示.bmp"));
    EXPECT_EQ(form->Pane(1)->PictureName(), (folder / name).string());
}

} // namespace
