#include "vcl/graphics/bitmap.h"

#include "vcl/graphics/bmp_reader.h"

#include <QPainter>
#include <QRegion>

#include <cstdlib>
#include <sys/mman.h>

namespace vcl {
namespace {

QImage To32Bit(QImage image) {
    if (image.isNull()) return {};
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

} // namespace

TBitmap::TBitmap(QImage image)
    : image_(To32Bit(std::move(image))), width_(image_.width()), height_(image_.height()) {}

TBitmap::~TBitmap() = default;

namespace {

void CheckHoldable(int width, int height) {
    if (uint64_t{4} * static_cast<uint64_t>(width) * static_cast<uint64_t>(height) >
        kMaxBitmapBytes)
        throw EOutOfResources(Format("ビットマップを作成できません (%d x %d)", width, height));
}

// Bitmaps from this size on are mapped on their own, in huge pages where the system allows:
// a full-size photograph then costs a few dozen page faults instead of thousands.
constexpr size_t kOwnMappingBytes = size_t{4} << 20;
constexpr size_t kHugePageBytes = size_t{2} << 20;

struct Mapping {
    void* address;
    size_t length;
};

void Unmap(void* info) {
    auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->address, mapping->length);
    delete mapping;
}

// Pixels from the system's zeroed pages: nothing is touched until it is written.
QImage ZeroedImage(int width, int height) {
    const size_t stride = size_t{4} * static_cast<size_t>(width);
    const size_t bytes = stride * static_cast<size_t>(height);
    const auto fail = [&] {
        return EOutOfResources(Format("ビットマップを作成できません (%d x %d)", width, height));
    };
    if (bytes >= kOwnMappingBytes) {
        const size_t length = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
        void* address =
            mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (address == MAP_FAILED) throw fail();
        madvise(address, length, MADV_HUGEPAGE); // a hint only; plain pages work as well
        auto* mapping = new Mapping{address, length};
        QImage image(static_cast<uchar*>(address), width, height, static_cast<qsizetype>(stride),
                     QImage::Format_RGB32, Unmap, mapping);
        if (image.isNull()) {
            Unmap(mapping);
            throw fail();
        }
        return image;
    }
    void* pixels = std::calloc(static_cast<size_t>(height), stride);
    if (!pixels) throw fail();
    QImage image(static_cast<uchar*>(pixels), width, height, static_cast<qsizetype>(stride),
                 QImage::Format_RGB32, std::free, pixels);
    if (image.isNull()) {
        std::free(pixels);
        throw fail();
    }
    return image;
}

} // namespace

void TBitmap::SetSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == Width() && height == Height()) return;
    if (width == 0 || height == 0) {
        image_ = QImage();
    } else if (width != image_.width() || height != image_.height()) {
        CheckHoldable(width, height);
        QImage resized(width, height, QImage::Format_RGB32);
        if (resized.isNull())
            throw EOutOfResources(Format("ビットマップを作成できません (%d x %d)", width, height));
        resized.fill(Qt::white);
        if (!image_.isNull()) {
            QPainter painter(&resized);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, image_);
        }
        image_ = std::move(resized);
    }
    width_ = width;
    height_ = height;
    Changed();
}

void TBitmap::SetSizeForTransfer(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (!image_.isNull() || width == 0 || height == 0) {
        SetSize(width, height);
        return;
    }
    CheckHoldable(width, height);
    image_ = ZeroedImage(width, height);
    width_ = width;
    height_ = height;
    Changed();
}

void TBitmap::FillOutside(const QRect& covered, QRgb colour) {
    if (image_.isNull()) return;
    const QRect inside = covered.intersected(image_.rect());
    if (inside == image_.rect()) return;
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    QRegion outside(image_.rect());
    outside -= inside;
    for (const QRect& r : outside)
        painter.fillRect(r, QColor::fromRgb(colour));
}

void TBitmap::SetPalette(platform::HPALETTE palette) {
    if (palette == palette_) return;
    palette_ = std::move(palette);
    Changed();
}

platform::PixelTarget TBitmap::Handle() {
    if (image_.isNull()) return {nullptr, 0, 0, 0};
    // bits() detaches a shared image, so the transfer never writes into a copy's pixels.
    auto* pixels = reinterpret_cast<uint32_t*>(image_.bits());
    return {pixels, static_cast<size_t>(image_.bytesPerLine()), image_.width(), image_.height()};
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TCanvas>("bitmap", &image_);
    return canvas_.get();
}

void TBitmap::Draw(QPainter& painter, const QRect& rect) const {
    if (image_.isNull() || rect.isEmpty()) return;
    painter.drawImage(rect, image_);
}

void TBitmap::LoadFromBytes(std::span<const uint8_t> bytes) {
    QImage image;
    std::string reason;
    switch (imageio::ReadBmp(bytes, image, &reason)) {
    case imageio::ReadStatus::Ok:
        break;
    case imageio::ReadStatus::Truncated:
        throw EReadError("ストリームの読み込みエラー");
    case imageio::ReadStatus::Invalid:
        throw EInvalidGraphic("ビットマップ イメージが不正です");
    }
    image_ = To32Bit(std::move(image));
    width_ = image_.width();
    height_ = image_.height();
    palette_.reset();
    Changed();
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
    auto copy = std::make_unique<TBitmap>(image_);
    copy->width_ = width_;
    copy->height_ = height_;
    copy->palette_ = palette_;
    return copy;
}

} // namespace vcl
