#include "vcl/metafile/players.h"

#include "vcl/metafile/byte_reader.h"
#include "vcl/metafile/mapping.h"
#include "vcl/metafile/records.h"

#include <cmath>

namespace vcl::metafile {
namespace {

// A window wider than this many units is taken to be in twips, the unit drawing programs of the
// time wrote; a smaller one in screen pixels.
constexpr double kLargestPixelWindow = 2048;
constexpr double kTwipsPerInch = 1440;
constexpr double kPixelsPerInch = 96;
// Rough width of a character relative to the font height, for the extent of text.
constexpr double kCharWidthPerHeight = 0.6;

class Extent {
public:
    explicit Extent(const Mapping& mapping) : mapping_(mapping) {}
    void Add(QPointF logical) {
        const QPointF p =
            mapping_.PageTransform(QPointF(kPixelsPerInch / 25.4, kPixelsPerInch / 25.4))
                .map(logical);
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) return;
        if (!any_) low_ = high_ = p;
        low_ = QPointF(std::min(low_.x(), p.x()), std::min(low_.y(), p.y()));
        high_ = QPointF(std::max(high_.x(), p.x()), std::max(high_.y(), p.y()));
        any_ = true;
    }
    void Add(const QRectF& r) {
        Add(r.topLeft());
        Add(r.bottomRight());
    }
    bool Any() const { return any_; }
    QRectF Rect() const { return QRectF(low_, high_); }

private:
    const Mapping& mapping_;
    QPointF low_, high_;
    bool any_ = false;
};

QPointF PointYX(ByteReader& in) {
    const int16_t y = in.I16(), x = in.I16();
    return QPointF(x, y);
}

QRectF RectBRTL(ByteReader& in) {
    const int16_t b = in.I16(), r = in.I16(), t = in.I16(), l = in.I16();
    return QRectF(QPointF(l, t), QPointF(r, b));
}

} // namespace

WmfBounds MeasureWmf(std::span<const uint8_t> file, const std::vector<RecordRef>& records) {
    Mapping mapping;
    mapping.mode = kMmAnisotropic;
    Extent extent(mapping);
    bool windowSet = false;
    double fontHeight = 12;
    auto window = [&]() -> WmfBounds {
        const QRectF rect =
            QRectF(mapping.windowOrg, QSizeF(mapping.windowExt.x(), mapping.windowExt.y()))
                .normalized();
        const double side = std::max(rect.width(), rect.height());
        return {rect, side > kLargestPixelWindow ? kTwipsPerInch : kPixelsPerInch, true};
    };
    for (const RecordRef& r : records) {
        ByteReader in(file.subspan(r.offset, r.size));
        const bool drewBefore = extent.Any();
        switch (r.type) {
        case wmf::kSetMapMode:
            mapping.SetMode(in.U16());
            break;
        case wmf::kSetWindowOrg:
            mapping.windowOrg = PointYX(in);
            break;
        case wmf::kSetWindowExt: {
            const QPointF ext = PointYX(in);
            if (in.Ok() && ext.x() != 0 && ext.y() != 0) {
                mapping.SetWindowExt(ext);
                windowSet = mapping.mode == kMmAnisotropic || mapping.mode == kMmIsotropic;
            }
            break;
        }
        case wmf::kSetViewportOrg:
            mapping.viewportOrg = PointYX(in);
            break;
        case wmf::kCreateFontIndirect: {
            const int16_t h = in.I16();
            if (in.Ok() && h != 0) fontHeight = std::abs(h);
            break;
        }
        case wmf::kMoveTo:
        case wmf::kLineTo:
            extent.Add(PointYX(in));
            break;
        case wmf::kPolygon:
        case wmf::kPolyline: {
            const uint16_t n = in.U16();
            for (uint16_t i = 0; i < n && in.Has(4); ++i) {
                const int16_t x = in.I16(), y = in.I16();
                extent.Add(QPointF(x, y));
            }
            break;
        }
        case wmf::kPolyPolygon: {
            const uint16_t polys = in.U16();
            uint64_t total = 0;
            for (uint16_t i = 0; i < polys && in.Has(2); ++i)
                total += in.U16();
            for (uint64_t i = 0; i < total && in.Has(4); ++i) {
                const int16_t x = in.I16(), y = in.I16();
                extent.Add(QPointF(x, y));
            }
            break;
        }
        case wmf::kRectangle:
        case wmf::kEllipse:
            extent.Add(RectBRTL(in));
            break;
        case wmf::kRoundRect:
            in.Skip(4);
            extent.Add(RectBRTL(in));
            break;
        case wmf::kArc:
        case wmf::kPie:
        case wmf::kChord:
            in.Skip(8);
            extent.Add(RectBRTL(in));
            break;
        case wmf::kTextOut:
        case wmf::kExtTextOut: {
            QPointF at;
            int count = 0;
            if (r.type == wmf::kTextOut) {
                count = in.U16();
                in.Skip(size_t(count) + count % 2);
                at = PointYX(in);
            } else {
                at = PointYX(in);
                count = std::max<int>(in.I16(), 0);
            }
            if (!in.Ok()) break;
            const double w = count * fontHeight * kCharWidthPerHeight;
            extent.Add(QRectF(at.x(), at.y() - fontHeight, w, 2 * fontHeight));
            break;
        }
        case wmf::kPatBlt: {
            in.Skip(4);
            const int16_t h = in.I16(), w = in.I16();
            extent.Add(QRectF(PointYX(in), QSizeF(w, h)));
            break;
        }
        case wmf::kStretchDib:
        case wmf::kDibStretchBlt: {
            in.Skip(r.type == wmf::kStretchDib ? 6 : 4);
            in.Skip(8);
            const int16_t h = in.I16(), w = in.I16();
            extent.Add(QRectF(PointYX(in), QSizeF(w, h)));
            break;
        }
        default:
            break;
        }
        // The window in force when drawing starts is the picture.
        if (windowSet && !drewBefore && extent.Any()) return window();
    }
    if (windowSet) return window();
    return {extent.Rect().normalized(), kPixelsPerInch, false};
}

} // namespace vcl::metafile
