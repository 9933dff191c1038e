// The context menu's Properties and Open commands and the properties dialog.
#include "tests/view/program_fixture.h"

#include "browser/imagewin.h"
#include "browser/unit3.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace viewtest {
namespace {

class PaneCommandsTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        CreateForms();
        folder = MakeFolder("pics");
    }
    // Properties on slot k, as if the context menu had been opened on its pane.
    void PropertiesOf(int k) {
        ImageForm->PopupMenu1->SetPopupComponent(ImageForm->Pane(k));
        ImageForm->K5Click(ImageForm->K5);
    }
    std::vector<std::string> Texts() const {
        return {OKBottomDlg1->Label5->Caption(), OKBottomDlg1->Label2->Caption(),
                OKBottomDlg1->Label1->Caption()};
    }
    fs::path folder;
};

TEST_F(PaneCommandsTest, PropertiesSplitThePanesPath) {
    struct Case {
        const char* title;
        std::string name; // in the pictures folder; empty: the pane shows nothing
        const char* type;
    };
    // 表示 in code page 932: its second character's trail byte is the backslash code.
    const std::string cp932 = "\x95\x5c\x8e\xa6.bmp";
    const Case cases[] = {
        {"upper-case extension", "cat.BMP", ".BMPファイル"},
        {"lower-case extension", "cat.bmp", ".bmpファイル"},
        {"two dots", "archive.tar.bmp", ".bmpファイル"},
        {"code page 932 name", cp932, ".bmpファイル"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        WriteBmp(folder / c.name, 30, 20);
        ImageForm->All3->SetPictureName((folder / c.name).string());
        OKBottomDlg1->Close();
        PropertiesOf(3);
        EXPECT_EQ(Texts(), (std::vector<std::string>{c.type, "場所 : " + folder.string() + "/",
                                                     "ファイル名 : " + c.name}));
        EXPECT_EQ(OKBottomDlg1->All1->PictureName(), (folder / c.name).string());
        EXPECT_TRUE(OKBottomDlg1->isVisible());
    }
}

TEST_F(PaneCommandsTest, PropertiesOfAnEmptyPaneClearThePicture) {
    WriteBmp(folder / "a.bmp", 30, 20);
    ImageForm->All1->SetPictureName((folder / "a.bmp").string());
    PropertiesOf(1);
    OKBottomDlg1->OKBtnClick(OKBottomDlg1->OKBtn);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
    PropertiesOf(2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"ファイル", "場所 : ", "ファイル名 : "}));
    EXPECT_EQ(OKBottomDlg1->All1->PictureName(), "");
    EXPECT_EQ(OKBottomDlg1->All1->Picture()->Width(), 0);
    EXPECT_TRUE(OKBottomDlg1->isVisible());
}

TEST_F(PaneCommandsTest, ThePictureFillsTheDialogsPane) {
    WriteBmp(folder / "big.bmp", 400, 300);
    ImageForm->All1->SetPictureName((folder / "big.bmp").string());
    PropertiesOf(1);
    EXPECT_EQ(OKBottomDlg1->All1->Width(), 89);
    EXPECT_EQ(OKBottomDlg1->All1->Height(), 81);
    EXPECT_TRUE(OKBottomDlg1->All1->Stretch());
}

TEST_F(PaneCommandsTest, ASecondPaneRefillsTheOpenDialog) {
    WriteBmp(folder / "a.bmp", 30, 20);
    WriteBmp(folder / "b.jpg.bmp", 30, 20);
    ImageForm->All1->SetPictureName((folder / "a.bmp").string());
    ImageForm->All2->SetPictureName((folder / "b.jpg.bmp").string());
    PropertiesOf(1);
    const QRect place = OKBottomDlg1->geometry();
    PropertiesOf(2);
    EXPECT_EQ(Texts()[2], "ファイル名 : b.jpg.bmp");
    EXPECT_EQ(OKBottomDlg1->geometry(), place);
    int dialogs = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        dialogs += dynamic_cast<TOKBottomDlg1*>(window) != nullptr;
    EXPECT_EQ(dialogs, 1);
}

TEST_F(PaneCommandsTest, AReportedFailureStillWritesTheTextsAndShows) {
    WriteBrokenBmp(folder / "broken.bmp");
    ImageForm->All4->SetPictureName((folder / "broken.bmp").string());
    // The thumbnail's own load failed and emptied it; the dialog gets the path directly here.
    boxes.clear();
    OKBottomDlg1->ShowProperties((folder / "broken.bmp").string());
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Texts()[2], "ファイル名 : broken.bmp");
    EXPECT_EQ(OKBottomDlg1->All1->Error(), 2);
    EXPECT_TRUE(OKBottomDlg1->isVisible());
}

TEST_F(PaneCommandsTest, AnEscapingFailureKeepsTheOldTextsAndDoesNotShow) {
    WriteBmp(folder / "a.bmp", 30, 20);
    WriteBmp(folder / "b.bmp", 30, 20);
    ImageForm->All1->SetPictureName((folder / "a.bmp").string());
    ImageForm->All2->SetPictureName((folder / "b.bmp").string());
    PropertiesOf(1);
    OKBottomDlg1->Close();
    const std::vector<std::string> before = Texts();
    fs::remove(folder / "b.bmp");
    boxes.clear();
    RunFromEventLoop([this] { PropertiesOf(2); });
    EXPECT_EQ(ErrorTexts().size(), 1u);
    EXPECT_EQ(Texts(), before);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
}

TEST_F(PaneCommandsTest, PropertiesWithoutASourcePaneShowTheDialogAsItIs) {
    WriteBmp(folder / "a.bmp", 30, 20);
    ImageForm->All1->SetPictureName((folder / "a.bmp").string());
    PropertiesOf(1);
    OKBottomDlg1->Close();
    const std::vector<std::string> before = Texts();
    ImageForm->PopupMenu1->SetPopupComponent(nullptr);
    ImageForm->K5Click(ImageForm->K5);
    EXPECT_EQ(Texts(), before);
    EXPECT_TRUE(OKBottomDlg1->isVisible());
}

TEST_F(PaneCommandsTest, EnterInTheDialogPressesOk) {
    PropertiesOf(1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(OKBottomDlg1));
    QTest::keyClick(OKBottomDlg1, Qt::Key_Escape);
    EXPECT_TRUE(OKBottomDlg1->isVisible());
    QTest::keyClick(OKBottomDlg1, Qt::Key_Return);
    EXPECT_FALSE(OKBottomDlg1->isVisible());
}

// A stand-in opener first on PATH records its working directory and its arguments.
class OpenTest : public PaneCommandsTest {
protected:
    void SetUp() override {
        PaneCommandsTest::SetUp();
        const fs::path bin = MakeFolder("bin");
        log = root / "opened";
        std::ofstream(bin / "xdg-open")
            << "#!/bin/sh\n{ pwd; echo \"$#\"; printf '%s\\n' \"$1\"; } >> \"" << log.string()
            << ".part\"\nmv \"" << log.string() << ".part\" \"" << log.string() << "\"\n";
        fs::permissions(bin / "xdg-open", fs::perms::owner_all);
        savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (bin.string() + ":" + savedPath_).c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", savedPath_.c_str(), 1);
        PaneCommandsTest::TearDown();
    }
    void OpenOn(vcl::TComponent* component) {
        ImageForm->PopupMenu1->SetPopupComponent(component);
        ImageForm->Open1Click(ImageForm->Open1);
    }
    std::string WaitForLog() {
        const QDeadlineTimer deadline(5000);
        while (!fs::exists(log) && !deadline.hasExpired())
            QTest::qWait(10);
        std::ifstream in(log);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path log;

private:
    std::string savedPath_;
};

TEST_F(OpenTest, OpensThePanesFileInItsFolder) {
    WriteBmp(folder / "cat.bmp", 30, 20);
    ImageForm->All5->SetPictureName((folder / "cat.bmp").string());
    // Without a source pane there is no file to pass: nothing is started.
    OpenOn(ImageForm->Button3);
    OpenOn(ImageForm->All5);
    EXPECT_EQ(WaitForLog(), folder.string() + "\n1\n" + (folder / "cat.bmp").string() + "\n");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(OpenTest, AnEmptyPanePassesAnEmptyFileAndFolder) {
    OpenOn(ImageForm->All6);
    // An empty folder leaves the opener in the program's own working directory.
    EXPECT_EQ(WaitForLog(), fs::current_path().string() + "\n1\n\n");
}

} // namespace
} // namespace viewtest
