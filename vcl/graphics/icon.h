// An icon or cursor picture: the image of the icon file's chosen entry, with its transparency.
#pragma once

#include "vcl/graphics/graphic.h"

#include <QImage>

namespace vcl {

class TIcon : public TGraphic {
public:
    TIcon() = default;
    explicit TIcon(QImage image) : image_(std::move(image)) {}

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    const QImage& Image() const { return image_; }

    void Draw(QPainter& painter, const QRect& rect) const override;
    // Reads an ICO or CUR file's bytes.
    void LoadFromBytes(std::span<const uint8_t> bytes) override;
    std::unique_ptr<TGraphic> Clone() const override;

private:
    QImage image_;
};

} // namespace vcl
