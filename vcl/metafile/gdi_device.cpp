#include "vcl/metafile/gdi_device.h"

#include "vcl/metafile/limits.h"
#include "vcl/metafile/records.h"

#include <cmath>
#include <numbers>

namespace vcl::metafile {
namespace {

// Region combine modes.
constexpr int kRgnAnd = 1, kRgnOr = 2, kRgnXor = 3, kRgnDiff = 4, kRgnCopy = 5;

// Cosmetic dash patterns in device pixels: dash, gap, ...
const QList<qreal> kDash{18, 6}, kDot{3, 3}, kDashDot{9, 6, 3, 6}, kDashDotDot{9, 3, 3, 3, 3, 3};

double TransformScale(const QTransform& t) {
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

bool Drawable(const QRectF& r) {
    auto ok = [](double v) { return std::isfinite(v) && std::abs(v) <= kMaxDeviceCoordinate; };
    return ok(r.left()) && ok(r.top()) && ok(r.right()) && ok(r.bottom());
}

// Qt's angle (degrees, counter-clockwise on a y-down surface) of the ray from the centre of
// `box` through `p`, measured on the ellipse's own circle.
double RayAngle(const QRectF& box, QPointF p) {
    const QPointF c = box.center();
    const double dx = (p.x() - c.x()) / (box.width() / 2);
    const double dy = (p.y() - c.y()) / (box.height() / 2);
    if (dx == 0 && dy == 0) return 0;
    return std::atan2(-dy, dx) * 180.0 / std::numbers::pi;
}

QPointF PointAtAngle(const QRectF& box, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {box.center().x() + box.width() / 2 * std::cos(a),
            box.center().y() - box.height() / 2 * std::sin(a)};
}

struct Rop2Effect {
    bool draw = true;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    std::optional<QColor> color;
};

Rop2Effect Rop2(int rop2) {
    using M = QPainter::CompositionMode;
    switch (rop2) {
    case 1:
        return {true, M::CompositionMode_SourceOver, QColor(Qt::black)};
    case 2:
        return {true, M::RasterOp_NotSourceAndNotDestination, {}};
    case 3:
        return {true, M::RasterOp_NotSourceAndDestination, {}};
    case 4:
        return {true, M::RasterOp_NotSource, {}};
    case 5:
        return {true, M::RasterOp_SourceAndNotDestination, {}};
    case 6:
        return {true, M::RasterOp_NotDestination, {}};
    case 7:
        return {true, M::RasterOp_SourceXorDestination, {}};
    case 8:
        return {true, M::RasterOp_NotSourceOrNotDestination, {}};
    case 9:
        return {true, M::RasterOp_SourceAndDestination, {}};
    case 10:
        return {true, M::RasterOp_NotSourceXorDestination, {}};
    case 11:
        return {false, M::CompositionMode_SourceOver, {}};
    case 12:
        return {true, M::RasterOp_NotSourceOrDestination, {}};
    case 14:
        return {true, M::RasterOp_SourceOrNotDestination, {}};
    case 15:
        return {true, M::RasterOp_SourceOrDestination, {}};
    case 16:
        return {true, M::CompositionMode_SourceOver, QColor(Qt::white)};
    default:
        return {};
    }
}

} // namespace

Device::Device(QPainter& painter, const QRectF& target, const QTransform& pageToTarget,
               QPointF pageUnitsPerMm)
    : painter_(painter), target_(target), pageToTarget_(pageToTarget),
      pageUnitsPerMm_(pageUnitsPerMm) {
    painter_.save();
    base_ = painter_.worldTransform();
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    clock_.start();
}

Device::~Device() {
    painter_.restore();
}

QTransform Device::LogicalToDevice() const {
    return state_.world * state_.mapping.PageTransform(pageUnitsPerMm_) * pageToTarget_;
}

bool Device::TimeUp() const {
    return clock_.elapsed() > kMaxPlayMilliseconds;
}

void Device::SaveDc() {
    if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
}

void Device::RestoreDc(int which) {
    size_t keep;
    if (which < 0) {
        const size_t back = static_cast<size_t>(-static_cast<int64_t>(which));
        if (back > saved_.size()) return;
        keep = saved_.size() - back;
    } else {
        if (which == 0 || static_cast<size_t>(which) > saved_.size()) return;
        keep = static_cast<size_t>(which) - 1;
    }
    state_ = saved_[keep];
    saved_.resize(keep);
    clipDirty_ = true;
}

bool Device::ToDevice(const QPainterPath& logical, QPainterPath& device) const {
    device = LogicalToDevice().map(logical);
    return Drawable(device.controlPointRect());
}

void Device::ApplyClip() {
    if (!clipDirty_) return;
    clipDirty_ = false;
    // The clip is in the painter's own coordinates, whatever local transform is in force.
    const QTransform current = painter_.worldTransform();
    painter_.setWorldTransform(base_);
    if (!state_.clip) {
        painter_.setClipRect(target_);
    } else {
        QPainterPath whole;
        whole.addRect(target_);
        painter_.setClipPath(whole.intersected(*state_.clip));
    }
    painter_.setWorldTransform(current);
}

QPen Device::DevicePen() const {
    const Pen& pen = state_.pen;
    const uint32_t style = pen.style & kPsStyleMask;
    if (style == kPsNull) return Qt::NoPen;
    const Rop2Effect rop = Rop2(state_.rop2);
    QPen out(rop.color.value_or(pen.color));
    const double width = pen.width * TransformScale(LogicalToDevice());
    // Pens that come out about a pixel wide are drawn as the one-pixel lines the system draws.
    const bool cosmetic = pen.width <= 0 || !std::isfinite(width) || width < 1.5;
    // A pen wider than twice the target's diagonal covers the same pixels near it; wider ones
    // only cost time (the stroker's outline grows with the width).
    const double widest =
        std::min(kMaxPenPixels, 2 * std::hypot(target_.width(), target_.height()));
    out.setWidthF(cosmetic ? 0.0 : std::max(1.0, std::min(width, widest)));
    switch (pen.style & kPsEndCapMask) {
    case kPsEndCapSquare:
        out.setCapStyle(Qt::SquareCap);
        break;
    case kPsEndCapFlat:
        out.setCapStyle(Qt::FlatCap);
        break;
    default:
        out.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (pen.style & kPsJoinMask) {
    case kPsJoinBevel:
        out.setJoinStyle(Qt::BevelJoin);
        break;
    case kPsJoinMiter:
        out.setJoinStyle(Qt::MiterJoin);
        break;
    default:
        out.setJoinStyle(Qt::RoundJoin);
        break;
    }
    const QList<qreal>* cosmeticPattern = nullptr;
    switch (style) {
    case kPsDash:
        cosmeticPattern = &kDash;
        break;
    case kPsDot:
    case kPsAlternate:
        cosmeticPattern = &kDot;
        break;
    case kPsDashDot:
        cosmeticPattern = &kDashDot;
        break;
    case kPsDashDotDot:
        cosmeticPattern = &kDashDotDot;
        break;
    default:
        break;
    }
    if (cosmeticPattern) {
        if (cosmetic) {
            out.setDashPattern(*cosmeticPattern);
            out.setCapStyle(Qt::FlatCap);
        } else {
            out.setStyle(style == kPsDash         ? Qt::DashLine
                         : style == kPsDashDot    ? Qt::DashDotLine
                         : style == kPsDashDotDot ? Qt::DashDotDotLine
                                                  : Qt::DotLine);
        }
    } else if (style == kPsUserStyle && !pen.dashes.empty()) {
        QList<qreal> pattern;
        const double unit = cosmetic ? 1.0 : std::max(width, 1e-6);
        const double scale = TransformScale(LogicalToDevice());
        bool usable = true;
        for (double d : pen.dashes) {
            const double length = d * scale / unit;
            usable = usable && std::isfinite(length);
            // Pieces shorter than a pixel would cost a stroke each and show as a solid line.
            pattern.push_back(std::max(length, 1.0 / unit));
        }
        if (pattern.size() % 2) pattern.push_back(pattern.back());
        if (usable) out.setDashPattern(pattern);
    }
    return out;
}

QBrush Device::DeviceBrush(const Brush& brush) const {
    const Rop2Effect rop = Rop2(state_.rop2);
    switch (brush.style) {
    case kBsNull:
        return Qt::NoBrush;
    case kBsHatched: {
        static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                      Qt::FDiagPattern, Qt::BDiagPattern,
                                                      Qt::CrossPattern, Qt::DiagCrossPattern};
        const int h = brush.hatch >= 0 && brush.hatch < 6 ? brush.hatch : 0;
        return QBrush(rop.color.value_or(brush.color), kHatches[h]);
    }
    case kBsPattern:
        if (!brush.pattern.isNull() && !rop.color) return QBrush(brush.pattern);
        return QBrush(rop.color.value_or(brush.color));
    default:
        return QBrush(rop.color.value_or(brush.color));
    }
}

bool Device::PrepareRop() {
    const Rop2Effect rop = Rop2(state_.rop2);
    if (!rop.draw) return false;
    painter_.setCompositionMode(rop.mode);
    // Raster operations act on whole pixels; blended edges would leave seams.
    painter_.setRenderHint(QPainter::Antialiasing,
                           rop.mode == QPainter::CompositionMode_SourceOver);
    painter_.setBackgroundMode(state_.bkMode == kOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_.setBackground(state_.bkColor);
    return true;
}

void Device::Draw(const QPainterPath& device, bool fill, bool stroke) {
    if (!Drawable(device.controlPointRect())) return;
    ApplyClip();
    if (!PrepareRop()) return;
    if (fill) {
        const QBrush brush = DeviceBrush(state_.brush);
        if (brush.style() != Qt::NoBrush) painter_.fillPath(device, brush);
    }
    if (stroke) {
        QPen pen = DevicePen();
        if (pen.style() != Qt::SolidLine && pen.style() != Qt::NoPen) {
            // A dashed outline far longer than its pattern would take millions of dashes.
            double patternPixels = 0;
            for (qreal d : pen.dashPattern())
                patternPixels += d;
            patternPixels *= std::max<qreal>(pen.widthF(), 1.0);
            const QRectF box = device.controlPointRect();
            const double longest =
                (box.width() + box.height()) * std::max(1, device.elementCount());
            if (!(patternPixels > 0) || longest / patternPixels > kMaxDashes)
                pen.setStyle(Qt::SolidLine);
        }
        // A one-pixel line at integer coordinate x lights the pixel column x, as the system
        // draws it; on Qt's pixel grid that column is centred on x + 0.5.
        if (pen.style() != Qt::NoPen)
            painter_.strokePath(pen.isCosmetic() ? device.translated(0.5, 0.5) : device, pen);
    }
}

void Device::Emit(const QPainterPath& logical, bool fill, bool stroke) {
    QPainterPath device;
    if (!ToDevice(logical, device)) return;
    if (recordingPath_) {
        path_.addPath(device);
        return;
    }
    device.setFillRule(state_.polyFillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    Draw(device, fill, stroke);
}

void Device::PathLineTo(QPointF logical) {
    const QTransform t = LogicalToDevice();
    if (path_.elementCount() == 0) path_.moveTo(t.map(state_.currentPosition));
    path_.lineTo(t.map(logical));
}

void Device::MoveTo(QPointF p) {
    state_.currentPosition = p;
    if (recordingPath_) path_.moveTo(LogicalToDevice().map(p));
}

void Device::LineTo(QPointF p) {
    if (recordingPath_) {
        PathLineTo(p);
    } else {
        QPainterPath line(state_.currentPosition);
        line.lineTo(p);
        Emit(line, false, true);
    }
    state_.currentPosition = p;
}

void Device::Polyline(const QPolygonF& points) {
    if (points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(points);
    Emit(path, false, true);
}

void Device::PolylineTo(const QPolygonF& points) {
    if (points.isEmpty()) return;
    if (recordingPath_) {
        for (QPointF p : points)
            PathLineTo(p);
    } else {
        QPainterPath path(state_.currentPosition);
        for (QPointF p : points)
            path.lineTo(p);
        Emit(path, false, true);
    }
    state_.currentPosition = points.back();
}

void Device::PolyBezier(const QPolygonF& points) {
    if (points.size() < 4) return;
    QPainterPath path(points[0]);
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    Emit(path, false, true);
}

void Device::PolyBezierTo(const QPolygonF& points) {
    if (points.size() < 3) return;
    const qsizetype usable = points.size() - points.size() % 3;
    if (recordingPath_) {
        const QTransform t = LogicalToDevice();
        if (path_.elementCount() == 0) path_.moveTo(t.map(state_.currentPosition));
        for (qsizetype i = 0; i < usable; i += 3)
            path_.cubicTo(t.map(points[i]), t.map(points[i + 1]), t.map(points[i + 2]));
    } else {
        QPainterPath path(state_.currentPosition);
        for (qsizetype i = 0; i < usable; i += 3)
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
        Emit(path, false, true);
    }
    state_.currentPosition = points[usable - 1];
}

void Device::Polygon(const QPolygonF& points) {
    if (points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    Emit(path, true, true);
}

void Device::PolyPolygon(const std::vector<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& polygon : polygons) {
        if (polygon.size() < 2) continue;
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    if (!path.isEmpty()) Emit(path, true, true);
}

void Device::PolyPolyline(const std::vector<QPolygonF>& lines) {
    QPainterPath path;
    for (const QPolygonF& line : lines)
        if (line.size() >= 2) path.addPolygon(line);
    if (!path.isEmpty()) Emit(path, false, true);
}

void Device::Rectangle(const QRectF& box) {
    QPainterPath path;
    path.addRect(box.normalized());
    Emit(path, true, true);
}

void Device::RoundRect(const QRectF& box, QSizeF corner) {
    const QRectF r = box.normalized();
    const double rx = std::min(std::abs(corner.width()) / 2, r.width() / 2);
    const double ry = std::min(std::abs(corner.height()) / 2, r.height() / 2);
    QPainterPath path;
    path.addRoundedRect(r, rx, ry);
    Emit(path, true, true);
}

void Device::Ellipse(const QRectF& box) {
    QPainterPath path;
    path.addEllipse(box.normalized());
    Emit(path, true, true);
}

void Device::Arc(ArcKind kind, const QRectF& rawBox, QPointF start, QPointF end) {
    const QRectF box = rawBox.normalized();
    if (box.width() <= 0 || box.height() <= 0) return;
    const double from = RayAngle(box, start);
    const double to = RayAngle(box, end);
    // Arcs run counter-clockwise as seen on the device (clockwise when the file asks for it);
    // a mapping that mirrors the picture turns that into the other way round in logical space.
    bool positive = LogicalToDevice().determinant() > 0;
    if (state_.arcDirection == kAdClockwise) positive = !positive;
    double sweep =
        positive ? std::fmod(to - from + 720.0, 360.0) : std::fmod(from - to + 720.0, 360.0);
    if (sweep <= 1e-9) sweep = 360.0;
    if (!positive) sweep = -sweep;

    QPainterPath path;
    if (kind == ArcKind::Pie) {
        path.moveTo(box.center());
        path.arcTo(box, from, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(box, from);
        path.arcTo(box, from, sweep);
        if (kind == ArcKind::Chord) path.closeSubpath();
    }
    Emit(path, kind != ArcKind::Arc, true);
}

void Device::ArcTo(const QRectF& rawBox, QPointF start, QPointF end) {
    const QRectF box = rawBox.normalized();
    if (box.width() <= 0 || box.height() <= 0) return;
    const double from = RayAngle(box, start);
    const double to = RayAngle(box, end);
    bool positive = LogicalToDevice().determinant() > 0;
    if (state_.arcDirection == kAdClockwise) positive = !positive;
    double sweep =
        positive ? std::fmod(to - from + 720.0, 360.0) : std::fmod(from - to + 720.0, 360.0);
    if (!positive) sweep = -sweep;
    const QPointF arcStart = PointAtAngle(box, from);
    const QPointF arcEnd = PointAtAngle(box, from + sweep);
    if (recordingPath_) {
        const QTransform t = LogicalToDevice();
        PathLineTo(arcStart);
        QPainterPath arc;
        arc.arcMoveTo(box, from);
        arc.arcTo(box, from, sweep);
        path_.connectPath(t.map(arc));
    } else {
        QPainterPath path(state_.currentPosition);
        path.lineTo(arcStart);
        path.arcTo(box, from, sweep);
        Emit(path, false, true);
    }
    state_.currentPosition = arcEnd;
}

void Device::AngleArc(QPointF center, double radius, double startDegrees, double sweepDegrees) {
    if (!(radius > 0) || !std::isfinite(startDegrees) || !std::isfinite(sweepDegrees)) return;
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    sweepDegrees = std::clamp(sweepDegrees, -3600.0, 3600.0);
    const QPointF arcStart = PointAtAngle(box, startDegrees);
    QPainterPath path(state_.currentPosition);
    path.lineTo(arcStart);
    path.arcTo(box, startDegrees, sweepDegrees);
    if (recordingPath_) {
        QPainterPath device;
        if (ToDevice(path, device)) path_.connectPath(device);
    } else {
        Emit(path, false, true);
    }
    state_.currentPosition = PointAtAngle(box, startDegrees + sweepDegrees);
}

void Device::SetPixel(QPointF p, QColor color) {
    const QPointF d = LogicalToDevice().map(p);
    if (!Drawable(QRectF(d, QSizeF(1, 1)))) return;
    ApplyClip();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.fillRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1), color);
}

void Device::BeginPath() {
    recordingPath_ = true;
    path_ = QPainterPath();
}

void Device::EndPath() {
    recordingPath_ = false;
}

void Device::AbortPath() {
    recordingPath_ = false;
    path_ = QPainterPath();
}

void Device::CloseFigure() {
    if (recordingPath_) path_.closeSubpath();
}

void Device::FillPath() {
    recordingPath_ = false;
    QPainterPath p = path_;
    p.setFillRule(state_.polyFillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    Draw(p, true, false);
    path_ = QPainterPath();
}

void Device::StrokePath() {
    recordingPath_ = false;
    Draw(path_, false, true);
    path_ = QPainterPath();
}

void Device::StrokeAndFillPath() {
    recordingPath_ = false;
    QPainterPath p = path_;
    p.setFillRule(state_.polyFillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    Draw(p, true, true);
    path_ = QPainterPath();
}

void Device::SelectClipPath(int mode) {
    recordingPath_ = false;
    QPainterPath p = path_;
    p.setFillRule(state_.polyFillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    CombineClip(p, mode);
    path_ = QPainterPath();
}

void Device::CombineClip(const std::optional<QPainterPath>& area, int mode) {
    clipDirty_ = true;
    if (!area) {
        if (mode == kRgnCopy) state_.clip.reset();
        return;
    }
    QPainterPath whole;
    whole.addRect(target_);
    const QPainterPath current = state_.clip.value_or(whole);
    // Boolean operations on paths grow quadratically with their size: a clip of many pieces is
    // taken as its bounding box.
    if (area->elementCount() > int(kMaxClipElements) ||
        current.elementCount() > int(kMaxClipElements)) {
        QPainterPath box;
        box.addRect(area->boundingRect());
        if (area->elementCount() > int(kMaxClipElements)) {
            CombineClip(box, mode);
            return;
        }
        QPainterPath currentBox;
        currentBox.addRect(current.boundingRect());
        state_.clip = currentBox;
        CombineClip(area, mode);
        return;
    }
    switch (mode) {
    case kRgnAnd:
        state_.clip = current.intersected(*area);
        break;
    case kRgnOr:
        if (state_.clip) state_.clip = current.united(*area);
        break;
    case kRgnXor:
        state_.clip = current.subtracted(*area).united(area->subtracted(current));
        break;
    case kRgnDiff:
        state_.clip = current.subtracted(*area);
        break;
    case kRgnCopy:
        state_.clip = *area;
        break;
    default:
        break;
    }
}

void Device::IntersectClipRect(const QRectF& logical) {
    QPainterPath rect, device;
    rect.addRect(logical.normalized());
    if (ToDevice(rect, device)) CombineClip(device, kRgnAnd);
}

void Device::ExcludeClipRect(const QRectF& logical) {
    QPainterPath rect, device;
    rect.addRect(logical.normalized());
    if (ToDevice(rect, device)) CombineClip(device, kRgnDiff);
}

void Device::OffsetClip(QPointF logicalDelta) {
    if (!state_.clip) return;
    const QTransform t = LogicalToDevice();
    const QPointF d = t.map(logicalDelta) - t.map(QPointF(0, 0));
    if (!Drawable(QRectF(d, QSizeF(0, 0)))) return;
    state_.clip->translate(d);
    clipDirty_ = true;
}

void Device::FillArea(const QPainterPath& deviceArea, const Brush& brush) {
    if (!Drawable(deviceArea.controlPointRect())) return;
    ApplyClip();
    if (!PrepareRop()) return;
    const QBrush b = DeviceBrush(brush);
    if (b.style() != Qt::NoBrush) painter_.fillPath(deviceArea, b);
}

void Device::PatBlt(const QRectF& logical, uint32_t rop) {
    QPainterPath rect, device;
    rect.addRect(logical.normalized());
    if (!ToDevice(rect, device)) return;
    ApplyClip();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBackgroundMode(state_.bkMode == kOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_.setBackground(state_.bkColor);
    QBrush brush = DeviceBrush(state_.brush);
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch ((rop >> 16) & 0xFF) {
    case 0x00:
        brush = QBrush(Qt::black);
        break;
    case 0xFF:
        brush = QBrush(Qt::white);
        break;
    case 0x55:
        mode = QPainter::RasterOp_NotDestination;
        brush = QBrush(Qt::black);
        break;
    case 0x5A:
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case 0xAA:
        return;
    default:
        break;
    }
    if (brush.style() == Qt::NoBrush) return;
    painter_.setCompositionMode(mode);
    painter_.fillPath(device, brush);
}

void Device::DrawImage(const QRectF& dest, const QImage& image, const QRectF& source,
                       uint32_t rop) {
    if (image.isNull() || dest.width() == 0 || dest.height() == 0) return;
    using M = QPainter::CompositionMode;
    M mode = M::CompositionMode_SourceOver;
    switch ((rop >> 16) & 0xFF) {
    case 0x88:
        mode = M::RasterOp_SourceAndDestination;
        break;
    case 0xEE:
        mode = M::RasterOp_SourceOrDestination;
        break;
    case 0x66:
        mode = M::RasterOp_SourceXorDestination;
        break;
    case 0x33:
        mode = M::RasterOp_NotSource;
        break;
    case 0x44:
        mode = M::RasterOp_SourceAndNotDestination;
        break;
    case 0x11:
        mode = M::RasterOp_NotSourceAndNotDestination;
        break;
    case 0xBB:
        mode = M::RasterOp_NotSourceOrDestination;
        break;
    case 0x99:
        mode = M::RasterOp_NotSourceXorDestination;
        break;
    case 0xAA:
        return;
    case 0x00:
    case 0xFF:
    case 0x55:
    case 0x5A:
    case 0xF0:
        PatBlt(dest, rop);
        return;
    default:
        break;
    }
    QPainterPath rect, device;
    rect.addRect(dest.normalized());
    if (!ToDevice(rect, device)) return;
    ApplyClip();
    // A negative extent mirrors the bitmap.
    const QRectF inside = source.normalized().intersected(QRectF(image.rect()));
    if (inside.isEmpty()) return;
    QImage shown = image.copy(inside.toAlignedRect());
    if (shown.isNull()) return;
    if (dest.width() < 0 || dest.height() < 0)
        shown = shown.mirrored(dest.width() < 0, dest.height() < 0);
    const QTransform base = painter_.worldTransform();
    painter_.setWorldTransform(LogicalToDevice() * base);
    painter_.setCompositionMode(mode);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    // Enlarged bitmaps keep their pixels square, as the system's default stretch mode does;
    // reduced ones are smoothed so that thumbnails stay legible.
    const QRectF onDevice = device.boundingRect();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform,
                           onDevice.width() < shown.width() || onDevice.height() < shown.height());
    painter_.drawImage(dest.normalized(), shown);
    painter_.setWorldTransform(base);
}

} // namespace vcl::metafile
