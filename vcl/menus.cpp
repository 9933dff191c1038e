#include "vcl/menus.h"

#include "vcl/controls.h"
#include "vcl/forms.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace vcl {

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), action_(std::make_unique<QAction>()) {
    QObject::connect(action_.get(), &QAction::triggered, [this] { Click(); });
}

TMenuItem::~TMenuItem() {
    if (parentItem_) parentItem_->Remove(this);
    for (TMenuItem* item : items_)
        item->parentItem_ = nullptr;
    action_->setMenu(static_cast<QMenu*>(nullptr));
}

void TMenuItem::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    action_->setSeparator(caption_ == "-");
    action_->setText(ShownText(caption_));
    if (subMenu_) subMenu_->setTitle(action_->text());
}

void TMenuItem::SetHint(std::string hint) {
    hint_ = std::move(hint);
    action_->setStatusTip(QString::fromStdString(GetLongHint(hint_)));
}

void TMenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    action_->setEnabled(enabled);
}

void TMenuItem::SetVisible(bool visible) {
    visible_ = visible;
    action_->setVisible(visible);
}

void TMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    action_->setCheckable(checked || action_->isCheckable());
    action_->setChecked(checked);
}

QMenu* TMenuItem::EnsureSubMenu() {
    if (!subMenu_) {
        subMenu_ = std::make_unique<QMenu>();
        subMenu_->setTitle(action_->text());
        // The item's own handler runs each time its submenu opens, before the user chooses.
        QObject::connect(subMenu_.get(), &QMenu::aboutToShow, [this] { Click(); });
        // A highlighted item, by mouse or keyboard, gives the application its hint.
        QObject::connect(subMenu_.get(), &QMenu::hovered, [](QAction* action) {
            if (Application) Application->MenuHintChanged(action->statusTip().toStdString(), true);
        });
        action_->setMenu(subMenu_.get());
    }
    return subMenu_.get();
}

void TMenuItem::Add(TMenuItem* item) {
    if (item->parentItem_) item->parentItem_->Remove(item);
    item->parentItem_ = this;
    items_.push_back(item);
    EnsureSubMenu()->addAction(item->Action());
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parentItem_ = nullptr;
    if (subMenu_) subMenu_->removeAction(item->Action());
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {
    items_->EnsureSubMenu();
}

TMenu::~TMenu() = default; // the root item is owned, and freed, as a component

void TMainMenu::BuildMenuBar(QMenuBar* bar) const {
    bar->clear();
    for (int i = 0; i < Items()->Count(); ++i)
        bar->addAction(Items()->Items(i)->Action());
}

QMenu* TPopupMenu::Menu() const {
    return Items()->SubMenu();
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    Menu()->popup(QPoint(x, y));
}

} // namespace vcl
