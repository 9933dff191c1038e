#include "vcl/graphics/canvas.h"

#include "vcl/graphics/graphic.h"

#include <QImage>
#include <QPainter>

namespace vcl {

TCanvas::TCanvas(std::string contextLabel, QImage* target)
    : dc_(std::move(contextLabel)), target_(target) {}

void TCanvas::StretchDraw(const QRect& rect, const TGraphic* graphic) {
    if (!graphic || graphic->Empty() || !target_ || target_->isNull() || rect.isEmpty()) return;
    QPainter painter(target_);
    graphic->Draw(painter, rect);
}

void TCanvas::Draw(int x, int y, const TGraphic* graphic) {
    if (!graphic) return;
    StretchDraw(QRect(x, y, graphic->Width(), graphic->Height()), graphic);
}

} // namespace vcl
