#include "vcl/graphics/metafile_graphic.h"

#include "vcl/sysutils.h"

namespace vcl {

// Metafiles cannot be read yet: every file is refused as content this program cannot show.
TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

int TMetafile::Width() const {
    return 0;
}
int TMetafile::Height() const {
    return 0;
}

void TMetafile::Draw(QPainter&, const QRect&) const {}

void TMetafile::LoadFromBytes(std::span<const uint8_t>) {
    throw EInvalidGraphic("メタファイルはまだ読み込めません (not yet readable)");
}

std::unique_ptr<TGraphic> TMetafile::Clone() const {
    auto copy = std::make_unique<TMetafile>();
    copy->document_ = document_;
    return copy;
}

} // namespace vcl
