// Text records: the string placed by the text alignment, spacing, escapement, background and
// clip rectangle, in the selected font.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

namespace vcl::metafile {

class Device;

struct TextRun {
    QPointF reference; // logical
    QString text;
    std::vector<double> advances; // logical, one per UTF-16 unit; empty = the font's own
    uint32_t options = 0;         // opaque / clipped
    std::optional<QRectF> rect;   // logical
};

void DrawText(Device& device, const TextRun& run);

} // namespace vcl::metafile
