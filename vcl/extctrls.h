// Panels, bevels, the timer and the image control.
#pragma once

#include "vcl/controls.h"
#include "vcl/image.h"

#include <QColor>

#include <memory>
#include <string>

class QTimer;

namespace vcl {

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

// A container with an outer and an inner bevel; aligned children share the area inside them.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    void SetColor(const QColor& color);

protected:
    QRect AlignRect() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Changed();

    std::string caption_;
    TPanelBevel bevelOuter_ = bvRaised;
    TPanelBevel bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    QColor color_;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner);

    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape shape);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle style);

protected:
    void Paint(QPainter& painter) override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

// Draws a raised or lowered edge of the given width just inside the rectangle.
void DrawBevel(QPainter& painter, const QRect& rect, bool raised, int width);

// Ticks every Interval milliseconds while enabled. A tick runs from the event queue, so it goes
// on inside modal message loops and may run again while a previous tick's handler waits in one.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    // Only a change restarts the countdown; writing the present value changes nothing.
    void SetEnabled(bool enabled);
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);

    TNotifyEvent OnTimer;

private:
    void Update();
    void Tick();

    std::unique_ptr<QTimer> timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};

} // namespace vcl
