#include "vcl/graphics/icon.h"

#include "vcl/sysutils.h"

#include "vcl/graphics/ico_reader.h"

#include <QPainter>

namespace vcl {

void TIcon::Draw(QPainter& painter, const QRect& rect) const {
    if (image_.isNull() || rect.isEmpty()) return;
    painter.drawImage(rect, image_);
}

void TIcon::LoadFromBytes(std::span<const uint8_t> bytes) {
    QImage image;
    std::string reason;
    switch (imageio::ReadIco(bytes, image, &reason)) {
    case imageio::ReadStatus::Ok:
        break;
    case imageio::ReadStatus::Truncated:
        throw EReadError("ストリームの読み込みエラー");
    case imageio::ReadStatus::Invalid:
        throw EInvalidGraphic("アイコン イメージが不正です");
    }
    image_ = std::move(image);
    Changed();
}

std::unique_ptr<TGraphic> TIcon::Clone() const {
    return std::make_unique<TIcon>(image_);
}

} // namespace vcl
