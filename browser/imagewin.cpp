#include "browser/imagewin.h"

#include "settings/settings_store.h"
#include "shell/about1.h"
#include "shell/unit1.h"
#include "vcl/dialogs.h"
#include "view/viewsetup.h"

#include <QGuiApplication>
#include <QScreen>

TImageForm* ImageForm = nullptr;

namespace {

constexpr const char* kCaption = "Ｚｏｒｖａｎｅ　ver.101";
constexpr const char* kWindowHint = "|Ｚｏｒｖａｎｅ　ver.101";
constexpr const char* kFontFace = "ＭＳ Ｐゴシック";
constexpr int kFontPixels = 12;
constexpr int kClientWidth = 457;
constexpr int kClientHeight = 294;

constexpr const char* kPaneHint = "縮小された画像が表示されます。|縮小された画像が表示されます。";
constexpr const char* kSlideShowHint =
    "自動的にファイルを\n次々に拡大表示します。|自動的にファイルを次々に拡大表示します。";
constexpr const char* kDirectoryHint = "|ディレクトリ（フォルダ）に指定";
constexpr const char* kDriveHint = "|画像のあるドライブを選択してください。";
constexpr const char* kFilterHint = "|画像ファイルの種類を選択してください。";
constexpr const char* kStatusBarHint = "|ここにファイル数と説明が表示されます。";
constexpr const char* kEnlargeHint = "別ウィンドウに大きく表示します。";
constexpr const char* kOpenHint = "関連付けされていすｱﾌﾟﾘｹｰｼｮﾝで開きます。";

constexpr const char* kQuitTitle = "確認";
constexpr const char* kQuitText = "終了します　よろしいですか？";

// Description and mask pairs of the filter box, each part ended by "|" but the last.
constexpr const char* kFilter =
    "ImageFiles(*.bmp;*.ico;*.wmf;*.emf;*.jpg;*.jpe;*.gif;*.tif;*.pic;*.p2;*.mag;*.q4;*.pi)|"
    "*.bmp;*.ico;*.wmf;*.emf;*.jpg;*.jpe;*.gif;*.tif;*.pic;*.p2;*.mag;*.q4;*.pi|"
    "Bitmap Files (*.bmp)|*.bmp|"
    "Icons (*.ico)|*.ico|"
    "Meta files (*.wmf,*.emf)|*.wmf;*.emf|"
    "Jpeg file (*.jpg, *.jpe)|*.jpg;*.jpe|"
    "Gif file (*.gif)|*.gif|"
    "Tiff file (*.tif)|*.tif|"
    "Pic file (*.pic)|*.pic|"
    "Pic2 file (*.p2)|*.p2|"
    "MAG file (*.mag)|*.mag|"
    "XLD4 file (*.q4)|*.q4|"
    "PI file (*.pi)|*.pi|"
    "ICON file (*.ico)|*.ico";
constexpr const char* kAllImagesMask =
    "*.bmp;*.ico;*.wmf;*.emf;*.jpg;*.jpe;*.gif;*.tif;*.pic;*.p2;*.mag;*.q4;*.pi";

struct Place {
    int left, top, width, height;
};

// Slot k's frame panel and name label, in reading order.
constexpr Place kPanelPlaces[kSlotCount] = {
    {135, 0, 73, 65},   {216, 0, 73, 65},   {296, 0, 65, 65},   {368, 0, 65, 65},
    {136, 80, 73, 65},  {216, 80, 73, 65},  {296, 80, 65, 65},  {368, 80, 65, 65},
    {136, 160, 73, 65}, {216, 160, 73, 65}, {296, 160, 65, 65}, {368, 160, 65, 65}};
constexpr Place kLabelPlaces[kSlotCount] = {
    {136, 64, 73, 12},  {216, 64, 73, 12},  {296, 64, 65, 12},  {368, 64, 65, 12},
    {136, 144, 81, 12}, {216, 144, 73, 12}, {296, 144, 65, 17}, {368, 144, 65, 12},
    {136, 224, 73, 12}, {216, 224, 73, 12}, {296, 224, 65, 12}, {368, 224, 65, 12}};

constexpr int kStatusCountWidth = 120; // pixels of status panel 0

template <class Control>
Control* Make(vcl::TForm* form, vcl::TWinControl* parent, const char* name, const Place& at) {
    auto* control = new Control(form);
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(at.left, at.top, at.width, at.height);
    return control;
}

vcl::TMenuItem* MakeItem(vcl::TComponent* owner, vcl::TMenuItem* parent, const std::string& name,
                         const std::string& caption) {
    auto* item = new vcl::TMenuItem(owner);
    item->SetName(name);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

} // namespace

TImageForm::TImageForm(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("ImageForm");
    SetCaption(kCaption);
    SetBorderStyle(vcl::bsSingle);
    SetBorderIcons(vcl::biSystemMenu | vcl::biMinimize);
    SetPosition(vcl::poScreenCenter);
    SetWindowFont(kFontFace, kFontPixels);
    SetHint(kWindowHint);
    SetShowHint(true);

    CreateMenus();
    SetMenu(MainMenu1);
    SetClientSize(kClientWidth, kClientHeight);
    CreateHiddenControls();
    CreateControls();
    CreateGrid();

    OnCreate = [this](vcl::TObject* s) { FormCreate(s); };
    OnShow = [this](vcl::TObject* s) { FormShow(s); };
    OnCloseQuery = [this](vcl::TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };

    // The file list's first read, while the window is built: it fills the first page.
    try {
        FileListBox1->Update();
    } catch (...) {
        vcl::Application->HandleException();
    }
}

void TImageForm::CreateHiddenControls() {
    FileListBox1 = Make<vcl::TFileListBox>(this, this, "FileListBox1", {0, 0, 0, 0});
    FileListBox1->Hide();
    FileListBox1->SetMask(kAllImagesMask);
    FileListBox1->OnChange = [this](vcl::TObject* s) { FileListBox1Change(s); };

    FileEdit = Make<vcl::TEdit>(this, this, "FileEdit", {0, 0, 0, 0});
    FileEdit->Hide();
    Button1 = Make<vcl::TButton>(this, this, "Button1", {0, 0, 0, 0});
    Button1->SetCaption("△");
    Button1->Hide();
    Button2 = Make<vcl::TButton>(this, this, "Button2", {0, 0, 0, 0});
    Button2->SetCaption("▽");
    Button2->Hide();
    ViewBtn = Make<vcl::TButton>(this, this, "ViewBtn", {0, 0, 0, 0});
    ViewBtn->Hide();
    StretchCheck = Make<vcl::TCheckBox>(this, this, "StretchCheck", {0, 0, 0, 0});
    StretchCheck->Hide();
    Label14 = Make<vcl::TLabel>(this, this, "Label14", {0, 0, 0, 0});
    Label14->Hide();

    Timer1 = new vcl::TTimer(this);
    Timer1->SetName("Timer1");
    Timer1->SetEnabled(false);
    Timer1->OnTimer = [this](vcl::TObject* s) { Timer1Timer(s); };
}

void TImageForm::CreateControls() {
    // Lies under the directory list, which covers it.
    Label13 = Make<vcl::TLabel>(this, this, "Label13", {8, 40, 38, 12});
    Label13->SetCaption("Label13");

    DirectoryListBox1 =
        Make<vcl::TDirectoryListBox>(this, this, "DirectoryListBox1", {-1, 26, 127, 228});
    DirectoryListBox1->SetItemHeight(16);
    DirectoryListBox1->SetBounds(-1, 26, 127, 228);
    DirectoryListBox1->setCursor(Qt::DragMoveCursor);
    DirectoryListBox1->SetShowHint(false);
    DirectoryListBox1->SetHint(kDirectoryHint);
    DirectoryListBox1->SetFileList(FileListBox1);
    DirectoryListBox1->SetDirLabel(Label14);
    DirectoryListBox1->OnChange = [this](vcl::TObject* s) { DirectoryListBox1Change(s); };

    DriveComboBox1 = Make<vcl::TDriveComboBox>(this, this, "DriveComboBox1", {0, 4, 127, 22});
    DriveComboBox1->SetShowHint(false);
    DriveComboBox1->SetHint(kDriveHint);
    DriveComboBox1->SetDirList(DirectoryListBox1);

    FilterComboBox1 = Make<vcl::TFilterComboBox>(this, this, "FilterComboBox1", {-1, 256, 458, 20});
    FilterComboBox1->SetShowHint(false);
    FilterComboBox1->SetHint(kFilterHint);
    FilterComboBox1->SetFilter(kFilter);
    FilterComboBox1->SetFileList(FileListBox1);

    Button3 = Make<vcl::TButton>(this, this, "Button3", {296, 240, 137, 17});
    Button3->SetCaption("スライド ショー");
    Button3->SetHint(kSlideShowHint);
    Button3->OnClick = [this](vcl::TObject* s) { Button3Click(s); };

    ScrollBar1 = Make<vcl::TScrollBar>(this, this, "ScrollBar1", {440, 0, 17, 249});
    ScrollBar1->SetKind(vcl::sbVertical);
    ScrollBar1->SetMin(0);
    ScrollBar1->SetMax(100);
    ScrollBar1->SetPosition(0);
    ScrollBar1->SetSmallChange(4);
    ScrollBar1->SetLargeChange(12);
    ScrollBar1->OnScroll = [this](vcl::TObject* s, vcl::TScrollCode code, int& pos) {
        ScrollBar1Scroll(s, code, pos);
    };

    Button4 = Make<vcl::TButton>(this, this, "Button4", {136, 240, 153, 17});
    Button4->SetCaption("Zorvane ver.1.01 ");
    Button4->OnClick = [this](vcl::TObject* s) { K2Click(s); };

    StatusBar1 = Make<vcl::TStatusBar>(this, this, "StatusBar1", {0, 275, 457, 19});
    StatusBar1->SetHint(kStatusBarHint);
    vcl::TStatusPanel* count = StatusBar1->Panels()->Add();
    count->SetWidth(kStatusCountWidth);
    count->SetText("filecount");
    StatusBar1->Panels()->Add()->SetText("simplehint");

    DirectoryListBox1->SetTabOrder(0);
    DriveComboBox1->SetTabOrder(1);
    FilterComboBox1->SetTabOrder(2);
    Button3->SetTabOrder(3);
    ScrollBar1->SetTabOrder(4);
    Button4->SetTabOrder(5);
}

void TImageForm::CreateGrid() {
    picture::TAll** paneFields[kSlotCount] = {&All1, &All2, &All3, &All4,  &All5,  &All6,
                                              &All7, &All8, &All9, &All10, &All11, &All12};
    vcl::TPanel** panelFields[kSlotCount] = {&Panel1, &Panel2,  &Panel3,  &Panel4,
                                             &Panel5, &Panel6,  &Panel7,  &Panel8,
                                             &Panel9, &Panel10, &Panel11, &Panel12};
    vcl::TLabel** labelFields[kSlotCount] = {&Label1, &Label2,  &Label3,  &Label4,
                                             &Label5, &Label6,  &Label7,  &Label8,
                                             &Label9, &Label10, &Label11, &Label12};
    using Handler = void (TImageForm::*)(vcl::TObject*);
    constexpr Handler doubleClicks[kSlotCount] = {
        &TImageForm::All1DblClick,  &TImageForm::All2DblClick,  &TImageForm::All3DblClick,
        &TImageForm::All4DblClick,  &TImageForm::All5DblClick,  &TImageForm::All6DblClick,
        &TImageForm::All7DblClick,  &TImageForm::All8DblClick,  &TImageForm::All9DblClick,
        &TImageForm::All10DblClick, &TImageForm::All11DblClick, &TImageForm::All12DblClick};

    for (int i = 0; i < kSlotCount; ++i) {
        const std::string number = std::to_string(i + 1);
        auto* panel = Make<vcl::TPanel>(this, this, ("Panel" + number).c_str(), kPanelPlaces[i]);
        panel->SetBevelOuter(vcl::bvRaised);
        panel->SetBevelInner(vcl::bvLowered);

        auto* pane = new picture::TAll(this);
        pane->SetName("All" + number);
        pane->SetParent(panel);
        pane->SetBounds(2, 2, kPanelPlaces[i].width - 4, 61);
        pane->SetAlign(vcl::alClient);
        pane->SetStretch(true);
        pane->SetPreView(false);
        pane->SetHint(kPaneHint);
        pane->SetPopupMenu(PopupMenu1);
        pane->OnDblClick = [this, handler = doubleClicks[i]](vcl::TObject* s) {
            (this->*handler)(s);
        };

        auto* label = Make<vcl::TLabel>(this, this, ("Label" + number).c_str(), kLabelPlaces[i]);
        label->SetAutoSize(false);
        label->SetBounds(kLabelPlaces[i].left, kLabelPlaces[i].top, kLabelPlaces[i].width,
                         kLabelPlaces[i].height);
        // File names are shown as they are; an "&" in one is not an access key.
        label->SetShowAccelChar(false);
        label->SetCaption("Label" + number);

        *paneFields[i] = panes_[i] = pane;
        *panelFields[i] = panels_[i] = panel;
        *labelFields[i] = labels_[i] = label;
    }
}

void TImageForm::CreateMenus() {
    MainMenu1 = new vcl::TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    vcl::TMenuItem* bar = MainMenu1->Items();

    K1 = MakeItem(this, bar, "K1", "ファイル(&F)");
    K3 = MakeItem(this, K1, "K3", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&E)");
    K3->OnClick = [this](vcl::TObject* s) { K3Click(s); };

    KE1 = MakeItem(this, bar, "KE1", "設定(&E)");
    AutoviewV1 = MakeItem(this, KE1, "AutoviewV1", "スライド　ショー(&V)");
    AutoviewV1->OnClick = [this](vcl::TObject* s) { Button3Click(s); };
    N1 = MakeItem(this, KE1, "N1", "-");
    K7 = MakeItem(this, KE1, "K7", "設定の保存(&S)");
    K7->OnClick = [this](vcl::TObject* s) { K7Click(s); };
    KS1 = MakeItem(this, KE1, "KS1", "ディレクトリの保存(&D)");
    K6 = MakeItem(this, KE1, "K6", "ディレクトリの読み込み(&L)");
    K6->OnClick = [this](vcl::TObject* s) { K6Click(s); };

    using Handler = void (TImageForm::*)(vcl::TObject*);
    constexpr Handler saves[5] = {
        &TImageForm::SaveDirectory11Click, &TImageForm::SaveDirectory21Click,
        &TImageForm::SaveDirectory31Click, &TImageForm::SaveDirectory41Click,
        &TImageForm::SaveDirectory51Click};
    constexpr Handler loads[5] = {&TImageForm::dir1Click, &TImageForm::dir2Click,
                                  &TImageForm::dir3Click, &TImageForm::dir4Click,
                                  &TImageForm::dir5Click};
    vcl::TMenuItem** saveFields[5] = {&SaveDirectory11, &SaveDirectory21, &SaveDirectory31,
                                      &SaveDirectory41, &SaveDirectory51};
    vcl::TMenuItem** loadFields[5] = {&dir1, &dir2, &dir3, &dir4, &dir5};
    for (int n = 1; n <= 5; ++n) {
        const std::string number = std::to_string(n);
        auto* save = MakeItem(this, KS1, "SaveDirectory" + number + "1", "SaveDirectory" + number);
        save->OnClick = [this, handler = saves[n - 1]](vcl::TObject* s) { (this->*handler)(s); };
        auto* load = MakeItem(this, K6, "dir" + number, "SaveDirectory" + number + ": No data");
        load->OnClick = [this, handler = loads[n - 1]](vcl::TObject* s) { (this->*handler)(s); };
        *saveFields[n - 1] = saveItems_[n - 1] = save;
        *loadFields[n - 1] = dirItems_[n - 1] = load;
    }

    Kh1 = MakeItem(this, bar, "Kh1", "ヘルプ(&H)");
    K2 = MakeItem(this, Kh1, "K2", "バージョン情報(&V)");
    K2->OnClick = [this](vcl::TObject* s) { K2Click(s); };
    readme1 = MakeItem(this, Kh1, "readme1", "README(&R)");
    readme1->OnClick = [this](vcl::TObject* s) { readme1Click(s); };

    PopupMenu1 = new vcl::TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    K4 = MakeItem(this, PopupMenu1->Items(), "K4", "拡大表示(&V)");
    K4->SetHint(kEnlargeHint);
    K4->OnClick = [this](vcl::TObject* s) { K4Click(s); };
    K5 = MakeItem(this, PopupMenu1->Items(), "K5", "プロパティ(&P)");
    K5->OnClick = [this](vcl::TObject* s) { K5Click(s); };
    Open1 = MakeItem(this, PopupMenu1->Items(), "Open1", "開く(&O)");
    Open1->SetHint(kOpenHint);
    Open1->OnClick = [this](vcl::TObject* s) { Open1Click(s); };
}

void TImageForm::FormCreate(vcl::TObject*) {
    settings::ReadAtStartup([this](settings::SettingsKey& key) {
        for (int slot = 1; slot <= settings::kDirectorySlots; ++slot)
            DirectoryItem(slot)->SetCaption(key.ReadDirectory(slot));
        const settings::WindowPosition at = key.ReadPosition();
        PlaceAt(at.left, at.top);
        if (FileListBox1->Count() > 0) ScrollBar1->SetMax(FileListBox1->Count() - 1);
        FileListBox1->SetItemIndex(ScrollBar1->Position());
        vcl::Application->OnHint = [this](vcl::TObject* s) { showhint(s); };
        FilterComboBox1->SetItemIndex(key.ReadFilter());
        FileListBox1->SetMask(FilterComboBox1->Mask());
        fileselected();
    });
}

void TImageForm::PlaceAt(int left, int top) {
    const QRect outer(left, top, frameGeometry().width(), frameGeometry().height());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(outer)) {
            move(left, top);
            SetPosition(vcl::poDesigned);
            return;
        }
    }
    // Off every screen (a monitor that is gone): the window is centred instead.
}

void TImageForm::FormShow(vcl::TObject*) {
    vcl::Application->OnHint = [this](vcl::TObject* s) { showhint(s); };
}

void TImageForm::showhint(vcl::TObject*) {
    StatusBar1->Panels()->Items(1)->SetText(vcl::Application->Hint());
    if (OKRightDlg) OKRightDlg->StatusBar1->SetSimpleText(StatusBar1->Panels()->Items(1)->Text());
}

void TImageForm::FormCloseQuery(vcl::TObject*, bool& CanClose) {
    const vcl::MsgButton answer =
        vcl::MessageBox(kQuitText, kQuitTitle, vcl::MsgIcon::Question, vcl::MsgButtons::OkCancel);
    if (answer == vcl::MsgButton::Cancel) CanClose = false;
}

void TImageForm::K3Click(vcl::TObject*) {
    Close();
}

void TImageForm::K2Click(vcl::TObject*) {
    if (AboutBox) AboutBox->Show();
}

void TImageForm::readme1Click(vcl::TObject*) {
    if (OKBottomDlg) OKBottomDlg->Show();
}
