#include "vcl/graphics/metafile_graphic.h"

#include "vcl/metafile/document.h"
#include "vcl/sysutils.h"

#include <QPainter>

namespace vcl {

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

int TMetafile::Width() const {
    return document_ ? document_->Size().width() : 0;
}
int TMetafile::Height() const {
    return document_ ? document_->Size().height() : 0;
}

void TMetafile::Draw(QPainter& painter, const QRect& rect) const {
    if (!document_ || rect.isEmpty()) return;
    document_->Play(painter, QRectF(rect));
}

void TMetafile::LoadFromBytes(std::span<const uint8_t> bytes) {
    auto document = std::make_shared<metafile::Document>();
    switch (metafile::Document::Load(bytes, *document)) {
    case metafile::LoadStatus::Ok:
        break;
    case metafile::LoadStatus::Truncated:
        throw EReadError("ストリームの読み込みエラー");
    case metafile::LoadStatus::Invalid:
        throw EInvalidGraphic("メタファイルが不正です");
    }
    document_ = std::move(document);
    Changed();
}

std::unique_ptr<TGraphic> TMetafile::Clone() const {
    auto copy = std::make_unique<TMetafile>();
    copy->document_ = document_;
    return copy;
}

} // namespace vcl
