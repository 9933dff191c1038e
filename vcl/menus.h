// Menus: the menu bar of a form and popup menus, built from menu items with access keys
// ("&F"), hints, enabling and click handlers.
#pragma once

#include "vcl/classes.h"

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace vcl {

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    // "&" marks the access key; "-" makes a separator.
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    // Adds a sub-item at the end; this item then opens a submenu.
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(index); }
    TMenuItem* ParentItem() const { return parentItem_; }

    // Runs when the item is chosen and, for an item with a submenu, whenever the submenu opens.
    TNotifyEvent OnClick;
    virtual void Click();

    QAction* Action() const { return action_.get(); }
    // The submenu holding the sub-items; nullptr while there are none.
    QMenu* SubMenu() const { return subMenu_.get(); }
    QMenu* EnsureSubMenu();

private:
    std::string caption_;
    std::string hint_;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    std::unique_ptr<QAction> action_;
    std::unique_ptr<QMenu> subMenu_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parentItem_ = nullptr;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    // The root item; its sub-items are the menu's entries.
    TMenuItem* Items() const { return items_; }

private:
    TMenuItem* items_;
};

// The menu bar of a form (TForm::SetMenu shows it).
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}

    // Fills a menu bar with the top-level items.
    void BuildMenuBar(QMenuBar* bar) const;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}

    // Opens at a screen position; the command, if one is chosen, runs later from the event loop.
    virtual void Popup(int x, int y);

    // The control the menu was last opened on.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component) { popupComponent_ = component; }

    TNotifyEvent OnPopup;

    // The menu widget shown by Popup.
    QMenu* Menu() const;

private:
    TComponent* popupComponent_ = nullptr;
};

} // namespace vcl
