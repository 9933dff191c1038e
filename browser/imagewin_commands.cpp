// The browser window's commands that lead to the enlarged view, the slide show, the settings
// store and the pane commands. Each is attached to its menu item, button or pane.
#include "browser/imagewin.h"

#include "browser/unit3.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "settings/settings_store.h"
#include "view/viewsetup.h"
#include "view/viewwin.h"

namespace {

// The pane the context menu was opened on: PopupComponent compared with All1 ... All12 in turn.
picture::TAll* SourcePane(const TImageForm& form) {
    for (int k = 1; k <= kSlotCount; ++k)
        if (form.PopupMenu1->PopupComponent() == form.Pane(k)) return form.Pane(k);
    return nullptr;
}

// Loads first, then shows: a failure the pane lets through ends the command before the show.
void Enlarge(const std::string& pictureName) {
    ViewForm->All1->SetPictureName(pictureName);
    ViewForm->Show();
}

// A slide show tick that arrives while an earlier one is still loading or reporting (its message
// box runs a nested loop) is dropped: the earlier tick has not moved the cursor yet, so the new
// one would load the same file and open a report inside the report.
bool tickInProgress = false;

class TickGuard {
public:
    TickGuard() { tickInProgress = true; }
    ~TickGuard() { tickInProgress = false; }
    TickGuard(const TickGuard&) = delete;
    TickGuard& operator=(const TickGuard&) = delete;
};

// The cursor to the entry after the current one: the first again with loop, else none.
void AdvanceSlideShow(TImageForm& form) {
    vcl::TFileListBox* files = form.FileListBox1;
    const int current = files->ItemIndex();
    if (current < 0) return; // the list was rebuilt meanwhile and holds nothing current
    if (current == files->Count() - 1)
        files->SetItemIndex(OKRightDlg->CheckBox1->Checked() ? 0 : -1);
    else
        files->SetItemIndex(current + 1);
}

} // namespace

void TImageForm::All1DblClick(vcl::TObject*) {
    Enlarge(All1->PictureName());
}
void TImageForm::All2DblClick(vcl::TObject*) {
    Enlarge(All2->PictureName());
}
void TImageForm::All3DblClick(vcl::TObject*) {
    Enlarge(All3->PictureName());
}
void TImageForm::All4DblClick(vcl::TObject*) {
    Enlarge(All4->PictureName());
}
void TImageForm::All5DblClick(vcl::TObject*) {
    Enlarge(All5->PictureName());
}
void TImageForm::All6DblClick(vcl::TObject*) {
    Enlarge(All6->PictureName());
}
void TImageForm::All7DblClick(vcl::TObject*) {
    Enlarge(All7->PictureName());
}
void TImageForm::All8DblClick(vcl::TObject*) {
    Enlarge(All8->PictureName());
}
void TImageForm::All9DblClick(vcl::TObject*) {
    Enlarge(All9->PictureName());
}
void TImageForm::All10DblClick(vcl::TObject*) {
    Enlarge(All10->PictureName());
}
void TImageForm::All11DblClick(vcl::TObject*) {
    Enlarge(All11->PictureName());
}
void TImageForm::All12DblClick(vcl::TObject*) {
    Enlarge(All12->PictureName());
}

void TImageForm::K4Click(vcl::TObject*) {
    if (picture::TAll* pane = SourcePane(*this))
        ViewForm->All1->SetPictureName(pane->PictureName());
    ViewForm->Show();
}

void TImageForm::K5Click(vcl::TObject*) {
    // Without a source pane the dialog is shown as it is.
    if (picture::TAll* pane = SourcePane(*this))
        OKBottomDlg1->ShowProperties(pane->PictureName());
    else
        OKBottomDlg1->Show();
}

void TImageForm::Open1Click(vcl::TObject*) {
    // The opener's outcome is its own: nothing is reported, nothing changes.
    if (picture::TAll* pane = SourcePane(*this)) {
        const std::string& file = pane->PictureName();
        platform::ShellOpen(file, platform::ExtractShellFolder(file));
    }
}

void TImageForm::Button3Click(vcl::TObject*) {
    OKRightDlg->Show();
}

void TImageForm::Timer1Timer(vcl::TObject*) {
    if (tickInProgress) return;
    TickGuard guard;
    if (FileListBox1->ItemIndex() < 0) {
        Timer1->SetEnabled(false);
        ViewForm->Close();
        return;
    }
    try {
        ViewForm->All1->SetPictureName(FileListBox1->FileName());
    } catch (...) {
        // A failure the pane lets through: the show moves on to the next file instead of failing
        // on the same one every interval, and the standard error display reports it while this
        // tick still holds the later ones off.
        AdvanceSlideShow(*this);
        vcl::Application->HandleException();
        return;
    }
    AdvanceSlideShow(*this);
}

void TImageForm::K7Click(vcl::TObject*) {
    settings::SaveSettings({FilterComboBox1->ItemIndex(), OKRightDlg->SpinEdit1->Value(),
                            OKRightDlg->RadioButton2->Checked(), OKRightDlg->CheckBox1->Checked(),
                            Left(), Top()});
}

// Opening the load submenu needs nothing beyond showing its five items.
void TImageForm::K6Click(vcl::TObject*) {}

namespace {

void LoadSavedDirectory(TImageForm& form, int slot) {
    const std::string directory = settings::LoadDirectory(slot);
    if (directory.empty() || directory == form.DirectoryListBox1->Directory()) return;
    form.DirectoryListBox1->SetDirectory(directory);
}

void SaveCurrentDirectory(TImageForm& form, int slot) {
    form.DirectoryItem(slot)->SetCaption(
        settings::SaveDirectory(slot, form.DirectoryListBox1->Directory()));
}

} // namespace

void TImageForm::dir1Click(vcl::TObject*) {
    LoadSavedDirectory(*this, 1);
}
void TImageForm::dir2Click(vcl::TObject*) {
    LoadSavedDirectory(*this, 2);
}
void TImageForm::dir3Click(vcl::TObject*) {
    LoadSavedDirectory(*this, 3);
}
void TImageForm::dir4Click(vcl::TObject*) {
    LoadSavedDirectory(*this, 4);
}
void TImageForm::dir5Click(vcl::TObject*) {
    LoadSavedDirectory(*this, 5);
}
void TImageForm::SaveDirectory11Click(vcl::TObject*) {
    SaveCurrentDirectory(*this, 1);
}
void TImageForm::SaveDirectory21Click(vcl::TObject*) {
    SaveCurrentDirectory(*this, 2);
}
void TImageForm::SaveDirectory31Click(vcl::TObject*) {
    SaveCurrentDirectory(*this, 3);
}
void TImageForm::SaveDirectory41Click(vcl::TObject*) {
    SaveCurrentDirectory(*this, 4);
}
void TImageForm::SaveDirectory51Click(vcl::TObject*) {
    SaveCurrentDirectory(*this, 5);
}
