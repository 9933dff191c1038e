// A Windows metafile or enhanced metafile picture, played back scaled into any rectangle.
#pragma once

#include "vcl/graphics/graphic.h"

#include <memory>

namespace vcl {

namespace metafile {
class Document;
}

class TMetafile : public TGraphic {
public:
    TMetafile();
    ~TMetafile() override;

    int Width() const override;
    int Height() const override;

    void Draw(QPainter& painter, const QRect& rect) const override;
    // Reads a WMF (placeable or not) or EMF file's bytes.
    void LoadFromBytes(std::span<const uint8_t> bytes) override;
    std::unique_ptr<TGraphic> Clone() const override;

private:
    // Shared between copies: a loaded document is never changed.
    std::shared_ptr<const metafile::Document> document_;
};

} // namespace vcl
