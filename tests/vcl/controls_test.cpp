// Controls: ownership, alignment inside a parent's client area and a panel's bevels, stacking of
// windowless controls, and the context menu with the component it was opened on.
#include "vcl/extctrls.h"
#include "vcl/forms.h"
#include "vcl/menus.h"
#include "vcl/stdctrls.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QTest>

#include <memory>

using namespace vcl;

namespace {

TEST(Ownership, OwnerFreesWhatItStillOwnsAndForgetsWhatWentFirst) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* timer = new TTimer(owner.get());
    auto* early = new TTimer(owner.get());
    timer->SetName("Timer1");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("Timer1"), timer);
    delete early;
    EXPECT_EQ(owner->ComponentCount(), 1);

    // A control freed by its parent window leaves its owner's list too.
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    QPointer<TLabel> label = new TLabel(&form);
    label->SetParent(panel);
    delete panel; // takes the label with it, as its Qt child
    EXPECT_TRUE(label.isNull());
    EXPECT_EQ(form.FindComponent(""), nullptr);
    EXPECT_EQ(form.ComponentCount(), 0);
}

struct AlignCase {
    TAlign align;
    QRect expected;
};

TEST(Alignment, ControlsShareTheClientAreaInsideThePanelsBevels) {
    TForm form(nullptr);
    form.SetClientSize(200, 200);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelInner(bvLowered);
    panel->SetBounds(0, 0, 73, 65);
    auto* image = new TImage(&form);
    image->SetParent(panel);
    image->SetBounds(2, 2, 10, 10);
    image->SetAlign(alClient);
    EXPECT_EQ(image->BoundsRect(), QRect(2, 2, 69, 61));
    // A change of size afterwards (a picture the control takes the size of) is undone by the
    // parent's layout.
    image->SetBounds(2, 2, 400, 300);
    EXPECT_EQ(image->BoundsRect(), QRect(2, 2, 69, 61));

    const AlignCase cases[] = {
        {alTop, QRect(0, 0, 100, 10)},    {alBottom, QRect(0, 70, 100, 10)},
        {alLeft, QRect(0, 0, 10, 80)},    {alRight, QRect(90, 0, 10, 80)},
        {alClient, QRect(0, 0, 100, 80)}, {alNone, QRect(5, 5, 10, 10)},
    };
    for (const AlignCase& c : cases) {
        auto* box = new TPanel(&form);
        box->SetBevelOuter(bvNone);
        box->SetParent(&form);
        box->SetBounds(0, 0, 100, 80);
        auto* child = new TPanel(&form);
        child->SetParent(box);
        child->SetBounds(5, 5, 10, 10);
        child->SetAlign(c.align);
        EXPECT_EQ(child->BoundsRect(), c.expected) << "align " << c.align;
        delete box;
    }
}

TEST(Stacking, WindowlessControlsLieUnderWindowedSiblings) {
    TForm form(nullptr);
    form.SetClientSize(200, 200);
    auto* list = new TEdit(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 100, 100);
    auto* label = new TLabel(&form); // made after the list, still under it
    label->SetParent(&form);
    label->SetBounds(10, 10, 30, 12);
    form.Show();
    QWidget* top = form.ClientWidget()->childAt(15, 15);
    EXPECT_EQ(TControl::FromWidget(top), list);
}

TEST(PopupMenu, RecordsTheControlItWasOpenedOn) {
    TForm form(nullptr);
    form.SetClientSize(200, 100);
    TPopupMenu popup(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("開く(&O)");
    popup.Items()->Add(item);
    auto* first = new TPanel(&form);
    first->SetParent(&form);
    first->SetBounds(0, 0, 90, 90);
    first->SetPopupMenu(&popup);
    auto* second = new TPanel(&form);
    second->SetParent(&form);
    second->SetBounds(100, 0, 90, 90);
    second->SetPopupMenu(&popup);
    auto* inner = new TLabel(&form); // no menu of its own: its parent's opens
    inner->SetParent(second);
    inner->SetBounds(5, 5, 20, 12);
    form.Show();

    const std::pair<QWidget*, TComponent*> cases[] = {
        {first, first}, {second, second}, {inner, second}};
    for (const auto& [widget, expected] : cases) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3),
                                widget->mapToGlobal(QPoint(3, 3)));
        QCoreApplication::sendEvent(widget, &event);
        EXPECT_TRUE(popup.Menu()->isVisible());
        EXPECT_EQ(popup.PopupComponent(), expected);
        popup.Menu()->close();
    }
}

TEST(MenuItems, ParentItemClickRunsWhenItsSubmenuOpens) {
    TMainMenu menu(nullptr);
    auto* parent = new TMenuItem(&menu);
    auto* child = new TMenuItem(&menu);
    parent->SetCaption("ディレクトリの読み込み(&L)");
    child->SetCaption("dir");
    menu.Items()->Add(parent);
    parent->Add(child);
    int parentClicks = 0, childClicks = 0;
    parent->OnClick = [&](TObject*) { ++parentClicks; };
    child->OnClick = [&](TObject*) { ++childClicks; };
    parent->SubMenu()->popup(QPoint(0, 0));
    EXPECT_EQ(parentClicks, 1);
    child->Action()->trigger();
    EXPECT_EQ(childClicks, 1);
    EXPECT_EQ(parentClicks, 1);
    parent->SubMenu()->close();
}

TEST(Label, CaptionKeepsItsBytesAndShowsAccessKeysOnlyWhenAsked) {
    TLabel label(nullptr);
    label.SetCaption("a&b.bmp");
    EXPECT_EQ(label.Caption(), "a&b.bmp");
    EXPECT_EQ(label.DisplayText(), "ab.bmp");
    label.SetShowAccelChar(false);
    EXPECT_EQ(label.DisplayText(), "a&b.bmp");
    label.SetCaption("\x95\x5c\x8e\xa6.bmp"); // code page 932 bytes, shown decoded
    EXPECT_EQ(label.Caption(), "\x95\x5c\x8e\xa6.bmp");
    EXPECT_EQ(label.DisplayText(), QString::fromUtf8("表示.bmp"));
}

TEST(Label, ALongCaptionIsCutAtTheRightEdge) {
    TForm form(nullptr);
    form.SetClientSize(200, 40);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 30, 14);
    label->SetCaption("WWWWWWWWWWWWWWWWWWWWWWWW.bmp");
    form.Show();
    const QImage shot = form.ClientWidget()->grab().toImage();
    const QRgb background = shot.pixel(150, 30);
    bool inkBeyond = false, inkInside = false;
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 30; ++x)
            inkInside |= shot.pixel(x, y) != background;
        for (int x = 31; x < 200; ++x)
            inkBeyond |= shot.pixel(x, y) != background;
    }
    EXPECT_TRUE(inkInside);
    EXPECT_FALSE(inkBeyond);
}

} // namespace
