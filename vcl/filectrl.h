// The file-system controls: the file list, the directory list, the drive box and the filter box,
// linked as a browser window links them. Names and paths are the file system's bytes; the lists
// show them decoded for display only.
#pragma once

#include "vcl/stdctrls.h"

#include <string>
#include <vector>

class QComboBox;
class QListWidget;

namespace vcl {

class TDirectoryListBox;

// The file list: the sorted names of the plain, non-hidden files of Directory that match Mask.
class TFileListBox : public TWrappedControl {
public:
    explicit TFileListBox(TComponent* owner);

    const std::string& Directory() const { return directory_; }
    // Moves and reads when the path differs from the present one (A-Z compared without regard to
    // case); raises EInOutError when it cannot be entered.
    void SetDirectory(const std::string& directory);
    const std::string& Mask() const { return mask_; }
    // Reads again when the mask differs, as a string, from the present one.
    void SetMask(const std::string& mask);

    // Lists the directory again: it becomes the working directory, no entry is current, and
    // OnChange runs.
    void Update();

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& Items(int index) const { return items_.at(index); }

    int ItemIndex() const { return itemIndex_; }
    // -1 leaves no entry current; 0 to Count()-1 makes that entry current; anything else is
    // refused and the current entry stays. Never runs OnChange.
    void SetItemIndex(int index);

    // The current entry's full path; empty when there is none.
    std::string FileName() const;
    // The mount point holding Directory.
    std::string Drive() const;

    TNotifyEvent OnChange;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Change();
    void ShowItems();

    std::string directory_;
    std::string mask_ = "*.*";
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    bool shownItems_ = false;
    QListWidget* list_;
};

// The directory list: the folders from the root down to the current directory, then its
// subfolders. Double-click or Enter on an entry moves there.
class TDirectoryListBox : public TWrappedControl {
public:
    explicit TDirectoryListBox(TComponent* owner);

    const std::string& Directory() const { return directory_; }
    // Nothing when the path is empty or the present directory. Otherwise enters it (raising
    // EInOutError by the system's error code and keeping the present directory when that fails),
    // passes it to the file list and the label, and runs OnChange.
    void SetDirectory(const std::string& directory);

    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* fileList) { fileList_ = fileList; }
    TLabel* DirLabel() const { return dirLabel_; }
    void SetDirLabel(TLabel* label);

    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    // The folder of row i.
    std::string GetItemPath(int index) const;
    int Count() const { return static_cast<int>(paths_.size()); }
    // Moves to the folder of row i, as a double-click on it does.
    void OpenRow(int index);

    void SetBounds(int left, int top, int width, int height) override;

    TNotifyEvent OnChange;

    QListWidget* List() const { return list_; }

private:
    void BuildList();

    std::string directory_;
    std::vector<std::string> paths_;
    int chainLength_ = 0;
    TFileListBox* fileList_ = nullptr;
    TLabel* dirLabel_ = nullptr;
    int itemHeight_ = 16;
    QListWidget* list_;
};

// The drive box: the mount points of real file systems. Choosing one moves the directory list to
// the last directory used on it.
class TDriveComboBox : public TWrappedControl {
public:
    explicit TDriveComboBox(TComponent* owner);

    const std::string& Drive() const { return drive_; }
    // Nothing when it is already the selected drive.
    void SetDrive(const std::string& drive);

    TDirectoryListBox* DirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* dirList) { dirList_ = dirList; }

    QComboBox* Combo() const { return combo_; }

    // The directory last entered on a drive (the drive itself at first).
    static std::string LastDirectoryOn(const std::string& drive);
    static void RememberDirectory(const std::string& directory);

private:
    void Select(const std::string& drive);

    std::string drive_;
    std::vector<std::string> drives_;
    TDirectoryListBox* dirList_ = nullptr;
    QComboBox* combo_;
};

// The filter box: entries of a description and a mask, from "text|mask|text|mask".
class TFilterComboBox : public TWrappedControl {
public:
    explicit TFilterComboBox(TComponent* owner);

    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& filter);

    int ItemIndex() const;
    // An index outside the entries leaves none selected.
    void SetItemIndex(int index);
    int Count() const { return static_cast<int>(masks_.size()); }
    std::string Items(int index) const;

    // The selected entry's mask; with none selected the last entry is selected first.
    std::string Mask();

    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* fileList) { fileList_ = fileList; }

    TNotifyEvent OnChange;

    QComboBox* Combo() const { return combo_; }
    // Chooses an entry as the user does: the file list takes its mask.
    void Choose(int index);

private:
    std::string filter_;
    std::vector<std::string> masks_;
    TFileListBox* fileList_ = nullptr;
    QComboBox* combo_;
};

} // namespace vcl
