// Forms and the application object: top-level windows with a client area below an optional menu
// bar, their showing, closing and events; the application's form factory, message loop, hint text
// and the standard error display.
#pragma once

#include "vcl/controls.h"

#include <QApplication>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QMenuBar;

namespace vcl {

class TCanvas;
class TMainMenu;
class TForm;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum TFormStyle { fsNormal, fsStayOnTop };
enum TPosition { poDesigned, poScreenCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    std::string Caption() const;
    void SetCaption(const std::string& caption);

    // The area below the menu bar, in pixels.
    QWidget* ClientWidget() override;
    int ClientWidth() override;
    int ClientHeight() override;
    void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
    void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }
    void SetClientSize(int width, int height);

    // Left and Top are the outer top-left corner on the screen.
    void SetBounds(int left, int top, int width, int height) override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    int BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(int icons);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    // poScreenCenter centres the window on the screen when it is first shown.
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }

    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);

    // The window font, used by every control that keeps its parent's font.
    void SetWindowFont(const std::string& face, int pixelHeight);

    // Visible is whether the window is shown on the screen.
    bool Visible() const override { return isVisible(); }
    void SetVisible(bool visible) override;
    // Shows the window without waiting and brings it to the front.
    void BringToFront();

    // Runs the close query; then the main window ends the program and any other window hides.
    void Close();
    // Frees the form once the events already queued have been handled.
    void Release();
    // Asks OnCloseQuery; true when the window may close.
    virtual bool CloseQuery();

    // The form's drawing surface; the picture pane realises a bitmap's palette on it.
    TCanvas* Canvas();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    // Called by TApplication::CreateForm once the form is built and its global is set.
    void DoCreate();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter clicks the focused push button or else the default button; Esc the cancel button.
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int MenuHeight() const;
    void LayoutFrame();
    void ApplyWindowFlags();
    void ApplyFixedSize();
    void CentreOnScreen();

    QWidget* client_;
    QMenuBar* menuBar_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TFormBorderStyle borderStyle_ = bsSizeable;
    int borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    bool shownOnce_ = false;
    bool closing_ = false;
    std::shared_ptr<TCanvas> canvas_;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Creates a form owned by the application, sets the reference, then runs its OnCreate. The
    // first form made this way is the main window.
    template <class Form> void CreateForm(Form*& reference) {
        auto* form = new Form(this);
        reference = form;
        AdoptForm(form);
        form->DoCreate();
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main window and runs the message loop until the main window closes.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();

    // The program's name unless set: the title of the message boxes.
    std::string Title() const;
    void SetTitle(const std::string& title);

    // The status text of what the mouse rests on; OnHint runs whenever it changes.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    TNotifyEvent OnHint;
    // Tooltips for the whole program.
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool showHint) { showHint_ = showHint; }

    // The hidden window that owns the program's windows.
    QWidget* Handle() const { return handle_.get(); }

    // The standard error display: the error's text and a full stop in a box with an error icon
    // and the title. The message loop goes on.
    void ShowException(const std::exception& error);
    void HandleException();

    // Works out the hint text from the control under the mouse (or the highlighted menu item).
    void UpdateHint();
    void MenuHintChanged(const std::string& hint, bool menuOpen);

private:
    friend class TForm;
    void AdoptForm(TForm* form);

    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
    std::string hint_;
    bool showHint_ = true;
    bool menuOpen_ = false;
    std::string menuHint_;
    std::unique_ptr<QWidget> handle_;
};

extern TApplication* Application;

// The Qt application of the program: it holds the Application object and turns every exception
// that escapes a handler into the standard error display.
class TQtApplication : public QApplication {
public:
    TQtApplication(int& argc, char** argv);
    ~TQtApplication() override;
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::unique_ptr<TApplication> application_;
};

} // namespace vcl
