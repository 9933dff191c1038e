#include "shell/unit1.h"

#include <QPlainTextEdit>

TOKBottomDlg* OKBottomDlg = nullptr;

TOKBottomDlg::TOKBottomDlg(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("OKBottomDlg");
    SetCaption("README");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetWindowFont("ＭＳ Ｐゴシック", 12);
    SetClientSize(444, 197);

    Bevel1 = new vcl::TBevel(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetParent(this);
    Bevel1->SetBounds(8, 8, 425, 158);
    Bevel1->SetShape(vcl::bsFrame);

    OKBtn = new vcl::TButton(this);
    OKBtn->SetName("OKBtn");
    OKBtn->SetParent(this);
    OKBtn->SetBounds(358, 170, 74, 24);
    OKBtn->SetCaption("OK");
    OKBtn->SetDefault(true);
    OKBtn->OnClick = [this](vcl::TObject* sender) { OKBtnClick(sender); };

    Memo1 = new vcl::TMemo(this);
    Memo1->SetName("Memo1");
    Memo1->SetParent(this);
    Memo1->SetBounds(16, 16, 409, 145);
    Memo1->SetWordWrap(true);
    Memo1->SetReadOnly(false);
    Memo1->SetText(kReadmeText);
    Memo1->Editor()->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->Editor()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette face = Memo1->Editor()->palette();
    face.setColor(QPalette::Base, vcl::clBtnFace());
    Memo1->Editor()->setPalette(face);

    OKBtn->SetTabOrder(0);
    Memo1->SetTabOrder(1);
}

void TOKBottomDlg::OKBtnClick(vcl::TObject*) {
    Close();
}
