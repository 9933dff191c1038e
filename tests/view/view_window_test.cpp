// The full view window: what double-clicks and the Enlarge command put into it, how it is shown,
// its failures, and its scroll bars.
#include "tests/view/program_fixture.h"

#include "browser/imagewin.h"
#include "view/viewwin.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace viewtest {
namespace {

class ViewWindowTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        CreateForms();
        folder = MakePictureFolder("pics", {"a.bmp", "b.bmp"});
        OpenFolder(folder);
    }
    QScrollArea* Scroller() const { return ViewForm->findChild<QScrollArea*>(); }
    fs::path folder;
};

TEST_F(ViewWindowTest, EveryDoubleClickLoadsItsPaneAndShowsTheWindow) {
    using Handler = void (TImageForm::*)(vcl::TObject*);
    const Handler handlers[kSlotCount] = {
        &TImageForm::All1DblClick,  &TImageForm::All2DblClick,  &TImageForm::All3DblClick,
        &TImageForm::All4DblClick,  &TImageForm::All5DblClick,  &TImageForm::All6DblClick,
        &TImageForm::All7DblClick,  &TImageForm::All8DblClick,  &TImageForm::All9DblClick,
        &TImageForm::All10DblClick, &TImageForm::All11DblClick, &TImageForm::All12DblClick};
    for (int k = 1; k <= kSlotCount; ++k) {
        SCOPED_TRACE(k);
        const fs::path file = folder / ("slot" + std::to_string(k) + ".bmp");
        WriteBmp(file, k, 2 * k);
        ImageForm->Pane(k)->SetPictureName(file.string());
        ViewForm->Close();
        (ImageForm->*handlers[k - 1])(ImageForm->Pane(k));
        EXPECT_EQ(ViewForm->All1->PictureName(), file.string());
        EXPECT_EQ(ViewForm->All1->Width(), k); // at its own size, not stretched
        EXPECT_EQ(ViewForm->All1->Height(), 2 * k);
        EXPECT_TRUE(ViewForm->isVisible());
    }
}

TEST_F(ViewWindowTest, TheRealDoubleClickReachesTheHandler) {
    ImageForm->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ImageForm));
    QTest::mouseDClick(ImageForm->All2, Qt::LeftButton);
    EXPECT_EQ(ViewForm->All1->PictureName(), (folder / "b.bmp").string());
    EXPECT_TRUE(ViewForm->isVisible());
}

TEST_F(ViewWindowTest, EachDoubleClickReadsTheFileAgain) {
    ImageForm->All1DblClick(ImageForm->All1);
    EXPECT_EQ(ViewForm->All1->Width(), 20);
    WriteBmp(folder / "a.bmp", 33, 44);
    ImageForm->All1DblClick(ImageForm->All1);
    EXPECT_EQ(ViewForm->All1->Width(), 33);
    EXPECT_EQ(ViewForm->All1->Height(), 44);
}

TEST_F(ViewWindowTest, AnEmptyPaneClearsTheViewAndShowsItEmpty) {
    ImageForm->All1DblClick(ImageForm->All1);
    ViewForm->Close();
    boxes.clear();
    ImageForm->All12DblClick(ImageForm->All12); // the page holds two files
    EXPECT_EQ(ViewForm->All1->PictureName(), "");
    EXPECT_EQ(ViewForm->All1->Picture()->Width(), 0);
    EXPECT_TRUE(ViewForm->isVisible());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ViewWindowTest, AReportedFailureLeavesTheViewEmptyAndShowsIt) {
    WriteBrokenBmp(folder / "a.bmp");
    boxes.clear();
    ImageForm->All1DblClick(ImageForm->All1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(ViewForm->All1->PictureName(), "");
    EXPECT_EQ(ViewForm->All1->Error(), 2);
    EXPECT_TRUE(ViewForm->isVisible());
}

TEST_F(ViewWindowTest, ADeletedBitmapIsReportedAndTheWindowDoesNotComeUp) {
    fs::remove(folder / "b.bmp");
    boxes.clear();
    RunFromEventLoop([] { ImageForm->All2DblClick(ImageForm->All2); });
    ASSERT_EQ(ErrorTexts().size(), 1u);
    EXPECT_EQ(ViewForm->All1->PictureName(), (folder / "b.bmp").string());
    EXPECT_FALSE(ViewForm->isVisible());
}

TEST_F(ViewWindowTest, EnlargeLoadsTheSourcePaneAndAlwaysShows) {
    ImageForm->PopupMenu1->SetPopupComponent(ImageForm->All2);
    ImageForm->K4Click(ImageForm->K4);
    EXPECT_EQ(ViewForm->All1->PictureName(), (folder / "b.bmp").string());
    EXPECT_TRUE(ViewForm->isVisible());
    // Without a source pane the window is shown with what it holds.
    ViewForm->Close();
    ImageForm->PopupMenu1->SetPopupComponent(ImageForm->Button3);
    ImageForm->K4Click(ImageForm->K4);
    EXPECT_EQ(ViewForm->All1->PictureName(), (folder / "b.bmp").string());
    EXPECT_TRUE(ViewForm->isVisible());
}

TEST_F(ViewWindowTest, AMinimizedViewStaysMinimized) {
    ImageForm->All1DblClick(ImageForm->All1);
    ViewForm->showMinimized();
    ImageForm->All2DblClick(ImageForm->All2);
    EXPECT_EQ(ViewForm->All1->PictureName(), (folder / "b.bmp").string());
    EXPECT_TRUE(ViewForm->isMinimized());
}

TEST_F(ViewWindowTest, ClosedWindowComesBackWithItsSizeAndPlace) {
    ImageForm->All1DblClick(ImageForm->All1);
    ViewForm->setGeometry(60, 70, 300, 200);
    const QRect before = ViewForm->geometry();
    ViewForm->close();
    EXPECT_FALSE(ViewForm->isVisible());
    ImageForm->All2DblClick(ImageForm->All2);
    EXPECT_EQ(ViewForm->geometry(), before);
}

TEST_F(ViewWindowTest, ScrollBarsComeForALargePictureAndGoForASmallOne) {
    WriteBmp(folder / "large.bmp", 900, 700);
    WriteBmp(folder / "small.bmp", 100, 80);
    ImageForm->All1->SetPictureName((folder / "large.bmp").string());
    ImageForm->All2->SetPictureName((folder / "small.bmp").string());
    ImageForm->All1DblClick(ImageForm->All1);
    ViewForm->resize(400, 300);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ViewForm));
    QScrollArea* area = Scroller();
    ASSERT_NE(area, nullptr);
    QTRY_VERIFY(area->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 900 - area->viewport()->width());
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 700 - area->viewport()->height());

    area->horizontalScrollBar()->setValue(200);
    ImageForm->All2DblClick(ImageForm->All2);
    QTRY_VERIFY(!area->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());
    // At the top-left corner of the client area.
    EXPECT_EQ(ViewForm->All1->mapTo(ViewForm, QPoint(0, 0)),
              area->viewport()->mapTo(ViewForm, QPoint(0, 0)));
    EXPECT_EQ(ViewForm->All1->Width(), 100);
}

} // namespace
} // namespace viewtest
