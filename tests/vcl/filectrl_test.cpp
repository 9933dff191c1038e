// The file-system controls against real folders: what the file list holds, its current index and
// its refusals, when it reads again, and the directory list's moves and failures.
#include "vcl/file_listing.h"
#include "vcl/filectrl.h"
#include "vcl/forms.h"
#include "vcl/sysutils.h"

#include <gtest/gtest.h>

#include <QListWidget>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace vcl;
namespace fs = std::filesystem;

namespace {

class FolderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("zorvane-filectrl-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "sub.bmp"); // a folder whose name matches the mask
        fs::create_directories(root / "Photos");
        fs::create_directories(root / ".cache");
        for (const char* name : {"b.BMP", "A.bmp", "c.jpg", "x.txt", ".hidden.bmp", "Ba.bmp"})
            std::ofstream(root / name) << "x";
        fs::create_symlink(root / "c.jpg", root / "link.jpg");
        fs::create_symlink(root / "missing", root / "dangling.jpg");
        previous = fs::current_path();
        form = std::make_unique<TForm>(nullptr);
    }
    void TearDown() override {
        form.reset();
        fs::current_path(previous);
        fs::remove_all(root);
    }
    std::string Root() const { return root.string(); }

    fs::path root, previous;
    std::unique_ptr<TForm> form;
};

std::vector<std::string> Entries(const TFileListBox& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Items(i));
    return names;
}

TEST_F(FolderFixture, FileListHoldsPlainVisibleMatchingFilesSortedWithoutCase) {
    auto* list = new TFileListBox(form.get());
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };
    list->SetMask("*.bmp;*.JPG;b*");
    list->SetDirectory(Root());
    // b.BMP matches two patterns and is listed once; the folder sub.bmp, the hidden file, the
    // text file and the dangling link are not listed; a link to a file is.
    EXPECT_EQ(Entries(*list),
              (std::vector<std::string>{"A.bmp", "b.BMP", "Ba.bmp", "c.jpg", "link.jpg"}));
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->FileName(), "");
    EXPECT_EQ(fs::current_path(), root) << "a read makes the folder the working directory";
    EXPECT_EQ(changes, 2) << "one read for the mask, one for the folder";
}

TEST_F(FolderFixture, ReadsAgainOnlyForADifferentFolderOrMask) {
    auto* list = new TFileListBox(form.get());
    list->SetDirectory(Root());
    list->SetMask("*.bmp");
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };
    list->SetMask("*.bmp");
    list->SetDirectory(Root());
    EXPECT_EQ(changes, 0);
    list->SetMask("*.BMP"); // differs as a string
    EXPECT_EQ(changes, 1);
    std::ofstream(root / "new.bmp") << "x";
    list->Update();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(list->Count(), 4);
}

TEST_F(FolderFixture, CurrentIndexRefusalsNeverNotify) {
    auto* list = new TFileListBox(form.get());
    list->SetMask("*.bmp");
    list->SetDirectory(Root()); // A.bmp, b.BMP, Ba.bmp
    int changes = 0;
    list->OnChange = [&](TObject*) { ++changes; };
    const std::pair<int, int> steps[] = {{1, 1},  {1, 1},   {3, 1} /* count: refused */,
                                         {99, 1}, {-1, -1}, {-2, -1} /* refused */,
                                         {2, 2},  {0, 0}};
    for (const auto& [set, expected] : steps) {
        list->SetItemIndex(set);
        EXPECT_EQ(list->ItemIndex(), expected) << "after setting " << set;
    }
    EXPECT_EQ(changes, 0);
    list->SetItemIndex(1);
    EXPECT_EQ(list->FileName(), Root() + "/b.BMP");
    list->SetTag(-7);
    EXPECT_EQ(list->Tag(), -7);
}

TEST_F(FolderFixture, DirectoryListMovesThenFileListReadsThenItsOwnChangeRuns) {
    auto* files = new TFileListBox(form.get());
    auto* dirs = new TDirectoryListBox(form.get());
    auto* label = new TLabel(form.get());
    dirs->SetFileList(files);
    dirs->SetDirLabel(label);
    std::vector<std::string> order;
    files->OnChange = [&](TObject*) { order.push_back("file list " + files->Directory()); };
    dirs->OnChange = [&](TObject*) { order.push_back("directory list " + dirs->Directory()); };
    dirs->SetDirectory(Root());
    EXPECT_EQ(order, (std::vector<std::string>{"file list " + Root(), "directory list " + Root()}));
    EXPECT_EQ(label->Caption(), Root());

    // The rows: the path from the root down, then the visible subfolders.
    std::vector<std::string> rows;
    for (int i = 0; i < dirs->Count(); ++i)
        rows.push_back(dirs->GetItemPath(i));
    std::vector<std::string> expected = PathChain(Root());
    expected.push_back(Root() + "/Photos");
    expected.push_back(Root() + "/sub.bmp");
    EXPECT_EQ(rows, expected);

    order.clear();
    dirs->SetDirectory(Root()); // the present directory: nothing
    dirs->SetDirectory("");
    EXPECT_TRUE(order.empty());
    dirs->OpenRow(dirs->Count() - 2); // Photos
    EXPECT_EQ(dirs->Directory(), Root() + "/Photos");
    EXPECT_EQ(files->Directory(), Root() + "/Photos");
    dirs->OpenRow(static_cast<int>(PathChain(Root()).size()) - 2); // one level up
    EXPECT_EQ(dirs->Directory(), root.parent_path().string());
}

TEST_F(FolderFixture, AFolderThatCannotBeEnteredRaisesTheFileErrorAndNothingMoves) {
    auto* dirs = new TDirectoryListBox(form.get());
    dirs->SetDirectory(Root());
    struct Case {
        std::string path;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {Root() + "/gone", 2, "ﾌｧｲﾙが見つかりません"},
        {Root() + "/x.txt", 3, "不正なﾌｧｲﾙ名です"},
    };
    for (const Case& c : cases) {
        try {
            dirs->SetDirectory(c.path);
            ADD_FAILURE() << c.path << " was entered";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.ErrorCode(), c.code);
            EXPECT_EQ(error.Message(), c.text);
        }
        EXPECT_EQ(dirs->Directory(), Root());
    }
}

TEST_F(FolderFixture, DirectoryRowsAreSixteenPixelsAndTheHeightIsWholeRows) {
    auto* dirs = new TDirectoryListBox(form.get());
    dirs->SetParent(form.get());
    dirs->SetItemHeight(16);
    dirs->SetBounds(-1, 26, 127, 230);
    const int frame = 2 * dirs->List()->frameWidth();
    EXPECT_EQ((dirs->Height() - frame) % 16, 0);
    EXPECT_LE(dirs->Height(), 230);
    EXPECT_GT(dirs->Height(), 230 - 16);
    EXPECT_EQ(dirs->List()->item(0)->sizeHint().height(), 16);
}

TEST_F(FolderFixture, DriveBoxMovesTheDirectoryListToTheDrivesLastDirectory) {
    auto* dirs = new TDirectoryListBox(form.get());
    auto* drives = new TDriveComboBox(form.get());
    drives->SetDirList(dirs);
    dirs->SetDirectory(Root());
    EXPECT_EQ(DriveOf(Root()), drives->Drive());
    EXPECT_EQ(TDriveComboBox::LastDirectoryOn(DriveOf(Root())), Root());
    drives->SetDrive(drives->Drive()); // already selected: nothing
    EXPECT_EQ(dirs->Directory(), Root());
}

TEST_F(FolderFixture, FilterBoxSetsTheFileListsMaskAndFallsBackToItsLastEntry) {
    auto* files = new TFileListBox(form.get());
    files->SetDirectory(Root());
    auto* filter = new TFilterComboBox(form.get());
    filter->SetFilter("All|*.bmp;*.jpg|Jpeg (*.jpg)|*.jpg|ICON file (*.ico)|*.ico");
    filter->SetFileList(files);
    EXPECT_EQ(filter->Count(), 3);
    EXPECT_EQ(filter->ItemIndex(), 0);
    EXPECT_EQ(filter->Mask(), "*.bmp;*.jpg");

    int reads = 0;
    files->OnChange = [&](TObject*) { ++reads; };
    filter->Choose(1);
    EXPECT_EQ(files->Mask(), "*.jpg");
    EXPECT_EQ(reads, 1);
    filter->Choose(1); // the same mask: no read
    EXPECT_EQ(reads, 1);

    for (int outside : {3, -1, 20}) {
        filter->SetItemIndex(outside);
        EXPECT_EQ(filter->ItemIndex(), -1);
        EXPECT_EQ(filter->Mask(), "*.ico");
        EXPECT_EQ(filter->ItemIndex(), 2);
    }
}

} // namespace
