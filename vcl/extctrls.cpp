#include "vcl/extctrls.h"

#include "vcl/stdctrls.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace vcl {

void DrawBevel(QPainter& painter, const QRect& rect, bool raised, int width) {
    const QPalette& palette = QApplication::palette();
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    const QColor topLeft = raised ? light : dark;
    const QColor bottomRight = raised ? dark : light;
    QRect r = rect;
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

// ---------------------------------------------------------------------------------------------
// TPanel

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
    setFocusPolicy(Qt::NoFocus);
}

void TPanel::Changed() {
    AlignControls();
    update();
}

void TPanel::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    update();
}
void TPanel::SetBevelOuter(TPanelBevel bevel) {
    bevelOuter_ = bevel;
    Changed();
}
void TPanel::SetBevelInner(TPanelBevel bevel) {
    bevelInner_ = bevel;
    Changed();
}
void TPanel::SetBevelWidth(int width) {
    bevelWidth_ = width;
    Changed();
}
void TPanel::SetBorderWidth(int width) {
    borderWidth_ = width;
    Changed();
}
void TPanel::SetColor(const QColor& color) {
    color_ = color;
    update();
}

QRect TPanel::AlignRect() {
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    return rect().adjusted(inset, inset, -inset, -inset);
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color_.isValid() ? color_ : clBtnFace());
    QRect r = rect();
    if (bevelOuter_ == bvRaised || bevelOuter_ == bvLowered)
        DrawBevel(painter, r, bevelOuter_ == bvRaised, bevelWidth_);
    if (bevelOuter_ != bvNone) r.adjust(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
    r.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    if (bevelInner_ == bvRaised || bevelInner_ == bvLowered)
        DrawBevel(painter, r, bevelInner_ == bvRaised, bevelWidth_);
    if (!caption_.empty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, ShownText(caption_));
    }
}

// ---------------------------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBevel::SetShape(TBevelShape shape) {
    shape_ = shape;
    update();
}

void TBevel::SetStyle(TBevelStyle style) {
    style_ = style;
    update();
}

void TBevel::Paint(QPainter& painter) {
    const bool raised = style_ == bsRaised;
    const QRect r = rect();
    const QColor light = QApplication::palette().color(QPalette::Light);
    const QColor dark = QApplication::palette().color(QPalette::Dark);
    const QColor first = raised ? light : dark, second = raised ? dark : light;
    switch (shape_) {
    case bsBox:
        DrawBevel(painter, r, raised, 1);
        break;
    case bsFrame:
        // An etched frame: two one-pixel rectangles offset by one.
        painter.setPen(first);
        painter.drawRect(r.adjusted(0, 0, -2, -2));
        painter.setPen(second);
        painter.drawRect(r.adjusted(1, 1, -1, -1));
        break;
    case bsTopLine:
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), first);
        painter.fillRect(QRect(r.left(), r.top() + 1, r.width(), 1), second);
        break;
    case bsBottomLine:
        painter.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 1), first);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), second);
        break;
    case bsLeftLine:
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), first);
        painter.fillRect(QRect(r.left() + 1, r.top(), 1, r.height()), second);
        break;
    case bsRightLine:
        painter.fillRect(QRect(r.right() - 1, r.top(), 1, r.height()), first);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), second);
        break;
    case bsSpacer:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// TTimer

TTimer::TTimer(TComponent* owner) : TComponent(owner), timer_(std::make_unique<QTimer>()) {
    // Queued: the handler runs from a posted event, so the timer keeps ticking (and may re-enter
    // the handler) inside a modal loop that the handler itself opened.
    QObject::connect(
        timer_.get(), &QTimer::timeout, timer_.get(), [this] { Tick(); }, Qt::QueuedConnection);
    Update();
}

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(int milliseconds) {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    Update();
}

void TTimer::Update() {
    timer_->stop();
    if (enabled_ && interval_ > 0) timer_->start(interval_);
}

void TTimer::Tick() {
    // A tick queued before the timer was stopped does not run.
    if (!enabled_ || !timer_->isActive()) return;
    if (OnTimer) OnTimer(this);
}

} // namespace vcl
