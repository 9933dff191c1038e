// The thumbnail page: the twelve slots filled from the file list's current index, and the
// handlers that keep the page in step with the file list, the directory list and the scroll bar.
#include "browser/imagewin.h"

#include "platform/paths.h"

void TImageForm::fileselected() {
    try {
        for (int k = 1; k <= kSlotCount; ++k)
            Pane(k)->SetPictureName("");
        for (int k = 1; k <= kSlotCount; ++k)
            SlotLabel(k)->SetCaption(kNoFileText);
        FileListBox1->SetTag(FileListBox1->ItemIndex());
        for (int k = 1; k <= kSlotCount; ++k) {
            // Tag alone decides: a slide show tick behind a failure message may move the current
            // index in the middle of the fill.
            if (FileListBox1->Tag() < 0 || FileListBox1->Tag() > FileListBox1->Count() - 1)
                continue;
            Pane(k)->SetPictureName(FileListBox1->FileName());
            SlotLabel(k)->SetCaption(platform::ExtractFileName(FileListBox1->FileName()));
            FileListBox1->SetItemIndex(FileListBox1->ItemIndex() + 1);
            FileListBox1->SetTag(FileListBox1->Tag() + 1);
        }
    } catch (...) {
        // The fill ends silently; slots not yet reached stay cleared.
    }
}

void TImageForm::FileListBox1Change(vcl::TObject*) {
    ScrollBar1->SetEnabled(FileListBox1->Count() > 0);
    DirectoryListBox1->SetDirectory(FileListBox1->Directory());
    DriveComboBox1->SetDrive(FileListBox1->Drive());
    StatusBar1->Panels()->Items(0)->SetText(kFileCountText + std::to_string(FileListBox1->Count()));
    FileListBox1->SetItemIndex(0);
    fileselected();
}

void TImageForm::DirectoryListBox1Change(vcl::TObject*) {
    FileListBox1->SetItemIndex(0);
    fileselected();
}

void TImageForm::ScrollBar1Scroll(vcl::TObject*, vcl::TScrollCode, int&) {
    if (FileListBox1->Count() == 0) return;
    ScrollBar1->SetMax(FileListBox1->Count() - 1);
    FileListBox1->SetItemIndex(ScrollBar1->Position());
    fileselected();
}
