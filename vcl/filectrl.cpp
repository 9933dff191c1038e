#include "vcl/filectrl.h"

#include "vcl/file_listing.h"
#include "vcl/sysutils.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QStyle>

#include <algorithm>
#include <map>

namespace vcl {

namespace {

// The last folder part of a path, "/" for the root.
std::string LastPart(const std::string& path) {
    if (path == "/") return path;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr int kIndentPerLevel = 8; // pixels a folder row is indented per level below the root

} // namespace

// ---------------------------------------------------------------------------------------------
// TFileListBox

TFileListBox::TFileListBox(TComponent* owner)
    : TWrappedControl(owner), directory_(WorkingDirectory()), list_(new QListWidget) {
    Wrap(list_);
}

void TFileListBox::SetDirectory(const std::string& directory) {
    // Exact comparison: on this file system two names differing in case are two folders.
    if (directory == directory_) return;
    directory_ = EnterDirectory(directory);
    Update();
}

void TFileListBox::SetMask(const std::string& mask) {
    if (mask == mask_) return;
    mask_ = mask;
    Update();
}

void TFileListBox::Update() {
    directory_ = EnterDirectory(directory_);
    std::vector<std::string> items = ListMatchingFiles(directory_, mask_);
    items_ = std::move(items);
    itemIndex_ = -1;
    ShowItems();
    Change();
}

void TFileListBox::ShowItems() {
    // A hidden list (the browser's) never draws its rows; they are made when it is first shown.
    list_->clear();
    shownItems_ = isVisible();
    if (!shownItems_) return;
    for (const std::string& name : items_)
        list_->addItem(ShownText(name));
    list_->setCurrentRow(itemIndex_);
}

void TFileListBox::showEvent(QShowEvent* event) {
    TWrappedControl::showEvent(event);
    if (!shownItems_) ShowItems();
}

void TFileListBox::SetItemIndex(int index) {
    if (index == itemIndex_) return;
    if (index < -1 || index >= Count()) return; // refused: the current entry stays
    itemIndex_ = index;
    if (shownItems_) list_->setCurrentRow(index);
}

std::string TFileListBox::FileName() const {
    if (itemIndex_ < 0) return {};
    return JoinPath(directory_, items_[itemIndex_]);
}

std::string TFileListBox::Drive() const {
    return DriveOf(directory_);
}

void TFileListBox::Change() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TDirectoryListBox

namespace {

class DirectoryListWidget : public QListWidget {
public:
    explicit DirectoryListWidget(TDirectoryListBox* owner) : owner_(owner) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            currentRow() >= 0) {
            owner_->OpenRow(currentRow());
            return;
        }
        QListWidget::keyPressEvent(event);
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QListWidget::mouseDoubleClickEvent(event);
        if (QListWidgetItem* item = itemAt(event->position().toPoint())) owner_->OpenRow(row(item));
    }

private:
    TDirectoryListBox* owner_;
};

std::map<std::string, std::string>& LastDirectories() {
    static std::map<std::string, std::string> last;
    return last;
}

} // namespace

TDirectoryListBox::TDirectoryListBox(TComponent* owner)
    : TWrappedControl(owner), directory_(WorkingDirectory()), list_(new DirectoryListWidget(this)) {
    Wrap(list_);
    list_->setUniformItemSizes(true);
    TDriveComboBox::RememberDirectory(directory_);
    BuildList();
}

void TDirectoryListBox::SetDirLabel(TLabel* label) {
    dirLabel_ = label;
    if (dirLabel_) dirLabel_->SetCaption(directory_);
}

void TDirectoryListBox::SetItemHeight(int height) {
    itemHeight_ = height;
    BuildList();
    SetBounds(Left(), Top(), Width(), Height());
}

void TDirectoryListBox::SetBounds(int left, int top, int width, int height) {
    // Whole rows only: the height drops to the last row that fits.
    const int frame = 2 * list_->frameWidth();
    if (itemHeight_ > 0 && height > frame)
        height = (height - frame) / itemHeight_ * itemHeight_ + frame;
    TWrappedControl::SetBounds(left, top, width, height);
}

void TDirectoryListBox::SetDirectory(const std::string& directory) {
    if (directory.empty() || directory == directory_) return;
    const std::string entered = EnterDirectory(directory);
    if (entered == directory_) return;
    directory_ = entered;
    TDriveComboBox::RememberDirectory(directory_);
    BuildList();
    if (fileList_) fileList_->SetDirectory(directory_);
    if (dirLabel_) dirLabel_->SetCaption(directory_);
    if (OnChange) OnChange(this);
}

std::string TDirectoryListBox::GetItemPath(int index) const {
    return paths_.at(index);
}

void TDirectoryListBox::OpenRow(int index) {
    if (index >= 0 && index < Count()) SetDirectory(paths_[index]);
}

void TDirectoryListBox::BuildList() {
    paths_ = PathChain(directory_);
    chainLength_ = static_cast<int>(paths_.size());
    std::vector<std::string> subfolders;
    try {
        subfolders = ListSubdirectories(directory_);
    } catch (const Exception&) {
        // A folder that can be entered but not listed shows no subfolders.
    }
    for (const std::string& name : subfolders)
        paths_.push_back(JoinPath(directory_, name));

    const QIcon open = QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon);
    list_->clear();
    for (int i = 0; i < Count(); ++i) {
        const bool onChain = i < chainLength_;
        const int depth = onChain ? i : chainLength_;
        auto* item =
            new QListWidgetItem(onChain ? open : closed, QString(depth * kIndentPerLevel / 4, ' ') +
                                                             ShownText(LastPart(paths_[i])));
        item->setSizeHint(QSize(0, itemHeight_));
        list_->addItem(item);
    }
    list_->setCurrentRow(chainLength_ - 1);
}

// ---------------------------------------------------------------------------------------------
// TDriveComboBox

std::string TDriveComboBox::LastDirectoryOn(const std::string& drive) {
    const auto it = LastDirectories().find(drive);
    return it == LastDirectories().end() ? drive : it->second;
}

void TDriveComboBox::RememberDirectory(const std::string& directory) {
    LastDirectories()[DriveOf(directory)] = directory;
}

TDriveComboBox::TDriveComboBox(TComponent* owner)
    : TWrappedControl(owner), drives_(MountPoints()), combo_(new QComboBox) {
    Wrap(combo_);
    const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const std::string& drive : drives_)
        combo_->addItem(icon, ShownText(drive));
    drive_ = DriveOf(WorkingDirectory());
    Select(drive_);
    QObject::connect(combo_, &QComboBox::activated, [this](int index) {
        if (index < 0 || index >= static_cast<int>(drives_.size())) return;
        const std::string previous = drive_;
        try {
            SetDrive(drives_[index]);
        } catch (...) {
            // The drive could not be entered: the box shows the drive still in use.
            drive_ = previous;
            Select(previous);
            throw;
        }
    });
}

void TDriveComboBox::Select(const std::string& drive) {
    for (size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i] == drive) combo_->setCurrentIndex(static_cast<int>(i));
}

void TDriveComboBox::SetDrive(const std::string& drive) {
    if (drive == drive_) return;
    if (std::find(drives_.begin(), drives_.end(), drive) == drives_.end()) {
        drives_.push_back(drive);
        combo_->addItem(QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon),
                        ShownText(drive));
    }
    drive_ = drive;
    Select(drive);
    if (dirList_) dirList_->SetDirectory(LastDirectoryOn(drive));
}

// ---------------------------------------------------------------------------------------------
// TFilterComboBox

TFilterComboBox::TFilterComboBox(TComponent* owner)
    : TWrappedControl(owner), combo_(new QComboBox) {
    Wrap(combo_);
    QObject::connect(combo_, &QComboBox::activated, [this](int index) { Choose(index); });
}

void TFilterComboBox::SetFilter(const std::string& filter) {
    filter_ = filter;
    masks_.clear();
    combo_->clear();
    size_t start = 0;
    std::vector<std::string> parts;
    while (start <= filter.size()) {
        const size_t bar = std::min(filter.find('|', start), filter.size());
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        combo_->addItem(QString::fromStdString(parts[i]));
        masks_.push_back(parts[i + 1]);
    }
    combo_->setCurrentIndex(masks_.empty() ? -1 : 0);
}

int TFilterComboBox::ItemIndex() const {
    return combo_->currentIndex();
}

void TFilterComboBox::SetItemIndex(int index) {
    combo_->setCurrentIndex(index >= 0 && index < Count() ? index : -1);
}

std::string TFilterComboBox::Items(int index) const {
    return combo_->itemText(index).toStdString();
}

std::string TFilterComboBox::Mask() {
    if (masks_.empty()) return "*.*";
    if (ItemIndex() < 0) SetItemIndex(Count() - 1);
    return masks_[ItemIndex()];
}

void TFilterComboBox::Choose(int index) {
    SetItemIndex(index);
    if (fileList_) fileList_->SetMask(Mask());
    if (OnChange) OnChange(this);
}

} // namespace vcl
