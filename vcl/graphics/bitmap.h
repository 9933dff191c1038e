// A device-dependent bitmap: 32-bit pixels in a QImage, an optional palette it owns, and a
// canvas for drawing on it.
#pragma once

#include "platform/dib.h"
#include "vcl/graphics/canvas.h"
#include "vcl/graphics/graphic.h"
#include "vcl/sysutils.h"

#include <QImage>

#include <memory>

namespace vcl {

// A bitmap of the size asked for cannot be held.
class EOutOfResources : public Exception {
    using Exception::Exception;
};

// Largest bitmap, in bytes of pixels (32 bits each): beyond it sizing raises EOutOfResources.
inline constexpr uint64_t kMaxBitmapBytes = uint64_t{1} << 30;

class TBitmap : public TGraphic {
public:
    TBitmap() = default; // empty: 0 x 0
    // Adopts the pixels (converted to 32 bits per pixel when they are not).
    explicit TBitmap(QImage image);
    ~TBitmap() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Resizing keeps the overlapping pixels; new pixels are white. Raises EOutOfResources.
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    void SetSize(int width, int height);
    // Sizes an empty bitmap whose pixels a transfer is about to write: they start black and
    // untouched, so each is written once. Paint what the transfer did not reach with FillOutside.
    void SetSizeForTransfer(int width, int height);
    // Paints every pixel outside the rectangle.
    void FillOutside(const QRect& covered, QRgb colour);

    // The bitmap owns a palette given to it; a copy of the bitmap shares it.
    platform::HPALETTE Palette() const override { return palette_; }
    void SetPalette(platform::HPALETTE palette) override;

    // The pixels as a transfer target (top-down 0xAARRGGBB rows); null pixels while empty.
    platform::PixelTarget Handle();

    TCanvas* Canvas();

    const QImage& Image() const { return image_; }

    void Draw(QPainter& painter, const QRect& rect) const override;
    // Reads a BMP file's bytes.
    void LoadFromBytes(std::span<const uint8_t> bytes) override;
    std::unique_ptr<TGraphic> Clone() const override;

private:
    QImage image_; // null while either side is 0
    int width_ = 0;
    int height_ = 0;
    platform::HPALETTE palette_;
    std::unique_ptr<TCanvas> canvas_;
};

} // namespace vcl
