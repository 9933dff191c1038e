#include "vcl/comctrls.h"

#include "vcl/extctrls.h"
#include "vcl/stdctrls.h"

#include <QPainter>

namespace vcl {

namespace {
constexpr int kPanelGap = 2;   // pixels between two panels
constexpr int kTextIndent = 2; // pixels between a panel's edge and its text
} // namespace

void TStatusPanel::SetText(std::string text) {
    text_ = std::move(text);
    if (bar_) bar_->update();
}

void TStatusPanel::SetWidth(int width) {
    width_ = width;
    if (bar_) bar_->update();
}

TStatusPanel* TStatusPanels::Add() {
    panels_.emplace_back();
    // Panels are only ever added while the bar is built, so their addresses stay put afterwards.
    for (auto& panel : panels_)
        panel.bar_ = bar_;
    bar_->update();
    return &panels_.back();
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), panels_(this) {
    setFocusPolicy(Qt::NoFocus);
}

void TStatusBar::SetSimplePanel(bool simple) {
    simplePanel_ = simple;
    update();
}

void TStatusBar::SetSimpleText(std::string text) {
    simpleText_ = std::move(text);
    update();
}

QRect TStatusBar::PanelRect(int index) const {
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += panels_.Items(i)->Width() + kPanelGap;
    const bool last = index == panels_.Count() - 1;
    const int w = last ? width() - left : panels_.Items(index)->Width();
    return QRect(left, kPanelGap, std::max(0, w), std::max(0, height() - kPanelGap));
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), clBtnFace());
    painter.setPen(palette().color(QPalette::WindowText));
    auto drawPanel = [&](const QRect& r, const std::string& text) {
        DrawBevel(painter, r, false, 1);
        painter.save();
        const QRect inner = r.adjusted(kTextIndent, 1, -kTextIndent, -1);
        painter.setClipRect(inner);
        painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         ShownText(text));
        painter.restore();
    };
    if (simplePanel_) {
        drawPanel(QRect(0, kPanelGap, width(), height() - kPanelGap), simpleText_);
        return;
    }
    for (int i = 0; i < panels_.Count(); ++i)
        drawPanel(PanelRect(i), panels_.Items(i)->Text());
}

} // namespace vcl
