// Controls: the visual components. A control is a Qt widget placed in its parent's client area
// in pixels, with the visibility, enabling, alignment, hints, context menu and click events the
// windows rely on.
#pragma once

#include "vcl/classes.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <string>

class QPainter;

namespace vcl {

class TWinControl;
class TPopupMenu;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The two parts of a hint "short|long": the tooltip text and the status text. A hint without "|"
// is both.
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

// The text shown for bytes that may hold a file name: UTF-8, or code page 932 when not valid
// UTF-8.
QString ShownText(const std::string& bytes);

class TControl : public QWidget, public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // The control whose client area holds this one; nullptr for a top-level window.
    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    // Place in the parent's client area, in pixels.
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    virtual void SetBounds(int left, int top, int width, int height);
    QRect BoundsRect() const { return geometry(); }

    // The control's own visibility setting; a visible control inside a hidden window stays Visible.
    virtual bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    // "short|long". The status text of a control without a hint comes from its nearest parent that
    // has one.
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint);
    // Tooltips: writing ShowHint stops the control following its parent's setting.
    bool ShowHint() const;
    void SetShowHint(bool showHint);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool parentShowHint) { parentShowHint_ = parentShowHint; }

    // Opens on the right button over the control (or over a child without a menu of its own) and
    // records the control as the menu's PopupComponent.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* popupMenu) { popupMenu_ = popupMenu; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    // Run the handlers as a user's click would.
    virtual void Click();
    virtual void DblClick();

    void Invalidate() { update(); }
    void Repaint() { repaint(); }

    // The control that a widget belongs to: the widget itself or its nearest such parent.
    static TControl* FromWidget(QWidget* widget);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    // Tells the parent to lay its aligned controls out again.
    void RequestAlign();

private:
    TWinControl* parent_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    TAlign align_ = alNone;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TPopupMenu* popupMenu_ = nullptr;
    bool leftPressed_ = false;
};

// A windowless-style control: it paints itself in its parent's area and never takes the focus.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);

protected:
    // Draws the control; the painter is set up on the control's whole area.
    virtual void Paint(QPainter& painter);
    void paintEvent(QPaintEvent* event) override;
};

// A control that can hold other controls and take the focus.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);

    // The widget that child controls are placed in (the window itself, or the area of a form
    // below its menu bar).
    virtual QWidget* ClientWidget() { return this; }
    virtual int ClientWidth() { return ClientWidget()->width(); }
    virtual int ClientHeight() { return ClientWidget()->height(); }

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(index); }

    // Tab order among the parent's windowed controls, 0 first.
    void SetTabOrder(int order);
    int TabOrder() const { return tabOrder_; }

    // Places the aligned children: top, bottom, left and right stripes in that order, then the
    // client-aligned ones in what is left.
    void AlignControls();

    void SetFocus() { setFocus(Qt::OtherFocusReason); }
    bool Focused() const { return hasFocus(); }

protected:
    // The part of the client area that aligned children share (inside a panel's bevels).
    virtual QRect AlignRect() { return ClientWidget()->rect(); }
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TControl;
    void AddControl(TControl* control);
    void RemoveControl(TControl* control);
    void ApplyTabOrder();

    std::vector<TControl*> controls_;
    int tabOrder_ = -1;
};

} // namespace vcl
