// Hints: the application's hint text follows the status part of the hint under the mouse,
// inherited from the nearest container with one, or of the highlighted menu item; the hint
// handler runs when the text changes; tooltips show the short part where they are on.
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/stdctrls.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCursor>
#include <QHelpEvent>
#include <QMenu>
#include <QTest>
#include <QToolTip>

#include <memory>

using namespace vcl;

namespace {

class HintTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetClientSize(300, 200);
        form->SetHint("|window status");
        form->SetShowHint(true);
        panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, 150, 150);
        label = new TLabel(form.get());
        label->SetParent(panel);
        label->SetAutoSize(false);
        label->SetBounds(10, 10, 60, 20);
        label->SetCaption("label");
        label->SetHint("tip|label status");
        plain = new TButton(form.get());
        plain->SetParent(form.get());
        plain->SetBounds(200, 10, 80, 30);
        plain->SetHint("both parts");
        form->Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Application->OnHint = [this](TObject*) { ++hintChanges; };
    }
    void TearDown() override { Application->OnHint = nullptr; }

    void Rest(QWidget* over, QPoint at = {5, 5}) {
        QCursor::setPos(over->mapToGlobal(at));
        QTest::qWait(30);
        Application->UpdateHint();
    }

    std::unique_ptr<TForm> form;
    TPanel* panel = nullptr;
    TLabel* label = nullptr;
    TButton* plain = nullptr;
    int hintChanges = 0;
};

TEST_F(HintTest, StatusTextComesFromTheControlOrItsNearestContainer) {
    const std::pair<QWidget*, const char*> cases[] = {
        {label, "label status"},
        {panel, "window status"}, // the panel has no hint: the window's
        {plain, "both parts"},    // no "|": the hint is both parts
        {form->ClientWidget(), "window status"},
    };
    for (const auto& [widget, expected] : cases) {
        SCOPED_TRACE(expected);
        Rest(widget == panel ? panel : widget, widget == panel ? QPoint(120, 120) : QPoint(5, 5));
        EXPECT_EQ(Application->Hint(), expected);
    }
}

TEST_F(HintTest, HandlerRunsOnlyWhenTheTextChanges) {
    Rest(label, {5, 5});
    const int afterFirst = hintChanges;
    Rest(label, {20, 8});
    EXPECT_EQ(hintChanges, afterFirst);
    Rest(plain);
    EXPECT_EQ(hintChanges, afterFirst + 1);
}

TEST_F(HintTest, HighlightedMenuItemGivesItsHintAndOthersGiveNone) {
    TPopupMenu popup(form.get());
    auto* withHint = new TMenuItem(form.get());
    withHint->SetCaption("拡大表示(&V)");
    withHint->SetHint("別ウィンドウに大きく表示します。");
    popup.Items()->Add(withHint);
    auto* withoutHint = new TMenuItem(form.get());
    withoutHint->SetCaption("プロパティ(&P)");
    popup.Items()->Add(withoutHint);
    Rest(label);
    popup.Popup(form->mapToGlobal(QPoint(20, 20)).x(), form->mapToGlobal(QPoint(20, 20)).y());
    QTest::qWait(20);
    // Highlighting by keyboard, as a user moving through the menu does.
    QTest::keyClick(popup.Menu(), Qt::Key_Down);
    QTest::qWait(20);
    ASSERT_EQ(popup.Menu()->activeAction(), withHint->Action());
    EXPECT_EQ(Application->Hint(), "別ウィンドウに大きく表示します。");
    QTest::keyClick(popup.Menu(), Qt::Key_Down);
    QTest::qWait(20);
    ASSERT_EQ(popup.Menu()->activeAction(), withoutHint->Action());
    EXPECT_EQ(Application->Hint(), "");
    popup.Menu()->close();
    QTest::qWait(20);
    EXPECT_EQ(Application->Hint(), "label status") << "back to the control under the mouse";
}

TEST_F(HintTest, TooltipShowsTheShortPartOnlyWhereTooltipsAreOn) {
    QHelpEvent onLabel(QEvent::ToolTip, QPoint(5, 5), label->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(label, &onLabel);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "tip");
    QToolTip::hideText();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));

    label->SetShowHint(false);
    QHelpEvent again(QEvent::ToolTip, QPoint(5, 5), label->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(label, &again);
    EXPECT_FALSE(QToolTip::isVisible());
}

} // namespace
