#include "vcl/image.h"

#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/icon.h"

#include <QPainter>

#include <algorithm>
#include <vector>

namespace vcl {
namespace {

// The raster behind a graphic, or null for one that is drawn as vectors (a metafile).
const QImage* RasterOf(const TGraphic* graphic) {
    if (auto* bitmap = dynamic_cast<const TBitmap*>(graphic)) return &bitmap->Image();
    if (auto* icon = dynamic_cast<const TIcon*>(graphic)) return &icon->Image();
    return nullptr;
}

} // namespace

namespace {

// Reduction at which the box average takes over from Qt's filter: each destination pixel then
// averages at least this many source pixels across and down.
constexpr int kBoxAverageMinFactor = 2;

// Every source pixel counts once, towards the destination pixel it falls in: a true area
// average, in one pass over the source.
QImage BoxAverage(const QImage& source, const QSize& size) {
    const int sw = source.width(), sh = source.height();
    const int dw = size.width(), dh = size.height();
    // Destination column dx averages the source columns start[dx] .. start[dx + 1] - 1.
    std::vector<int> start(dw + 1);
    for (int dx = 0; dx <= dw; ++dx)
        start[dx] = static_cast<int>(int64_t{dx} * sw / dw);
    QImage out(size, QImage::Format_RGB32);
    std::vector<uint32_t> sums(size_t{3} * dw);
    int y = 0;
    for (int dy = 0; dy < dh; ++dy) {
        const int yEnd = static_cast<int>(int64_t{dy + 1} * sh / dh);
        std::fill(sums.begin(), sums.end(), 0u);
        const int rows = yEnd - y;
        for (; y < yEnd; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            for (int dx = 0; dx < dw; ++dx) {
                uint32_t r = 0, g = 0, b = 0;
                for (int x = start[dx]; x < start[dx + 1]; ++x) {
                    const QRgb p = row[x];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                }
                uint32_t* sum = &sums[size_t{3} * dx];
                sum[0] += r;
                sum[1] += g;
                sum[2] += b;
            }
        }
        auto* outRow = reinterpret_cast<QRgb*>(out.scanLine(dy));
        for (int dx = 0; dx < dw; ++dx) {
            const auto n = static_cast<uint32_t>((start[dx + 1] - start[dx]) * rows);
            const uint32_t* sum = &sums[size_t{3} * dx];
            outRow[dx] = qRgb((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n);
        }
    }
    return out;
}

} // namespace

QImage SmoothScaled(const QImage& source, const QSize& size) {
    if (source.isNull() || size.isEmpty()) return {};
    if (source.size() == size) return source;
    if (source.format() == QImage::Format_RGB32 &&
        source.width() >= kBoxAverageMinFactor * size.width() &&
        source.height() >= kBoxAverageMinFactor * size.height())
        return BoxAverage(source, size);
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
