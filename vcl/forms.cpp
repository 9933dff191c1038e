#include "vcl/forms.h"

#include "vcl/dialogs.h"
#include "vcl/graphics/canvas.h"
#include "vcl/menus.h"
#include "vcl/stdctrls.h"
#include "vcl/sysutils.h"

#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

#include <algorithm>

namespace vcl {

TApplication* Application = nullptr;

// ---------------------------------------------------------------------------------------------
// TForm

TForm::TForm(TComponent* owner) : TWinControl(owner), client_(new QWidget(this)) {
    setWindowFlag(Qt::Window, true);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::NoFocus); // the window itself is no stop of the Tab key
    ApplyWindowFlags();
}

TForm::~TForm() {
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            // A destructor cannot report; the form goes away regardless.
        }
    }
    DestroyComponents();
    if (Application && Application->mainForm_ == this) Application->mainForm_ = nullptr;
}

std::string TForm::Caption() const {
    return windowTitle().toStdString();
}

void TForm::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

QWidget* TForm::ClientWidget() {
    return client_;
}
int TForm::ClientWidth() {
    return client_->width();
}
int TForm::ClientHeight() {
    return client_->height();
}

int TForm::MenuHeight() const {
    return menuBar_ ? menuBar_->sizeHint().height() : 0;
}

void TForm::SetClientSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    const QSize outer(width, height + MenuHeight());
    if (borderStyle_ != bsSizeable && borderStyle_ != bsSizeToolWin)
        setFixedSize(outer);
    else
        resize(outer);
    LayoutFrame();
}

void TForm::SetBounds(int left, int top, int width, int height) {
    move(left, top);
    SetClientSize(width, height - MenuHeight());
}

void TForm::LayoutFrame() {
    const int menuHeight = MenuHeight();
    if (menuBar_) menuBar_->setGeometry(0, 0, width(), menuHeight);
    client_->setGeometry(0, menuHeight, width(), std::max(0, height() - menuHeight));
    AlignControls();
}

void TForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutFrame();
}

void TForm::ApplyWindowFlags() {
    const bool wasVisible = isVisible();
    Qt::WindowFlags flags = borderStyle_ == bsDialog ? Qt::Dialog : Qt::Window;
    if (borderStyle_ == bsNone) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (borderIcons_ & biSystemMenu)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if ((borderIcons_ & biMinimize) && borderStyle_ != bsDialog)
            flags |= Qt::WindowMinimizeButtonHint;
        if ((borderIcons_ & biMaximize) && borderStyle_ == bsSizeable)
            flags |= Qt::WindowMaximizeButtonHint;
    }
    if (formStyle_ == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    if (wasVisible) show(); // Qt hides a window whose flags change
}

void TForm::ApplyFixedSize() {
    if (borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(size());
    }
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    borderStyle_ = style;
    ApplyWindowFlags();
    ApplyFixedSize();
}

void TForm::SetBorderIcons(int icons) {
    borderIcons_ = icons;
    ApplyWindowFlags();
}

void TForm::SetFormStyle(TFormStyle style) {
    formStyle_ = style;
    ApplyWindowFlags();
}

void TForm::SetMenu(TMainMenu* menu) {
    const int clientWidth = ClientWidth(), clientHeight = ClientHeight();
    menu_ = menu;
    if (menu_ && !menuBar_) {
        menuBar_ = new QMenuBar(this);
        // The menu bar keeps the system's font, not the window's.
        menuBar_->setFont(QApplication::font());
    }
    if (menuBar_) {
        if (menu_)
            menu_->BuildMenuBar(menuBar_);
        else
            menuBar_->clear();
        menuBar_->setVisible(menu_ != nullptr);
    }
    if (!menu_ && menuBar_) {
        delete menuBar_;
        menuBar_ = nullptr;
    }
    SetClientSize(clientWidth, clientHeight);
}

void TForm::SetWindowFont(const std::string& face, int pixelHeight) {
    const int clientWidth = ClientWidth(), clientHeight = ClientHeight();
    QFont font(QString::fromStdString(face));
    font.setPixelSize(pixelHeight);
    setFont(font);
    SetClientSize(clientWidth, clientHeight);
}

void TForm::CentreOnScreen() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    // The window is made first, so that its frame is known and the outer size is centred.
    create();
    const QSize outer = frameGeometry().size();
    move(area.x() + std::max(0, (area.width() - outer.width()) / 2),
         area.y() + std::max(0, (area.height() - outer.height()) / 2));
}

void TForm::SetVisible(bool visible) {
    if (visible) {
        if (!shownOnce_ && position_ == poScreenCenter) CentreOnScreen();
        shownOnce_ = true;
        QWidget::setVisible(true);
        BringToFront();
    } else {
        QWidget::setVisible(false);
    }
}

void TForm::BringToFront() {
    // Raising leaves a minimized window minimized; only the user restores it.
    raise();
    activateWindow();
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (!CloseQuery()) return;
    const bool isMain = Application && Application->MainForm() == this;
    TCloseAction action = isMain ? caFree : caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (isMain) {
        QWidget::setVisible(false);
        Application->Terminate();
    } else if (action == caHide) {
        Hide();
    } else if (action == caMinimize) {
        showMinimized();
    } else {
        Release();
    }
}

void TForm::Release() {
    QPointer<QWidget> self(this);
    QMetaObject::invokeMethod(
        qApp, [self] { delete self.data(); }, Qt::QueuedConnection);
}

TCanvas* TForm::Canvas() {
    // The form's canvas serves as a context for palettes; made on first use.
    if (!canvas_) canvas_ = std::make_shared<TCanvas>("form");
    return canvas_.get();
}

void TForm::DoCreate() {
    // An error escaping the creation handler is shown; the form is complete all the same.
    try {
        if (OnCreate) OnCreate(this);
    } catch (...) {
        if (!Application) throw;
        Application->HandleException();
    }
}

bool TForm::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (OnActivate) OnActivate(this);
        break;
    case QEvent::WindowDeactivate:
        if (OnDeactivate) OnDeactivate(this);
        break;
    default:
        break;
    }
    return TWinControl::event(event);
}

void TForm::closeEvent(QCloseEvent* event) {
    // The window's close box, Alt+F4 and the session's end all go through the close query.
    event->ignore();
    Close();
}

void TForm::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool escape = event->key() == Qt::Key_Escape;
    if (!enter && !escape) {
        TWinControl::keyPressEvent(event);
        return;
    }
    if (enter) {
        if (auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
            focused && isAncestorOf(focused)) {
            focused->click();
            return;
        }
    }
    // Our classes carry no Qt meta-object of their own, so they are told apart by dynamic_cast.
    for (QWidget* child : findChildren<QWidget*>()) {
        auto* button = dynamic_cast<TButton*>(child);
        if (!button || !button->isVisible() || !button->Enabled()) continue;
        if ((enter && button->Default()) || (escape && button->Cancel())) {
            button->Click();
            return;
        }
    }
    TWinControl::keyPressEvent(event);
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && OnShow) OnShow(this);
}

void TForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous() && OnHide) OnHide(this);
}

// ---------------------------------------------------------------------------------------------
// TApplication

TApplication::TApplication() : TComponent(nullptr), handle_(std::make_unique<QWidget>()) {
    handle_->setAttribute(Qt::WA_DontShowOnScreen);
    Application = this;
}

TApplication::~TApplication() {
    DestroyComponents();
    if (Application == this) Application = nullptr;
}

void TApplication::AdoptForm(TForm* form) {
    if (!mainForm_) mainForm_ = form;
}

std::string TApplication::Title() const {
    return QCoreApplication::applicationName().toStdString();
}

void TApplication::SetTitle(const std::string& title) {
    // The message boxes take their title from here as well.
    QCoreApplication::setApplicationName(QString::fromStdString(title));
}

void TApplication::Run() {
    if (terminated_) return;
    running_ = true;
    if (mainForm_) mainForm_->Show();
    if (!terminated_) QApplication::exec();
    running_ = false;
}

void TApplication::Terminate() {
    terminated_ = true;
    QCoreApplication::exit(0);
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents();
}

void TApplication::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) OnHint(this);
}

void TApplication::UpdateHint() {
    if (menuOpen_) {
        SetHint(menuHint_);
        return;
    }
    TControl* control = TControl::FromWidget(QApplication::widgetAt(QCursor::pos()));
    while (control && control->Hint().empty())
        control = control->Parent();
    SetHint(control ? GetLongHint(control->Hint()) : std::string());
}

void TApplication::MenuHintChanged(const std::string& hint, bool menuOpen) {
    menuOpen_ = menuOpen;
    menuHint_ = hint;
    UpdateHint();
}

void TApplication::ShowException(const std::exception& error) {
    std::string text = error.what();
    if (text.empty() || text.back() != '.') text += '.';
    MessageBox(text, Title(), MsgIcon::Error, MsgButtons::Ok);
}

void TApplication::HandleException() {
    try {
        throw;
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(Exception("不明な例外"));
    }
}

// ---------------------------------------------------------------------------------------------
// TQtApplication

TQtApplication::TQtApplication(int& argc, char** argv)
    : QApplication(argc, argv), application_(std::make_unique<TApplication>()) {
    // Hiding the last visible window (the splash, a dialog) must not end the program; only the
    // main window's closing does.
    setQuitOnLastWindowClosed(false);
    // The end of the session asks the main window's close query; a refusal refuses the logout.
    QObject::connect(this, &QGuiApplication::commitDataRequest, [this](QSessionManager& manager) {
        TForm* main = application_->MainForm();
        if (main && manager.allowsInteraction() && !main->CloseQuery()) manager.cancel();
    });
}

TQtApplication::~TQtApplication() {
    application_.reset();
}

namespace {

// Coalesces the many mouse events of one move into one hint update from the event loop.
void ScheduleHintUpdate() {
    static bool pending = false;
    if (pending) return;
    pending = true;
    QTimer::singleShot(0, [] {
        pending = false;
        if (Application) Application->UpdateHint();
    });
}

} // namespace

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
    try {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::HoverMove:
            ScheduleHintUpdate();
            break;
        case QEvent::Show:
            if (qobject_cast<QMenu*>(receiver)) application_->MenuHintChanged("", true);
            break;
        case QEvent::Hide:
            if (qobject_cast<QMenu*>(receiver)) {
                application_->MenuHintChanged("", false);
            }
            break;
        default:
            break;
        }
        return QApplication::notify(receiver, event);
    } catch (...) {
        application_->HandleException();
        return false;
    }
}

} // namespace vcl
