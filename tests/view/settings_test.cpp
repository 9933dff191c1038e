// The settings commands: "設定の保存" and the start-up reads across a restart of the windows,
// stored values out of range, of the wrong type or missing, and the five saved directories.
#include "tests/view/program_fixture.h"

#include "browser/imagewin.h"
#include "settings/settings_store.h"
#include "view/viewsetup.h"
#include "view/viewwin.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <optional>

namespace viewtest {
namespace {

// What a previous run (or another program) left in the settings key.
struct Stored {
    const char* name;
    std::optional<int> number = {};       // a REG_DWORD
    std::optional<std::string> text = {}; // a REG_SZ
};

class SettingsTest : public ProgramTest {
protected:
    void Store(const std::vector<Stored>& values) {
        vcl::TRegistry registry;
        registry.OpenKey(settings::kSettingsKeyPath, true);
        for (const Stored& value : values) {
            if (value.number) registry.WriteInteger(value.name, *value.number);
            if (value.text) registry.WriteString(value.name, *value.text);
        }
    }
    int StoredNumber(const char* name) {
        vcl::TRegistry registry;
        registry.OpenKey(settings::kSettingsKeyPath, true);
        return registry.ReadInteger(name);
    }
    std::string StoredText(const char* name) {
        vcl::TRegistry registry;
        registry.OpenKey(settings::kSettingsKeyPath, true);
        return registry.ReadString(name);
    }
    // The browser window's first showing puts it where start-up decided.
    QPoint ShownAt() {
        ImageForm->Show();
        return ImageForm->frameGeometry().topLeft();
    }
    // Centred on the screen, give or take the menu bar's settling after the first showing.
    void ExpectCentred() {
        const QPoint at = ShownAt();
        const QPoint centre = Centred();
        EXPECT_LE(std::abs(at.x() - centre.x()), kCentringSlack) << at.x() << " " << centre.x();
        EXPECT_LE(std::abs(at.y() - centre.y()), kCentringSlack) << at.y() << " " << centre.y();
    }
    static constexpr int kCentringSlack = 4; // pixels
    QPoint Centred() {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QSize outer = ImageForm->frameGeometry().size();
        return {screen.x() + std::max(0, (screen.width() - outer.width()) / 2),
                screen.y() + std::max(0, (screen.height() - outer.height()) / 2)};
    }
    void ExpectDialogInDesignState() {
        EXPECT_EQ(OKRightDlg->SpinEdit1->Value(), 1);
        EXPECT_TRUE(OKRightDlg->RadioButton1->Checked());
        EXPECT_FALSE(OKRightDlg->RadioButton2->Checked());
        EXPECT_FALSE(OKRightDlg->CheckBox1->Checked());
    }
};

TEST_F(SettingsTest, FirstRunOpensCentredWithTheDesignState) {
    CreateForms();
    for (int slot = 1; slot <= 5; ++slot)
        EXPECT_EQ(ImageForm->DirectoryItem(slot)->Caption(), "") << slot;
    EXPECT_EQ(ImageForm->FilterComboBox1->ItemIndex(), 0);
    ExpectDialogInDesignState();
    ExpectCentred();
    // An empty slot changes nothing.
    const std::string before = ImageForm->DirectoryListBox1->Directory();
    RunFromEventLoop([] { ImageForm->dir4Click(ImageForm->dir4); });
    EXPECT_EQ(ImageForm->DirectoryListBox1->Directory(), before);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SettingsTest, SavedSettingsComeBackAfterARestart) {
    struct Case {
        int left, top;
    };
    // Negative coordinates: the window lies partly off the left and top edges.
    for (const Case at : {Case{100, 50}, Case{-30, -20}}) {
        SCOPED_TRACE(at.left);
        CreateForms();
        ImageForm->Show();
        ImageForm->move(at.left, at.top);
        ImageForm->FilterComboBox1->Choose(4);
        OKRightDlg->SpinEdit1->SetValue(5);
        OKRightDlg->RadioButton2->SetChecked(true);
        OKRightDlg->CheckBox1->SetChecked(true);
        ImageForm->K7Click(ImageForm->K7);
        EXPECT_EQ(StoredNumber("filter"), 4);
        EXPECT_EQ(StoredNumber("spin"), 5);
        EXPECT_EQ(StoredNumber("ra"), 1);
        EXPECT_EQ(StoredNumber("ch"), 1);
        EXPECT_EQ(StoredNumber("x"), at.left);
        EXPECT_EQ(StoredNumber("y"), at.top);

        Restart();
        EXPECT_EQ(ShownAt(), QPoint(at.left, at.top));
        EXPECT_EQ(ImageForm->FilterComboBox1->ItemIndex(), 4);
        EXPECT_EQ(ImageForm->FileListBox1->Mask(), "*.jpg;*.jpe");
        EXPECT_EQ(OKRightDlg->SpinEdit1->Value(), 5);
        EXPECT_TRUE(OKRightDlg->RadioButton2->Checked());
        EXPECT_FALSE(OKRightDlg->RadioButton1->Checked());
        EXPECT_TRUE(OKRightDlg->CheckBox1->Checked());
        DestroyForms();
    }
}

TEST_F(SettingsTest, StartUpTakesStoredValuesAsTheControlsAllowThem) {
    struct Case {
        const char* title;
        std::vector<Stored> stored;
        int interval;
        int filterIndex;
        const char* mask;
    };
    const Case cases[] = {
        {"interval 0", {{"spin", 0}, {"ra", 0}, {"ch", 0}}, 1, 0, nullptr},
        {"interval 99", {{"spin", 99}, {"ra", 0}, {"ch", 0}}, 60, 0, nullptr},
        {"filter past the list", {{"x", 10}, {"y", 10}, {"filter", 20}}, 1, 12, "*.ico"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(configFolder);
        Store(c.stored);
        CreateForms();
        EXPECT_EQ(OKRightDlg->SpinEdit1->Value(), c.interval);
        EXPECT_EQ(ImageForm->FilterComboBox1->ItemIndex(), c.filterIndex);
        if (c.mask) {
            EXPECT_EQ(ImageForm->FileListBox1->Mask(), c.mask);
        }
        DestroyForms();
    }
}

// A read that fails ends that start-up handler where it is, silently.
TEST_F(SettingsTest, AFailedStartUpReadEndsItsHandlerQuietly) {
    Store({{"DIR1", {}, "/somewhere"}, {"filter", 4}, {"ra", 1}, {"ch", 1}});
    {
        SCOPED_TRACE("x without y");
        Store({{"x", 100}});
        CreateForms();
        EXPECT_EQ(ImageForm->DirectoryItem(1)->Caption(), "/somewhere");
        EXPECT_EQ(ImageForm->FilterComboBox1->ItemIndex(), 0); // not reached
        ExpectCentred();
        ExpectDialogInDesignState(); // spin is absent
        DestroyForms();
    }
    {
        SCOPED_TRACE("spin as a text, y as a text");
        Store({{"y", {}, "50"}, {"spin", {}, "5"}});
        CreateForms();
        ExpectCentred();
        ExpectDialogInDesignState(); // ra and ch are stored but never read
        EXPECT_TRUE(boxes.empty());
        DestroyForms();
    }
    {
        SCOPED_TRACE("DIR2 as a number");
        Store({{"DIR2", 7}});
        CreateForms();
        EXPECT_EQ(ImageForm->DirectoryItem(1)->Caption(), "/somewhere");
        for (int slot = 2; slot <= 5; ++slot)
            EXPECT_EQ(ImageForm->DirectoryItem(slot)->Caption(),
                      "SaveDirectory" + std::to_string(slot) + ": No data");
        const std::string before = ImageForm->DirectoryListBox1->Directory();
        RunFromEventLoop([] { ImageForm->dir2Click(ImageForm->dir2); });
        EXPECT_EQ(ErrorTexts(), std::vector<std::string>{"'DIR2' のﾃﾞｰﾀ型が不正です."});
        EXPECT_EQ(ImageForm->DirectoryListBox1->Directory(), before);
    }
}

TEST_F(SettingsTest, APositionOffEveryScreenIsBroughtBack) {
    Store({{"x", 30000}, {"y", -30000}, {"filter", 2}});
    CreateForms();
    ExpectCentred();
    EXPECT_EQ(ImageForm->FilterComboBox1->ItemIndex(), 2); // the rest of start-up ran
}

TEST_F(SettingsTest, ARefusedWriteIsReportedWithTheValuesName) {
    CreateForms();
    // A settings folder that is a plain file cannot hold the hive.
    fs::remove_all(configFolder);
    WriteBytes(configFolder, "not a folder");
    RunFromEventLoop([] { ImageForm->K7Click(ImageForm->K7); });
    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{"'filter' の設定に失敗しました."});
    boxes.clear();
    RunFromEventLoop([] { ImageForm->SaveDirectory21Click(ImageForm->SaveDirectory21); });
    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{"'DIR2' の設定に失敗しました."});
    EXPECT_EQ(ImageForm->DirectoryItem(2)->Caption(), "");
}

TEST_F(SettingsTest, SavedDirectoriesAreKeptAndGoneBackTo) {
    CreateForms();
    const fs::path first = MakePictureFolder("first", {"one.bmp"});
    const fs::path second = MakePictureFolder("second", {"two.bmp", "three.bmp"});
    OpenFolder(first);
    ImageForm->SaveDirectory31Click(ImageForm->SaveDirectory31);
    EXPECT_EQ(StoredText("DIR3"), first.string());
    EXPECT_EQ(ImageForm->DirectoryItem(3)->Caption(), first.string());

    Restart();
    EXPECT_EQ(ImageForm->DirectoryItem(3)->Caption(), first.string());
    OpenFolder(second);
    ImageForm->dir3Click(ImageForm->dir3);
    EXPECT_EQ(ImageForm->DirectoryListBox1->Directory(), first.string());
    EXPECT_EQ(fs::current_path(), first);
    EXPECT_EQ(ImageForm->FileListBox1->Count(), 1);
    EXPECT_EQ(ImageForm->All1->PictureName(), (first / "one.bmp").string());

    // The slot of the directory already shown fills no page.
    ImageForm->All1->SetPictureName("");
    ImageForm->dir3Click(ImageForm->dir3);
    EXPECT_EQ(ImageForm->All1->PictureName(), "");

    // Saving the slot again from elsewhere replaces both.
    OpenFolder(second);
    ImageForm->SaveDirectory31Click(ImageForm->SaveDirectory31);
    EXPECT_EQ(StoredText("DIR3"), second.string());
    EXPECT_EQ(ImageForm->DirectoryItem(3)->Caption(), second.string());
    EXPECT_TRUE(ErrorTexts().empty());
}

TEST_F(SettingsTest, AStoredPathWithATerminatingZeroReadsTheSame) {
    const fs::path folder = MakePictureFolder("zero", {"z.bmp"});
    Store({{"DIR5", {}, folder.string() + std::string(1, '\0')}});
    CreateForms();
    EXPECT_EQ(ImageForm->DirectoryItem(5)->Caption(), folder.string());
    ImageForm->dir5Click(ImageForm->dir5);
    EXPECT_EQ(ImageForm->DirectoryListBox1->Directory(), folder.string());
}

TEST_F(SettingsTest, AVanishedDirectoryIsReportedAndTheListStays) {
    CreateForms();
    const fs::path gone = MakePictureFolder("gone", {"g.bmp"});
    const fs::path here = MakePictureFolder("here", {"h.bmp"});
    OpenFolder(gone);
    ImageForm->SaveDirectory11Click(ImageForm->SaveDirectory11);
    OpenFolder(here);
    fs::remove_all(gone);
    RunFromEventLoop([] { ImageForm->dir1Click(ImageForm->dir1); });
    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{"ﾌｧｲﾙが見つかりません."});
    EXPECT_EQ(ImageForm->DirectoryListBox1->Directory(), here.string());
    EXPECT_EQ(ImageForm->FileListBox1->Directory(), here.string());
    EXPECT_EQ(ImageForm->All1->PictureName(), (here / "h.bmp").string());
}

TEST_F(SettingsTest, OpeningTheLoadSubmenuChangesNothing) {
    CreateForms();
    const fs::path folder = MakePictureFolder("pics", {"p.bmp"});
    OpenFolder(folder);
    ImageForm->FilterComboBox1->Choose(1);
    ImageForm->K6Click(ImageForm->K6);
    EXPECT_EQ(ImageForm->FilterComboBox1->ItemIndex(), 1);
    EXPECT_EQ(ImageForm->DirectoryListBox1->Directory(), folder.string());
    EXPECT_TRUE(boxes.empty());
}

} // namespace
} // namespace viewtest
