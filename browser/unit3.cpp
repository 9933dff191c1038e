#include "browser/unit3.h"

#include "platform/paths.h"

TOKBottomDlg1* OKBottomDlg1 = nullptr;

namespace {

vcl::TLabel* AddLabel(TOKBottomDlg1* dialog, const char* name, const char* caption, int left,
                      int top, int width, int height) {
    auto* label = new vcl::TLabel(dialog);
    label->SetName(name);
    label->SetParent(dialog);
    label->SetBounds(left, top, width, height);
    label->SetAutoSize(true);
    label->SetColor(vcl::clBtnFace());
    label->SetCaption(caption);
    return label;
}

} // namespace

TOKBottomDlg1::TOKBottomDlg1(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("OKBottomDlg1");
    SetCaption("プロパティ");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetWindowFont("ＭＳ Ｐゴシック", 12);
    SetClientSize(379, 165);

    Bevel1 = new vcl::TBevel(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetParent(this);
    Bevel1->SetBounds(8, 8, 361, 129);
    Bevel1->SetShape(vcl::bsFrame);

    Label1 = AddLabel(this, "Label1", "ファイル名", 16, 104, 55, 13);
    QFont nameFont(QStringLiteral("ＭＳ Ｐゴシック"));
    nameFont.setPixelSize(13);
    Label1->setFont(nameFont);
    Label2 = AddLabel(this, "Label2", "場所", 16, 120, 24, 12);

    All1 = new picture::TAll(this);
    All1->SetName("All1");
    All1->SetParent(this);
    All1->SetBounds(16, 16, 89, 81);
    All1->SetAutoSize(false);
    All1->SetStretch(true);
    All1->SetPreView(false);

    // Created after the file-name line, so it paints over a name long enough to reach it.
    Label5 = AddLabel(this, "Label5", "Label5", 168, 104, 33, 12);

    OKBtn = new vcl::TButton(this);
    OKBtn->SetName("OKBtn");
    OKBtn->SetParent(this);
    OKBtn->SetBounds(294, 138, 74, 24);
    OKBtn->SetCaption("OK");
    OKBtn->SetDefault(true);
    OKBtn->SetTabOrder(0);
    OKBtn->OnClick = [this](vcl::TObject* sender) { OKBtnClick(sender); };
}

void TOKBottomDlg1::ShowProperties(const std::string& pictureName) {
    All1->SetPictureName(pictureName);
    Label5->SetCaption(platform::ExtractFileExt(pictureName) + "ファイル");
    Label2->SetCaption("場所 : " + platform::ExtractFilePath(pictureName));
    Label1->SetCaption("ファイル名 : " + platform::ExtractFileName(pictureName));
    Show();
}

void TOKBottomDlg1::OKBtnClick(vcl::TObject*) {
    Close();
}
