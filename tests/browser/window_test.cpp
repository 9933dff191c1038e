// The browser window's creation handler with stored settings, the close confirmation, its layout
// and its hint line.
#include "fixture.h"

#include "vcl/forms.h"

#include <QCursor>
#include <QScreen>
#include <QTest>

using namespace browsertest;

namespace {

using WindowTest = BrowserFixture;

TEST_F(WindowTest, FirstRunLeavesTheWindowToBeCentredWithEmptySavedDirectories) {
    TImageForm* form = Open(Folder("pics", 3));
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(form->DirectoryItem(n)->Caption(), "");
    EXPECT_EQ(form->Position(), vcl::poScreenCenter);
    EXPECT_EQ(form->FilterComboBox1->ItemIndex(), 0);
    EXPECT_EQ(form->ScrollBar1->Max(), 100) << "the creation handler ended at the read of x";
    EXPECT_EQ(form->StatusBar1->Panels()->Items(0)->Text(), "File count = 3");
    EXPECT_EQ(form->StatusBar1->Panels()->Items(1)->Text(), "simplehint");
    form->Show();
    const QRect screen = form->screen()->geometry();
    EXPECT_EQ(form->Left(), std::max(0, (screen.width() - form->frameGeometry().width()) / 2));
}

TEST_F(WindowTest, StoredPositionAndFilterAreApplied) {
    const auto folder = Folder("pics", 3);
    for (const char* name : {"a.jpg", "b.JPE", "c.gif"})
        WriteBmp(folder / name, 2, 2, 0);
    StoreString("DIR2", "/somewhere");
    StoreInteger("x", 10);
    StoreInteger("y", 20);
    StoreInteger("filter", 4);
    TImageForm* form = Open(folder);
    EXPECT_EQ(form->DirectoryItem(2)->Caption(), "/somewhere");
    form->Show();
    EXPECT_EQ(form->Left(), 10);
    EXPECT_EQ(form->Top(), 20);
    EXPECT_EQ(form->FilterComboBox1->ItemIndex(), 4);
    EXPECT_EQ(form->FileListBox1->Mask(), "*.jpg;*.jpe");
    EXPECT_EQ(form->FileListBox1->Count(), 2);
    EXPECT_EQ(form->ScrollBar1->Max(), 5) << "set from the list under the initial mask";
}

TEST_F(WindowTest, AStoredFilterOutsideTheListSelectsTheIconEntry) {
    for (int stored : {13, -1}) {
        SCOPED_TRACE(stored);
        StoreInteger("x", 0);
        StoreInteger("y", 0);
        StoreInteger("filter", stored);
        TImageForm* form = Open(Folder("pics" + std::to_string(stored), 2));
        EXPECT_EQ(form->FilterComboBox1->ItemIndex(), 12);
        EXPECT_EQ(form->FileListBox1->Mask(), "*.ico");
        EXPECT_EQ(form->FileListBox1->Count(), 0);
    }
}

TEST_F(WindowTest, APositionStoredAsTextEndsTheHandlerAfterTheCaptions) {
    StoreString("DIR1", "/one");
    StoreString("x", "10");
    StoreInteger("y", 20);
    StoreInteger("filter", 4);
    TImageForm* form = Open(Folder("pics", 2));
    EXPECT_EQ(form->DirectoryItem(1)->Caption(), "/one");
    EXPECT_EQ(form->Position(), vcl::poScreenCenter);
    EXPECT_EQ(form->FilterComboBox1->ItemIndex(), 0) << "the filter was never read";
}

TEST_F(WindowTest, CloseConfirmationDecidesWhetherTheProgramEnds) {
    Folder("pics", 1);
    std::filesystem::current_path(root_ / "pics");
    TImageForm* form = nullptr;
    vcl::Application->CreateForm(form);
    form_.reset(form);
    form->Show();

    answer_ = vcl::MsgButton::Cancel;
    form->K3Click(nullptr);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].title, "確認");
    EXPECT_EQ(boxes_[0].text, "終了します　よろしいですか？");
    EXPECT_EQ(boxes_[0].icon, vcl::MsgIcon::Question);
    EXPECT_EQ(boxes_[0].buttons,
              (std::vector<vcl::MsgButton>{vcl::MsgButton::Ok, vcl::MsgButton::Cancel}));
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(vcl::Application->Terminated());

    answer_ = vcl::MsgButton::Ok;
    form->close(); // the window's close box
    EXPECT_EQ(boxes_.size(), 2u);
    EXPECT_TRUE(vcl::Application->Terminated());
}

TEST_F(WindowTest, LayoutAsDesigned) {
    TImageForm* form = Open(Folder("pics", 1));
    EXPECT_EQ(form->ClientWidth(), 457);
    EXPECT_EQ(form->ClientHeight(), 294);
    EXPECT_EQ(form->Caption(), "Ｚｏｒｖａｎｅ　ver.101");
    EXPECT_EQ(form->Panel1->BoundsRect(), QRect(135, 0, 73, 65));
    EXPECT_EQ(form->All1->BoundsRect(), QRect(2, 2, 69, 61)) << "the pane fills its panel";
    EXPECT_EQ(form->All3->BoundsRect(), QRect(2, 2, 61, 61));
    EXPECT_EQ(form->Label7->BoundsRect(), QRect(296, 144, 65, 17));
    EXPECT_EQ(form->ScrollBar1->BoundsRect(), QRect(440, 0, 17, 249));
    EXPECT_EQ(form->ScrollBar1->SmallChange(), 4);
    EXPECT_EQ(form->ScrollBar1->LargeChange(), 12);
    EXPECT_FALSE(form->FileListBox1->Visible());
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(form->dir3->Caption(), "");
    EXPECT_EQ(form->K6->Count(), 5);
    EXPECT_EQ(form->KS1->Items(4), form->SaveDirectory51);
}

TEST_F(WindowTest, HintLineShowsTheStatusTextOfWhatTheMouseRestsOn) {
    TImageForm* form = Open(Folder("pics", 1));
    form->Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
    const std::pair<QWidget*, const char*> cases[] = {
        {form->All1, "縮小された画像が表示されます。"},
        {form->Label5, "Ｚｏｒｖａｎｅ　ver.101"},
        {form->ScrollBar1->Bar(), "Ｚｏｒｖａｎｅ　ver.101"},
        {form->Button3, "自動的にファイルを次々に拡大表示します。"},
        {form->StatusBar1, "ここにファイル数と説明が表示されます。"},
    };
    for (const auto& [widget, expected] : cases) {
        QCursor::setPos(widget->mapToGlobal(QPoint(3, 3)));
        QTest::qWait(30);
        vcl::Application->UpdateHint();
        EXPECT_EQ(form->StatusBar1->Panels()->Items(1)->Text(), expected);
    }
}

} // namespace

#include "shell/splash1.h"

#include <QPointer>

namespace {

TEST_F(WindowTest, TabCyclesThroughTheSixVisibleControlsInOrder) {
    TImageForm* form = Open(Folder("pics", 1));
    form->Show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
    form->DirectoryListBox1->SetFocus();
    const std::vector<vcl::TControl*> expected = {form->DirectoryListBox1, form->DriveComboBox1,
                                                  form->FilterComboBox1,   form->Button3,
                                                  form->ScrollBar1,        form->Button4};
    for (size_t i = 0; i <= expected.size(); ++i) {
        EXPECT_EQ(vcl::TControl::FromWidget(QApplication::focusWidget()),
                  expected[i % expected.size()])
            << "stop " << i;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

TEST_F(WindowTest, TheSplashGoesAwayWhenAnotherWindowTakesTheActivation) {
    QPointer<TSplashWindow> splash = new TSplashWindow(nullptr);
    splash->Show();
    splash->Update();
    EXPECT_EQ(splash->ClientWidth(), 314);
    EXPECT_EQ(splash->ClientHeight(), 129);
    EXPECT_TRUE(QTest::qWaitForWindowActive(splash.data()));
    TImageForm* form = Open(Folder("pics", 1));
    form->Show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 2000));
    EXPECT_TRUE(splash.isNull());
}

} // namespace
