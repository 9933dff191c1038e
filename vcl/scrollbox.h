// A client area that scrolls: scroll bars appear whenever a control extends beyond it, and the
// scroll range is the controls' extent. A form's automatic scrolling is this box filling it.
#pragma once

#include "vcl/controls.h"

class QScrollArea;

namespace vcl {

class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* owner);

    // Controls placed in the box live on the scrolled canvas.
    QWidget* ClientWidget() override { return canvas_; }
    QScrollArea* ScrollArea() const { return area_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Makes the canvas as large as the controls' extent, so that the scroll bars cover it.
    void UpdateRange();

    QScrollArea* area_;
    QWidget* canvas_;
};

} // namespace vcl
