#include "shell/about1.h"

#include "shell/program_icon.h"
#include "vcl/graphics.h"

TAboutBox* AboutBox = nullptr;

namespace {

vcl::TLabel* AddLabel(TAboutBox* box, vcl::TWinControl* parent, const char* name,
                      const char* caption, int left, int top) {
    auto* label = new vcl::TLabel(box);
    label->SetName(name);
    label->SetParent(parent);
    label->SetBounds(left, top, 0, 12);
    label->SetAutoSize(true);
    label->SetCaption(caption);
    return label;
}

} // namespace

TAboutBox::TAboutBox(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("AboutBox");
    SetCaption("ﾊﾞｰｼﾞｮﾝ情報");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetWindowFont("ＭＳ Ｐゴシック", 12);
    SetClientSize(294, 214);

    Panel1 = new vcl::TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetBounds(8, 8, 277, 158);
    Panel1->SetBevelOuter(vcl::bvLowered);
    Panel1->SetCaption("");

    ProgramIcon = new vcl::TImage(this);
    ProgramIcon->SetName("ProgramIcon");
    ProgramIcon->SetParent(Panel1);
    ProgramIcon->SetBounds(24, 16, 41, 33);
    ProgramIcon->SetStretch(true);
    vcl::TBitmap icon(ProgramIconImage());
    ProgramIcon->Picture()->SetGraphic(&icon);

    ProductName = AddLabel(this, Panel1, "ProductName", "Ｚｏｒｖａｎｅ", 86, 16);
    Version = AddLabel(this, Panel1, "Version", "Version　:  1.01", 86, 39);
    Copyright =
        AddLabel(this, Panel1, "Copyright", "Copyright (C) 2026 Zorvane 開発チーム", 86, 62);
    Comments =
        AddLabel(this, Panel1, "Comments", "このソフトウェアは無保証で提供されます。", 24, 104);
    Comments->SetAutoSize(false);
    Comments->SetBounds(24, 104, 240, 40);

    OKButton = new vcl::TButton(this);
    OKButton->SetName("OKButton");
    OKButton->SetParent(this);
    OKButton->SetBounds(110, 175, 64, 33);
    OKButton->SetCaption("OK");
    OKButton->SetDefault(true);
    OKButton->OnClick = [this](vcl::TObject* sender) { OKButtonClick(sender); };
    OKButton->SetTabOrder(0);
}

void TAboutBox::OKButtonClick(vcl::TObject*) {
    Close();
}
