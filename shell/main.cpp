// The program's entry point: the splash window, the six windows in their fixed order, and the
// message loop until the browser window closes.
#include "browser/imagewin.h"
#include "browser/unit3.h"
#include "shell/about1.h"
#include "shell/program_icon.h"
#include "shell/splash1.h"
#include "shell/unit1.h"
#include "vcl/forms.h"
#include "view/viewsetup.h"
#include "view/viewwin.h"

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QPointer>

int main(int argc, char** argv) {
    vcl::TQtApplication app(argc, argv);
    // The windows' face is made to the metrics of this proportional Japanese face.
    QFont::insertSubstitutions("ＭＳ Ｐゴシック", {"IPAPGothic", "IPAGothic", "Noto Sans CJK JP"});
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(ProgramIconImage())));
    QGuiApplication::setDesktopFileName("zorvane");

    SplashWindow = new TSplashWindow(nullptr);
    QPointer<TSplashWindow> splash(SplashWindow);
    SplashWindow->Show();
    SplashWindow->Update();

    vcl::Application->CreateForm(ImageForm);
    vcl::Application->CreateForm(ViewForm);
    vcl::Application->CreateForm(OKRightDlg);
    vcl::Application->CreateForm(AboutBox);
    vcl::Application->CreateForm(OKBottomDlg);
    vcl::Application->CreateForm(OKBottomDlg1);
    vcl::Application->Run();

    delete splash.data(); // when it never lost the activation
    return 0;
}
