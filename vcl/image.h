// The image control: shows its picture at its own size or stretched over the control, takes the
// picture's size when AutoSize is set, and offers a canvas to draw on.
#pragma once

#include "vcl/controls.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/picture.h"

#include <QImage>

#include <memory>

namespace vcl {

// Size of a newly created image control, in pixels.
inline constexpr int kImageDefaultWidth = 105;
inline constexpr int kImageDefaultHeight = 105;

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    TPicture* Picture() const { return picture_.get(); }
    // Copies the other picture's graphic into this control's picture.
    void SetPicture(const TPicture* picture);

    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Center() const { return center_; }
    void SetCenter(bool center);
    // When set, every change of the picture with a width and height above 0 gives the control
    // the picture's size (an aligned control is then laid out again by its parent).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

    // The drawing surface: the bitmap's canvas when the picture holds a bitmap. While the picture
    // holds no graphic, a blank bitmap of the control's size is put into it first, which a later
    // graphic replaces. A picture holding another kind of graphic gets a scratch surface of the
    // control's size, so that a palette can still be selected.
    TCanvas* Canvas();

protected:
    void Paint(QPainter& painter) override;

private:
    void PictureChanged();
    QRect DestRect() const;
    const QImage& ScaledRaster(const QImage& source, const QSize& size);

    std::unique_ptr<TPicture> picture_;
    std::unique_ptr<TCanvas> scratch_;
    QImage scratchImage_;
    bool stretch_ = false;
    bool center_ = false;
    bool autoSize_ = false;

    // The smooth downscale of the picture drawn last, and what it was made from.
    QImage scaled_;
    uint64_t scaledChange_ = 0;
    qint64 scaledSource_ = 0;
    QSize scaledSize_;
};

// The smooth (area-averaged) rescale used for stretched drawing.
QImage SmoothScaled(const QImage& source, const QSize& size);

} // namespace vcl
