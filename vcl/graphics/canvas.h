// A drawing surface: a device context (its Handle, into which palettes are selected) and, for a
// bitmap's canvas, the pixels that drawing changes.
#pragma once

#include "platform/screen.h"

#include <QRect>

#include <string>

class QImage;

namespace vcl {

class TGraphic;

class TCanvas {
public:
    // `target` is the image drawn on, or null for a surface without pixels of its own here (a
    // form's canvas serves only as a context for palettes). The label names the context.
    explicit TCanvas(std::string contextLabel, QImage* target = nullptr);
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    platform::HDC Handle() { return &dc_; }

    // Draws the graphic scaled onto the rectangle, and at its own size at (x, y).
    void StretchDraw(const QRect& rect, const TGraphic* graphic);
    void Draw(int x, int y, const TGraphic* graphic);

private:
    platform::DeviceContext dc_;
    QImage* target_;
};

} // namespace vcl
