// The slide show: its start from the dialog, its ticks through the file list, its end, its stop
// by closing the view window, failing files, and ticks that arrive behind an open message box.
#include "tests/view/program_fixture.h"

#include "browser/imagewin.h"
#include "view/viewsetup.h"
#include "view/viewwin.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTest>

namespace viewtest {
namespace {

constexpr const char* kClosed = "(view closed)";

class SlideShowTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        CreateForms();
    }

    // One tick; what the view shows after it, or kClosed once the show has closed it.
    std::string Tick() {
        ImageForm->Timer1Timer(ImageForm->Timer1);
        if (!ViewForm->isVisible()) return kClosed;
        return fs::path(ViewForm->All1->PictureName()).filename().string();
    }
    std::vector<std::string> Ticks(int count) {
        std::vector<std::string> shown;
        for (int i = 0; i < count; ++i)
            shown.push_back(Tick());
        return shown;
    }
    void Start(bool fromFirst, bool loop) {
        OKRightDlg->RadioButton2->SetChecked(fromFirst);
        OKRightDlg->RadioButton1->SetChecked(!fromFirst);
        OKRightDlg->CheckBox1->SetChecked(loop);
        OKRightDlg->Button1Click(OKRightDlg->Button1);
    }
    std::vector<std::string> Names(int count, int first = 0) {
        std::vector<std::string> names;
        for (int i = first; i < first + count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "f%02d.bmp", i);
            names.push_back(name);
        }
        return names;
    }
};

struct ShowCase {
    const char* title;
    int files;
    bool fromFirst;
    bool loop;
    int cursor; // the page cursor at the start; -2 leaves it where the page fill put it
    std::vector<std::string> shown;
};

TEST_F(SlideShowTest, WalksTheFileListFromItsStart) {
    const ShowCase cases[] = {
        {"three from the first",
         3,
         true,
         false,
         1,
         {"f00.bmp", "f01.bmp", "f02.bmp", kClosed, kClosed}},
        {"three from the first, looping",
         3,
         true,
         true,
         2,
         {"f00.bmp", "f01.bmp", "f02.bmp", "f00.bmp", "f01.bmp"}},
        {"one from the first", 1, true, false, 0, {"f00.bmp", kClosed}},
        {"one from the first, looping", 1, true, true, 0, {"f00.bmp", "f00.bmp", "f00.bmp"}},
        {"three from the current one", 3, false, false, 1, {"f01.bmp", "f02.bmp", kClosed}},
        {"current after a fill that placed the last entry",
         3,
         false,
         false,
         -2,
         {"f02.bmp", kClosed}},
        {"no entry current", 3, false, true, -1, {kClosed}},
        {"after a full page of fourteen", 14, false, false, -2, {"f12.bmp", "f13.bmp", kClosed}},
    };
    for (const ShowCase& c : cases) {
        SCOPED_TRACE(c.title);
        const fs::path folder = MakePictureFolder(c.title, Names(c.files));
        OpenFolder(folder);
        if (c.cursor != -2) ImageForm->FileListBox1->SetItemIndex(c.cursor);
        ViewForm->All1->SetPictureName("");
        Start(c.fromFirst, c.loop);
        EXPECT_TRUE(ImageForm->Timer1->Enabled());
        EXPECT_TRUE(ViewForm->isVisible());
        EXPECT_FALSE(OKRightDlg->isVisible());
        EXPECT_EQ(Ticks(int(c.shown.size())), c.shown);
        EXPECT_EQ(ImageForm->Timer1->Enabled(), c.shown.back() != kClosed);
        ViewForm->Close();
    }
}

TEST_F(SlideShowTest, StartShowsTheViewWithItsOldPictureUntilTheFirstTick) {
    const fs::path folder = MakePictureFolder("pics", Names(2));
    WriteBmp(root / "old.bmp", 7, 5);
    OpenFolder(folder);
    ViewForm->All1->SetPictureName((root / "old.bmp").string());
    OKRightDlg->SpinEdit1->SetValue(7);
    Start(true, false);
    EXPECT_EQ(ImageForm->Timer1->Interval(), 7000);
    EXPECT_EQ(ViewForm->All1->PictureName(), (root / "old.bmp").string());
    EXPECT_EQ(ImageForm->FileListBox1->ItemIndex(), 0);
}

TEST_F(SlideShowTest, LoopBoxIsReadAtEveryTick) {
    OpenFolder(MakePictureFolder("pics", Names(2)));
    Start(true, false);
    EXPECT_EQ(Tick(), "f00.bmp");
    OKRightDlg->CheckBox1->SetChecked(true);
    EXPECT_EQ(Tick(), "f01.bmp");
    EXPECT_EQ(Tick(), "f00.bmp");
    OKRightDlg->CheckBox1->SetChecked(false);
    EXPECT_EQ(Tick(), "f01.bmp");
    EXPECT_EQ(Tick(), kClosed);
}

TEST_F(SlideShowTest, AnEmptyListEndsTheShowAtTheFirstTick) {
    OpenFolder(MakeFolder("empty"));
    Start(true, false);
    EXPECT_TRUE(ViewForm->isVisible());
    EXPECT_EQ(Tick(), kClosed);
    EXPECT_FALSE(ImageForm->Timer1->Enabled());
}

TEST_F(SlideShowTest, ClosingTheViewStopsTheShowAndTheNextStartGoesOn) {
    OpenFolder(MakePictureFolder("pics", Names(4)));
    Start(true, false);
    EXPECT_EQ(Tick(), "f00.bmp");
    EXPECT_EQ(Tick(), "f01.bmp");
    ViewForm->close(); // the close box
    EXPECT_FALSE(ViewForm->isVisible());
    EXPECT_FALSE(ImageForm->Timer1->Enabled());
    // A double-click shows the window again without restarting the show.
    ImageForm->All1DblClick(ImageForm->All1);
    EXPECT_TRUE(ViewForm->isVisible());
    EXPECT_FALSE(ImageForm->Timer1->Enabled());
    Start(false, false);
    EXPECT_EQ(Tick(), "f02.bmp");
}

TEST_F(SlideShowTest, CancelHidesTheDialogAndTheShowGoesOn) {
    OpenFolder(MakePictureFolder("pics", Names(3)));
    ImageForm->Button3Click(ImageForm->Button3);
    EXPECT_TRUE(OKRightDlg->isVisible());
    Start(true, false);
    ImageForm->Button3Click(ImageForm->Button3);
    OKRightDlg->OKBtnClick(OKRightDlg->OKBtn);
    EXPECT_FALSE(OKRightDlg->isVisible());
    EXPECT_TRUE(ImageForm->Timer1->Enabled());
    EXPECT_EQ(Tick(), "f00.bmp");
}

// The spin edit's text as typed, then "View start" clicked with the mouse, which takes the focus.
TEST_F(SlideShowTest, TypedIntervalIsPulledIntoRangeWhenViewStartIsClicked) {
    struct Typed {
        const char* text;
        int interval;
        const char* textAfter;
    };
    const Typed cases[] = {
        {"0", 1000, "1"}, {"75", 60000, "60"}, {"", 1000, ""}, {"5", 5000, "5"}, {"-", 1000, "-"}};
    OpenFolder(MakePictureFolder("pics", Names(1)));
    for (const Typed& c : cases) {
        SCOPED_TRACE(c.text);
        ImageForm->Button3Click(ImageForm->Button3);
        ASSERT_TRUE(QTest::qWaitForWindowActive(OKRightDlg));
        QLineEdit* edit = OKRightDlg->SpinEdit1->Edit();
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, c.text);
        QTest::mouseClick(OKRightDlg->Button1, Qt::LeftButton);
        EXPECT_EQ(ImageForm->Timer1->Interval(), c.interval);
        EXPECT_EQ(OKRightDlg->SpinEdit1->Text(), c.textAfter);
        EXPECT_FALSE(OKRightDlg->isVisible());
        ViewForm->Close();
    }
}

TEST_F(SlideShowTest, EnterInTheSpinEditCancelsAndEscapeDoesNothing) {
    OpenFolder(MakePictureFolder("pics", Names(1)));
    ImageForm->Button3Click(ImageForm->Button3);
    ASSERT_TRUE(QTest::qWaitForWindowActive(OKRightDlg));
    QLineEdit* edit = OKRightDlg->SpinEdit1->Edit();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(OKRightDlg->isVisible());
    QTest::keyClicks(edit, "3");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(OKRightDlg->isVisible());
    EXPECT_FALSE(ImageForm->Timer1->Enabled());
    EXPECT_FALSE(ViewForm->isVisible());
}

TEST_F(SlideShowTest, StartingAgainKeepsOneTimerAndGoesBackToTheFirstFile) {
    OpenFolder(MakePictureFolder("pics", Names(3)));
    Start(true, false);
    EXPECT_EQ(Tick(), "f00.bmp");
    EXPECT_EQ(Tick(), "f01.bmp");
    Start(true, false);
    EXPECT_EQ(Tick(), "f00.bmp");
}

// A file the loader reports itself: the box is answered, the view stays empty, the show moves on.
TEST_F(SlideShowTest, AReportedFailureInTheMiddleMovesOn) {
    const fs::path folder = MakePictureFolder("pics", {"a.bmp", "c.bmp"});
    WriteBrokenBmp(folder / "b.bmp");
    OpenFolder(folder);
    boxes.clear();
    Start(true, false);
    EXPECT_EQ(Tick(), "a.bmp");
    EXPECT_EQ(Tick(), ""); // the failed load emptied the pane
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("[" + (folder / "b.bmp").string() + "]"), std::string::npos)
        << boxes[0].text;
    EXPECT_TRUE(ViewForm->isVisible());
    EXPECT_EQ(Tick(), "c.bmp");
    EXPECT_EQ(Tick(), kClosed);
}

// A bitmap deleted after the page was filled: the standard error display reports it, and the
// show goes on with the next file instead of failing on the same one every interval.
TEST_F(SlideShowTest, AFailureTheLoaderLetsThroughMovesOnToTheNextFile) {
    const fs::path folder = MakePictureFolder("pics", {"a.bmp", "b.bmp", "c.bmp"});
    OpenFolder(folder);
    fs::remove(folder / "b.bmp");
    boxes.clear();
    Start(true, false);
    EXPECT_EQ(Tick(), "a.bmp");
    EXPECT_EQ(Tick(), "b.bmp"); // the name stays, with no picture
    ASSERT_EQ(ErrorTexts().size(), 1u);
    EXPECT_EQ(ErrorTexts()[0].back(), '.');
    EXPECT_EQ(boxes[0].title, vcl::Application->Title());
    EXPECT_EQ(ViewForm->All1->Picture()->Width(), 0);
    EXPECT_TRUE(ViewForm->isVisible());
    EXPECT_TRUE(ImageForm->Timer1->Enabled());
    EXPECT_EQ(Tick(), "c.bmp");
    EXPECT_EQ(Tick(), kClosed);
}

// Ticks delivered by the nested loop of an open box are dropped: the file is neither loaded again
// nor reported inside the report. Both kinds of report: the loader's own and the error display.
TEST_F(SlideShowTest, TicksBehindAnOpenReportAreHeldOff) {
    struct Case {
        const char* title;
        bool deleted; // a deleted file, else one the loader refuses
    };
    for (const Case c : {Case{"loader's report", false}, Case{"standard error display", true}}) {
        SCOPED_TRACE(c.title);
        const fs::path folder = MakePictureFolder(c.title, {"b.bmp"});
        WriteBmp(folder / "a.bmp", 5, 5);
        OpenFolder(folder);
        if (c.deleted)
            fs::remove(folder / "a.bmp");
        else
            WriteBrokenBmp(folder / "a.bmp");
        boxes.clear();
        int ticks = 0;
        ImageForm->Timer1->OnTimer = [&ticks](vcl::TObject* sender) {
            ++ticks;
            ImageForm->Timer1Timer(sender);
        };
        int ticksWhileOpen = 0;
        whileBoxOpen = [&](const vcl::MessageBoxRequest&) {
            const int before = ticks;
            const QDeadlineTimer open(100);
            while (!open.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            ticksWhileOpen = ticks - before;
            ImageForm->Timer1->SetEnabled(false);
        };
        Start(true, false);
        ImageForm->Timer1->SetInterval(5);
        const QDeadlineTimer deadline(5000);
        while (boxes.empty() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::processEvents();
        EXPECT_GT(ticksWhileOpen, 1);
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_EQ(ImageForm->FileListBox1->ItemIndex(), 1);
        whileBoxOpen = nullptr;
        ViewForm->Close();
    }
}

} // namespace
} // namespace viewtest

namespace viewtest {
namespace {

class SlideShowDialogTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        CreateForms();
        ImageForm->Show();
        ImageForm->Button3Click(ImageForm->Button3);
        ASSERT_TRUE(QTest::qWaitForWindowActive(OKRightDlg));
    }
};

// Tab walks OKBtn, SpinEdit1, Button1, the checked radio button alone, CheckBox1.
TEST_F(SlideShowDialogTest, TabOrderVisitsTheCheckedRadioButtonOnly) {
    for (const bool fromFirst : {false, true}) {
        SCOPED_TRACE(fromFirst);
        OKRightDlg->RadioButton2->SetChecked(fromFirst);
        OKRightDlg->RadioButton1->SetChecked(!fromFirst);
        vcl::TRadioButton* checked =
            fromFirst ? OKRightDlg->RadioButton2 : OKRightDlg->RadioButton1;
        const std::vector<QWidget*> expected = {OKRightDlg->SpinEdit1->Edit(), OKRightDlg->Button1,
                                                checked, OKRightDlg->CheckBox1, OKRightDlg->OKBtn};
        OKRightDlg->OKBtn->setFocus();
        QTRY_VERIFY(OKRightDlg->OKBtn->hasFocus());
        std::vector<QWidget*> visited;
        for (size_t i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            // A control made of parts counts as reached when one of its parts has the focus.
            for (QWidget* want : expected)
                if (focus == want || want->isAncestorOf(focus)) focus = want;
            visited.push_back(focus);
        }
        EXPECT_EQ(visited, expected);
    }
}

// The browser's hint handler copies the application's hint into the dialog's status bar.
TEST_F(SlideShowDialogTest, StatusBarShowsTheApplicationsHint) {
    EXPECT_EQ(OKRightDlg->StatusBar1->SimpleText(), "ここに説明が表示されます。");
    vcl::Application->SetHint("１秒から６０秒まで指定できます。");
    EXPECT_EQ(OKRightDlg->StatusBar1->SimpleText(), "１秒から６０秒まで指定できます。");
    vcl::Application->SetHint("");
    EXPECT_EQ(OKRightDlg->StatusBar1->SimpleText(), "");
}

} // namespace
} // namespace viewtest
