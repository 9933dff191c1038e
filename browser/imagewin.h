// Module ImageWin: the browser window, the program's main window. Its left column holds the drive
// box and the directory list, below them the filter box; its right part the grid of twelve
// thumbnail panes with a file name under each, the scroll bar that pages through the hidden file
// list, and two buttons; a status bar runs along the bottom.
#pragma once

#include "picture/all.h"
#include "vcl/comctrls.h"
#include "vcl/extctrls.h"
#include "vcl/filectrl.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/stdctrls.h"

#include <array>
#include <string>

// Texts of the thumbnail page.
inline constexpr const char* kNoFileText = "no file";
inline constexpr const char* kFileCountText = "File count = ";
inline constexpr int kSlotCount = 12;

class TImageForm : public vcl::TForm {
public:
    explicit TImageForm(vcl::TComponent* owner);

    // The visible controls.
    vcl::TDirectoryListBox* DirectoryListBox1;
    vcl::TDriveComboBox* DriveComboBox1;
    vcl::TFilterComboBox* FilterComboBox1;
    vcl::TPanel *Panel1, *Panel2, *Panel3, *Panel4, *Panel5, *Panel6, *Panel7, *Panel8, *Panel9,
        *Panel10, *Panel11, *Panel12;
    picture::TAll *All1, *All2, *All3, *All4, *All5, *All6, *All7, *All8, *All9, *All10, *All11,
        *All12;
    vcl::TLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9,
        *Label10, *Label11, *Label12, *Label13;
    vcl::TButton* Button3;
    vcl::TScrollBar* ScrollBar1;
    vcl::TButton* Button4;
    vcl::TStatusBar* StatusBar1;

    // The hidden controls: created invisible and never shown.
    vcl::TFileListBox* FileListBox1;
    vcl::TEdit* FileEdit;
    vcl::TButton* Button1;
    vcl::TButton* Button2;
    vcl::TButton* ViewBtn;
    vcl::TCheckBox* StretchCheck;
    vcl::TLabel* Label14;

    // The non-visual components.
    vcl::TMainMenu* MainMenu1;
    vcl::TPopupMenu* PopupMenu1;
    vcl::TTimer* Timer1;

    // The menu bar's items.
    vcl::TMenuItem *K1, *K3;
    vcl::TMenuItem *KE1, *AutoviewV1, *N1, *K7, *KS1, *K6;
    vcl::TMenuItem *SaveDirectory11, *SaveDirectory21, *SaveDirectory31, *SaveDirectory41,
        *SaveDirectory51;
    vcl::TMenuItem *dir1, *dir2, *dir3, *dir4, *dir5;
    vcl::TMenuItem *Kh1, *K2, *readme1;
    // The panes' context menu.
    vcl::TMenuItem *K4, *K5, *Open1;

    // Slot k (1 to 12): its pane, its name label, its frame panel.
    picture::TAll* Pane(int k) const { return panes_.at(k - 1); }
    vcl::TLabel* SlotLabel(int k) const { return labels_.at(k - 1); }
    vcl::TPanel* SlotPanel(int k) const { return panels_.at(k - 1); }
    // Saved-directory slot n (1 to 5): its load item and its save item.
    vcl::TMenuItem* DirectoryItem(int n) const { return dirItems_.at(n - 1); }
    vcl::TMenuItem* SaveDirectoryItem(int n) const { return saveItems_.at(n - 1); }

    // The window itself.
    void FormCreate(vcl::TObject* Sender);
    void FormShow(vcl::TObject* Sender);
    void FormCloseQuery(vcl::TObject* Sender, bool& CanClose);
    void showhint(vcl::TObject* Sender);
    void K3Click(vcl::TObject* Sender);
    void K2Click(vcl::TObject* Sender);
    void readme1Click(vcl::TObject* Sender);

    // The thumbnail page.
    void fileselected();
    void FileListBox1Change(vcl::TObject* Sender);
    void DirectoryListBox1Change(vcl::TObject* Sender);
    void ScrollBar1Scroll(vcl::TObject* Sender, vcl::TScrollCode ScrollCode, int& ScrollPos);

    // The enlarged view, the slide show, the settings and the pane commands.
    void All1DblClick(vcl::TObject* Sender);
    void All2DblClick(vcl::TObject* Sender);
    void All3DblClick(vcl::TObject* Sender);
    void All4DblClick(vcl::TObject* Sender);
    void All5DblClick(vcl::TObject* Sender);
    void All6DblClick(vcl::TObject* Sender);
    void All7DblClick(vcl::TObject* Sender);
    void All8DblClick(vcl::TObject* Sender);
    void All9DblClick(vcl::TObject* Sender);
    void All10DblClick(vcl::TObject* Sender);
    void All11DblClick(vcl::TObject* Sender);
    void All12DblClick(vcl::TObject* Sender);
    void K4Click(vcl::TObject* Sender);
    void K5Click(vcl::TObject* Sender);
    void Open1Click(vcl::TObject* Sender);
    void Button3Click(vcl::TObject* Sender);
    void Timer1Timer(vcl::TObject* Sender);
    void K7Click(vcl::TObject* Sender);
    void K6Click(vcl::TObject* Sender);
    void dir1Click(vcl::TObject* Sender);
    void dir2Click(vcl::TObject* Sender);
    void dir3Click(vcl::TObject* Sender);
    void dir4Click(vcl::TObject* Sender);
    void dir5Click(vcl::TObject* Sender);
    void SaveDirectory11Click(vcl::TObject* Sender);
    void SaveDirectory21Click(vcl::TObject* Sender);
    void SaveDirectory31Click(vcl::TObject* Sender);
    void SaveDirectory41Click(vcl::TObject* Sender);
    void SaveDirectory51Click(vcl::TObject* Sender);

private:
    void CreateControls();
    void CreateGrid();
    void CreateHiddenControls();
    void CreateMenus();
    // Places the window at a stored position, or leaves it to be centred when that position lies
    // off every screen.
    void PlaceAt(int left, int top);

    std::array<picture::TAll*, kSlotCount> panes_{};
    std::array<vcl::TLabel*, kSlotCount> labels_{};
    std::array<vcl::TPanel*, kSlotCount> panels_{};
    std::array<vcl::TMenuItem*, 5> dirItems_{};
    std::array<vcl::TMenuItem*, 5> saveItems_{};
};

extern TImageForm* ImageForm;
