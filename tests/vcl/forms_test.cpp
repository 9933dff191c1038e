// Forms and the application object: closing the main window and the others, deferred release,
// the form factory, and the standard error display for errors that escape a handler.
#include "vcl/dialogs.h"
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/stdctrls.h"
#include "vcl/sysutils.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

using namespace vcl;

namespace {

// Records every message box instead of showing it.
struct BoxRecorder {
    std::vector<MessageBoxRequest> boxes;
    ScopedMessageBoxAnswerer answerer{[this](const MessageBoxRequest& r) {
        boxes.push_back(r);
        return MsgButton::Ok;
    }};
};

struct CloseCase {
    const char* name;
    bool main;
    bool allow;
    bool visibleAfter;
    bool closeHandlerRan;
    bool terminated;
};

TEST(FormClose, AsksTheQueryThenHidesOrEndsTheProgram) {
    const CloseCase cases[] = {
        {"other window, refused", false, false, true, false, false},
        {"other window, allowed", false, true, false, true, false},
        {"main window, refused", true, false, true, false, false},
        {"main window, allowed", true, true, false, true, true},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.name);
        TForm* main = nullptr;
        Application->CreateForm(main);
        ASSERT_EQ(Application->MainForm(), main);
        TForm* other = nullptr;
        Application->CreateForm(other);
        EXPECT_EQ(Application->MainForm(), main) << "only the first form is the main window";
        TForm* target = c.main ? main : other;
        main->Show();
        other->Show();
        bool handlerRan = false;
        target->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = c.allow; };
        target->OnClose = [&](TObject*, TCloseAction&) { handlerRan = true; };

        target->Close();
        EXPECT_EQ(target->Visible(), c.visibleAfter);
        EXPECT_EQ(handlerRan, c.closeHandlerRan);
        EXPECT_EQ(Application->Terminated(), c.terminated);
        if (!c.main) {
            EXPECT_TRUE(main->Visible()) << "closing another window leaves the main one";
        }
        delete other;
        delete main;
    }
}

TEST(FormClose, TheWindowsCloseBoxGoesThroughTheQuery) {
    TForm form(nullptr);
    form.Show();
    int queries = 0;
    form.OnCloseQuery = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = false;
    };
    QCloseEvent event;
    QCoreApplication::sendEvent(&form, &event);
    EXPECT_EQ(queries, 1);
    EXPECT_TRUE(form.Visible());
}

TEST(FormRelease, IsDeferredUntilQueuedEventsRun) {
    QPointer<TForm> form = new TForm(nullptr);
    form->OnDeactivate = [&](TObject*) { form->Release(); };
    form->Release();
    EXPECT_FALSE(form.isNull()) << "the form outlives the call";
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isNull());
}

TEST(FormRelease, CloseActionFreeReleasesAnOtherWindow) {
    TForm* main = nullptr;
    Application->CreateForm(main);
    QPointer<TForm> other = new TForm(Application);
    other->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    other->Show();
    other->Close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(other.isNull());
    delete main;
}

TEST(FormShow, CentresOnTheFirstShowingOnly) {
    TForm form(nullptr);
    form.SetPosition(poScreenCenter);
    form.SetClientSize(200, 100);
    form.Show();
    const QRect screen = form.screen()->geometry();
    EXPECT_EQ(form.Left(), (screen.width() - form.frameGeometry().width()) / 2);
    EXPECT_EQ(form.Top(), (screen.height() - form.frameGeometry().height()) / 2);
    form.Hide();
    form.move(5, 6);
    form.Show();
    EXPECT_EQ(form.Left(), 5);
    EXPECT_EQ(form.Top(), 6);
}

TEST(FormShow, RunsOnShowEachTimeTheWindowAppears) {
    TForm form(nullptr);
    int shows = 0;
    form.OnShow = [&](TObject*) { ++shows; };
    form.Show();
    form.Hide();
    form.Show();
    EXPECT_EQ(shows, 2);
}

TEST(FormClientSize, StaysBelowTheMenuBarAndHoldsChildren) {
    TForm form(nullptr);
    form.SetBorderStyle(bsSingle);
    TMainMenu menu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("ファイル(&F)");
    menu.Items()->Add(item);
    form.SetMenu(&menu);
    form.SetClientSize(457, 294);
    EXPECT_EQ(form.ClientWidth(), 457);
    EXPECT_EQ(form.ClientHeight(), 294);
    EXPECT_GT(form.height(), 294) << "the menu bar lies above the client area";
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetBounds(0, 0, 10, 10);
    EXPECT_EQ(label->mapTo(&form, QPoint(0, 0)).y(), form.height() - 294);
}

TEST(FormKeys, EnterClicksTheDefaultButtonEscTheCancelButton) {
    TForm form(nullptr);
    form.SetClientSize(200, 100);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(0, 0, 80, 20);
    auto* ok = new TButton(&form);
    ok->SetParent(&form);
    ok->SetBounds(0, 30, 80, 20);
    ok->SetDefault(true);
    auto* cancel = new TButton(&form);
    cancel->SetParent(&form);
    cancel->SetBounds(0, 60, 80, 20);
    cancel->SetCancel(true);
    int okClicks = 0, cancelClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    form.Show();
    QTest::keyClick(edit->Edit(), Qt::Key_Return);
    QTest::keyClick(edit->Edit(), Qt::Key_Escape);
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(cancelClicks, 1);
}

TEST(StandardErrorDisplay, ShowsTheTextAndAFullStopAndTheLoopGoesOn) {
    BoxRecorder recorder;
    TForm form(nullptr);
    form.SetClientSize(120, 60);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetBounds(0, 0, 100, 30);
    bool restOfHandlerRan = false;
    button->OnClick = [&](TObject*) {
        throw EInOutError(2);
        restOfHandlerRan = true;
    };
    form.Show();
    QTest::mouseClick(button->Button(), Qt::LeftButton);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    const MessageBoxRequest& box = recorder.boxes[0];
    EXPECT_EQ(box.text, "ﾌｧｲﾙが見つかりません.");
    EXPECT_EQ(box.title, Application->Title());
    EXPECT_EQ(box.icon, MsgIcon::Error);
    EXPECT_EQ(box.buttons, std::vector<MsgButton>{MsgButton::Ok});
    EXPECT_FALSE(restOfHandlerRan);

    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    QTest::qWait(20);
    EXPECT_TRUE(later) << "the message loop goes on";
}

TEST(StandardErrorDisplay, CatchesTimerTicksAndTheTimerGoesOn) {
    BoxRecorder recorder;
    TTimer timer(nullptr);
    timer.SetInterval(5);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        throw Exception("tick failed");
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 2000));
    timer.SetEnabled(false);
    ASSERT_GE(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[0].text, "tick failed.");
}

TEST(StandardErrorDisplay, FullStopCases) {
    BoxRecorder recorder;
    const std::pair<const char*, const char*> cases[] = {
        {"'spin' の設定に失敗しました", "'spin' の設定に失敗しました."},
        {"already ends.", "already ends."},
        {"", "."},
    };
    for (const auto& [message, shown] : cases) {
        Application->ShowException(Exception(message));
        EXPECT_EQ(recorder.boxes.back().text, shown);
    }
}

TEST(Timer, DisablingDropsATickAlreadyQueued) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    timer.SetInterval(1);
    QTest::qWait(5); // the timeout has fired; its handler waits in the queue or has run
    timer.SetEnabled(false);
    const int seen = ticks;
    QTest::qWait(20);
    EXPECT_EQ(ticks, seen);
}

} // namespace
