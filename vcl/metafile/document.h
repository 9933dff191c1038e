// A WMF or EMF picture: checked on load, played onto a QPainter on demand.
#pragma once

#include <QRectF>
#include <QSize>

#include <cstdint>
#include <memory>
#include <span>
#include <string>

class QPainter;

namespace vcl::metafile {

enum class LoadStatus { Ok, Truncated /* ends before its header */, Invalid };

class Document {
public:
    // Parses the header and checks the record chain; keeps the bytes.
    static LoadStatus Load(std::span<const uint8_t> file, Document& out,
                           std::string* reason = nullptr);
    // The picture's own size in pixels at the screen's resolution: the placeable header's bounds
    // and units, the EMF frame in 0.01 mm, or the pre-pass bounds.
    QSize Size() const;
    // Plays the records scaled into `target`.
    void Play(QPainter& painter, const QRectF& target) const;

    struct Content;

private:
    std::shared_ptr<const Content> content_;
};

} // namespace vcl::metafile
