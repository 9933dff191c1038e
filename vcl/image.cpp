#include "vcl/image.h"

#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/icon.h"

#include <QPainter>

namespace vcl {
namespace {

// The raster behind a graphic, or null for one that is drawn as vectors (a metafile).
const QImage* RasterOf(const TGraphic* graphic) {
    if (auto* bitmap = dynamic_cast<const TBitmap*>(graphic)) return &bitmap->Image();
    if (auto* icon = dynamic_cast<const TIcon*>(graphic)) return &icon->Image();
    return nullptr;
}

} // namespace

QImage SmoothScaled(const QImage& source, const QSize& size) {
    if (source.isNull() || size.isEmpty()) return {};
    if (source.size() == size) return source;
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
    picture_->OnChange = [this](TPicture*) { PictureChanged(); };
    SetBounds(Left(), Top(), kImageDefaultWidth, kImageDefaultHeight);
}

TImage::~TImage() {
    picture_->OnChange = nullptr;
}

void TImage::SetPicture(const TPicture* picture) {
    picture_->SetGraphic(picture ? picture->Graphic() : nullptr);
}

void TImage::SetStretch(bool stretch) {
    if (stretch == stretch_) return;
    stretch_ = stretch;
    Invalidate();
}

void TImage::SetCenter(bool center) {
    if (center == center_) return;
    center_ = center;
    Invalidate();
}

void TImage::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
}

TCanvas* TImage::Canvas() {
    if (!picture_->Graphic()) {
        auto blank = std::make_unique<TBitmap>();
        blank->SetSize(Width(), Height());
        picture_->SetGraphic(std::move(blank));
    }
    if (TBitmap* bitmap = picture_->Bitmap()) return bitmap->Canvas();
    if (scratchImage_.size() != size()) {
        scratchImage_ = QImage(size(), QImage::Format_RGB32);
        scratchImage_.fill(Qt::white);
    }
    if (!scratch_) scratch_ = std::make_unique<TCanvas>("bitmap", &scratchImage_);
    return scratch_.get();
}

void TImage::PictureChanged() {
    if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
        SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    Invalidate();
}

QRect TImage::DestRect() const {
    const int w = picture_->Width();
    const int h = picture_->Height();
    if (stretch_) return rect();
    if (center_) return QRect((width() - w) / 2, (height() - h) / 2, w, h);
    return QRect(0, 0, w, h);
}

const QImage& TImage::ScaledRaster(const QImage& source, const QSize& size) {
    // The image's cache key moves on whenever its pixels are written (a canvas drawing on the
    // bitmap), the change count whenever the picture is replaced.
    if (scaled_.isNull() || scaledChange_ != picture_->ChangeCount() ||
        scaledSource_ != source.cacheKey() || scaledSize_ != size) {
        scaled_ = SmoothScaled(source, size);
        scaledChange_ = picture_->ChangeCount();
        scaledSource_ = source.cacheKey();
        scaledSize_ = size;
    }
    return scaled_;
}

void TImage::Paint(QPainter& painter) {
    const TGraphic* graphic = picture_->Graphic();
    if (!graphic || graphic->Empty()) return;
    const QRect dest = DestRect();
    if (dest.isEmpty()) return;
    const QImage* raster = RasterOf(graphic);
    if (raster && dest.size() != raster->size()) {
        // Drawn from a real area average made once per picture and size: sampling the source
        // while painting would alias.
        painter.drawImage(dest.topLeft(), ScaledRaster(*raster, dest.size()));
        return;
    }
    graphic->Draw(painter, dest);
}

} // namespace vcl
