#include "shell/splash1.h"

#include "shell/program_icon.h"
#include "vcl/graphics.h"

#include <QCoreApplication>
#include <QMoveEvent>

TSplashWindow* SplashWindow = nullptr;

namespace {

constexpr const char* kFontFace = "ＭＳ Ｐゴシック";

vcl::TLabel* MakeLabel(TSplashWindow* form, vcl::TWinControl* parent, const char* name,
                       const char* caption, int left, int top, int width, int height,
                       int pixelHeight, bool bold, bool italic, const QColor& colour) {
    auto* label = new vcl::TLabel(form);
    label->SetName(name);
    label->SetParent(parent);
    label->SetBounds(left, top, width, height);
    vcl::SetControlFont(label, kFontFace, pixelHeight, bold, italic);
    vcl::SetFontColor(label, colour);
    label->SetColor(vcl::clBtnFace());
    label->SetCaption(caption); // sizes itself to the text
    return label;
}

} // namespace

TSplashWindow::TSplashWindow(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("SplashWindow");
    SetCaption("SplashWindow");
    SetBorderStyle(vcl::bsNone);
    SetFormStyle(vcl::fsStayOnTop);
    SetPosition(vcl::poScreenCenter);
    SetWindowFont(kFontFace, 12);
    vcl::SetFontColor(this, vcl::clWindowText());
    SetClientSize(314, 129);

    Bevel1 = new vcl::TBevel(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetParent(this);
    Bevel1->SetBounds(0, 0, 314, 129);
    Bevel1->SetAlign(vcl::alClient);
    Bevel1->SetShape(vcl::bsFrame);

    Panel1 = new vcl::TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetBounds(0, 0, 314, 129);
    Panel1->SetAlign(vcl::alClient);
    Panel1->SetBevelOuter(vcl::bvRaised);
    Panel1->SetBevelWidth(5);
    Panel1->SetCaption("");
    Panel1->SetColor(vcl::clBtnFace());

    Label1 = MakeLabel(this, Panel1, "Label1", "Ｚｏｒｖａｎｅ　", 8, 16, 297, 29, 29, true, true,
                       vcl::clMaroon);
    Label2 = MakeLabel(this, Panel1, "Label2", "Ver.1.01", 216, 64, 63, 16, 16, true, true,
                       vcl::clMaroon);
    Label3 = MakeLabel(this, Panel1, "Label3", "Now loading", 72, 88, 153, 27, 27, false, true,
                       vcl::clYellow);

    Image1 = new vcl::TImage(this);
    Image1->SetName("Image1");
    Image1->SetParent(Panel1);
    Image1->SetBounds(16, 48, 57, 41);
    Image1->SetStretch(true);
    vcl::TBitmap picture(SplashPictureImage());
    Image1->Picture()->SetGraphic(&picture);

    OnDeactivate = [this](vcl::TObject* s) { FormDeactivate(s); };
}

void TSplashWindow::FormDeactivate(vcl::TObject*) {
    Release();
}

void TSplashWindow::Update() {
    // The window system shows the window once it has seen it; then it is painted at once.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Repaint();
}

void TSplashWindow::moveEvent(QMoveEvent* event) {
    vcl::TForm::moveEvent(event);
    Invalidate();
}
