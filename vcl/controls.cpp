#include "vcl/controls.h"

#include "vcl/menus.h"

#include "platform/codepage.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace vcl {

std::string GetShortHint(const std::string& hint) {
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

QString ShownText(const std::string& bytes) {
    return QString::fromStdString(platform::DisplayName(bytes));
}

TControl::TControl(TComponent* owner) : QWidget(nullptr), TComponent(owner) {
    // Places are given in pixels; Qt must not invent a size of its own.
    resize(0, 0);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

TControl::~TControl() {
    DestroyComponents();
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    parent_ = parent;
    const QRect place = geometry();
    setParent(parent ? parent->ClientWidget() : nullptr);
    setGeometry(place);
    if (parent_) {
        parent_->AddControl(this);
        // Controls without a window of their own are drawn on their parent, under every windowed
        // sibling.
        if (dynamic_cast<TGraphicControl*>(this)) {
            for (TControl* sibling : parent_->controls_)
                if (dynamic_cast<TWinControl*>(sibling)) {
                    stackUnder(sibling);
                    break;
                }
        }
        setVisible(visible_);
        if (align_ != alNone) parent_->AlignControls();
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, std::max(0, width), std::max(0, height));
    if (align_ != alNone) RequestAlign();
}

void TControl::SetVisible(bool visible) {
    visible_ = visible;
    setVisible(visible);
    if (align_ != alNone) RequestAlign();
}

void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    setEnabled(enabled);
}

void TControl::SetAlign(TAlign align) {
    align_ = align;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (parent_) parent_->AlignControls();
}

void TControl::SetHint(std::string hint) {
    hint_ = std::move(hint);
}

bool TControl::ShowHint() const {
    if (parentShowHint_ && parent_) return parent_->ShowHint();
    return showHint_;
}

void TControl::SetShowHint(bool showHint) {
    showHint_ = showHint;
    parentShowHint_ = false;
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

TControl* TControl::FromWidget(QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        if (auto* control = dynamic_cast<TControl*>(widget)) return control;
    return nullptr;
}

bool TControl::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::string tip = GetShortHint(hint_);
        if (ShowHint() && !tip.empty())
            QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftPressed_ = true;
    QWidget::mousePressEvent(event);
}

void TControl::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = event->button() == Qt::LeftButton && leftPressed_ &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) leftPressed_ = false;
    if (click) Click();
}

void TControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = false;
        DblClick();
    }
}

void TControl::contextMenuEvent(QContextMenuEvent* event) {
    if (!popupMenu_) {
        event->ignore(); // the parent's menu, if any, opens instead
        return;
    }
    popupMenu_->SetPopupComponent(this);
    const QPoint at = event->reason() == QContextMenuEvent::Mouse
                          ? event->globalPos()
                          : mapToGlobal(QPoint(width() / 2, height() / 2));
    popupMenu_->Popup(at.x(), at.y());
    event->accept();
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {
    setFocusPolicy(Qt::NoFocus);
}

void TGraphicControl::Paint(QPainter&) {}

void TGraphicControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    setFocusPolicy(Qt::StrongFocus);
}

void TWinControl::AddControl(TControl* control) {
    controls_.push_back(control);
}

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TWinControl::SetTabOrder(int order) {
    tabOrder_ = order;
    if (Parent()) Parent()->ApplyTabOrder();
}

void TWinControl::ApplyTabOrder() {
    std::vector<TWinControl*> ordered;
    for (TControl* control : controls_)
        if (auto* win = dynamic_cast<TWinControl*>(control); win && win->tabOrder_ >= 0)
            ordered.push_back(win);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](auto* a, auto* b) { return a->tabOrder_ < b->tabOrder_; });
    for (std::size_t i = 1; i < ordered.size(); ++i)
        QWidget::setTabOrder(ordered[i - 1], ordered[i]);
}

void TWinControl::AlignControls() {
    QRect area = AlignRect();
    auto place = [](TControl* control, const QRect& r) {
        control->setGeometry(r.x(), r.y(), std::max(0, r.width()), std::max(0, r.height()));
    };
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : controls_) {
            if (c->Align() != pass || !c->Visible()) continue;
            switch (pass) {
            case alTop:
                place(c, QRect(area.left(), area.top(), area.width(), c->Height()));
                area.setTop(area.top() + c->Height());
                break;
            case alBottom:
                place(c, QRect(area.left(), area.bottom() + 1 - c->Height(), area.width(),
                               c->Height()));
                area.setBottom(area.bottom() - c->Height());
                break;
            case alLeft:
                place(c, QRect(area.left(), area.top(), c->Width(), area.height()));
                area.setLeft(area.left() + c->Width());
                break;
            case alRight:
                place(c,
                      QRect(area.right() + 1 - c->Width(), area.top(), c->Width(), area.height()));
                area.setRight(area.right() - c->Width());
                break;
            case alClient:
                place(c, area);
                break;
            case alNone:
                break;
            }
        }
    }
}

void TWinControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    AlignControls();
}

} // namespace vcl
