#include "view/viewsetup.h"

#include "browser/imagewin.h"
#include "settings/settings_store.h"
#include "view/viewwin.h"

TOKRightDlg* OKRightDlg = nullptr;

namespace {
constexpr int kMillisecondsPerSecond = 1000;
constexpr int kShortestInterval = 1; // seconds
constexpr int kLongestInterval = 60;
} // namespace

TOKRightDlg::TOKRightDlg(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("OKRightDlg");
    SetCaption("Ａｕｔｏ　Ｖｉｅｗ　の設定");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetWindowFont("ＭＳ Ｐゴシック", 12);
    SetClientSize(302, 127);

    Bevel1 = new vcl::TBevel(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetParent(this);
    Bevel1->SetBounds(8, 8, 193, 97);
    Bevel1->SetShape(vcl::bsFrame);

    Bevel2 = new vcl::TBevel(this);
    Bevel2->SetName("Bevel2");
    Bevel2->SetParent(this);
    Bevel2->SetBounds(200, 72, 89, 33);
    Bevel2->SetShape(vcl::bsFrame);

    SpinEdit1 = new vcl::TSpinEdit(this);
    SpinEdit1->SetName("SpinEdit1");
    SpinEdit1->SetParent(this);
    SpinEdit1->SetBounds(24, 24, 41, 21);
    SpinEdit1->SetMinValue(kShortestInterval);
    SpinEdit1->SetMaxValue(kLongestInterval);
    SpinEdit1->SetIncrement(1);
    SpinEdit1->SetValue(1);
    SpinEdit1->SetHint("１秒から６０秒まで指定できます。");

    Label1 = new vcl::TLabel(this);
    Label1->SetName("Label1");
    Label1->SetParent(this);
    Label1->SetBounds(72, 32, 111, 12);
    Label1->SetCaption("秒ごとに画像切り替え");

    RadioButton2 = new vcl::TRadioButton(this);
    RadioButton2->SetName("RadioButton2");
    RadioButton2->SetParent(this);
    RadioButton2->SetBounds(40, 56, 121, 17);
    RadioButton2->SetCaption("最初のファイルから");
    RadioButton2->SetChecked(false);

    RadioButton1 = new vcl::TRadioButton(this);
    RadioButton1->SetName("RadioButton1");
    RadioButton1->SetParent(this);
    RadioButton1->SetBounds(40, 80, 129, 17);
    RadioButton1->SetCaption("現在のファイルから");
    RadioButton1->SetChecked(true);

    OKBtn = new vcl::TButton(this);
    OKBtn->SetName("OKBtn");
    OKBtn->SetParent(this);
    OKBtn->SetBounds(215, 8, 75, 25);
    OKBtn->SetCaption("キャンセル");
    OKBtn->SetDefault(true);
    OKBtn->SetHint("設定を中止します。");
    OKBtn->OnClick = [this](vcl::TObject* sender) { OKBtnClick(sender); };

    Button1 = new vcl::TButton(this);
    Button1->SetName("Button1");
    Button1->SetParent(this);
    Button1->SetBounds(216, 40, 75, 25);
    Button1->SetCaption("View start");
    Button1->SetHint("画像表示をを始めます。");
    Button1->OnClick = [this](vcl::TObject* sender) { Button1Click(sender); };

    CheckBox1 = new vcl::TCheckBox(this);
    CheckBox1->SetName("CheckBox1");
    CheckBox1->SetParent(this);
    CheckBox1->SetBounds(200, 80, 65, 17);
    CheckBox1->SetCaption("ループ");
    CheckBox1->SetChecked(false);
    CheckBox1->SetHint("最後のファイル表示後、繰り返しを許可する。");

    StatusBar1 = new vcl::TStatusBar(this);
    StatusBar1->SetName("StatusBar1");
    StatusBar1->SetParent(this);
    StatusBar1->SetBounds(0, 108, 302, 19);
    StatusBar1->SetSimplePanel(true);
    StatusBar1->SetSimpleText("ここに説明が表示されます。");

    OKBtn->SetTabOrder(0);
    SpinEdit1->SetTabOrder(1);
    Button1->SetTabOrder(2);
    RadioButton1->SetTabOrder(3);
    RadioButton2->SetTabOrder(4);
    CheckBox1->SetTabOrder(5);

    // Status texts are shown in the status bar instead of tooltips.
    SetShowHint(false);

    OnCreate = [this](vcl::TObject* sender) { FormCreate(sender); };
}

void TOKRightDlg::FormCreate(vcl::TObject*) {
    settings::ReadAtStartup([this](settings::SettingsKey& key) {
        SpinEdit1->SetValue(key.ReadInterval());
        RadioButton2->SetChecked(key.ReadStartFromFirst());
        CheckBox1->SetChecked(key.ReadLoop());
    });
    // The radio buttons are one group: a stored "from the first file" clears the other one.
    if (!RadioButton2->Checked()) RadioButton1->SetChecked(true);
}

void TOKRightDlg::Button1Click(vcl::TObject*) {
    vcl::TFileListBox* files = ImageForm->FileListBox1;
    if (RadioButton2->Checked()) files->SetItemIndex(0);
    ImageForm->Timer1->SetInterval(SpinEdit1->Value() * kMillisecondsPerSecond);
    ImageForm->Timer1->SetEnabled(true);
    ViewForm->Show();
    Close();
}

void TOKRightDlg::OKBtnClick(vcl::TObject*) {
    Close();
}
