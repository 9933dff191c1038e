// The drawing surface both players draw on: the device-context state with its save stack, the
// coordinate chain logical -> world -> page -> target, the current path and the clip, and the
// drawing operations in GDI's terms.
#pragma once

#include "vcl/metafile/gdi_objects.h"
#include "vcl/metafile/mapping.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <optional>
#include <vector>

namespace vcl::metafile {

struct DcState {
    Pen pen;
    Brush brush;
    Font font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    int bkMode = 2; // opaque
    int rop2 = 13;  // copy pen
    int polyFillMode = 1;
    uint32_t textAlign = 0;
    int textCharExtra = 0;
    int arcDirection = 1; // counter-clockwise
    Mapping mapping;
    QTransform world;
    QPointF currentPosition;          // logical
    std::optional<QPainterPath> clip; // target-device coordinates; none = the whole target
};

enum class ArcKind { Arc, Chord, Pie };

class Device {
public:
    // `pageToTarget` maps page space (the reference device) onto the target rectangle.
    Device(QPainter& painter, const QRectF& target, const QTransform& pageToTarget,
           QPointF pageUnitsPerMm);
    ~Device();

    DcState& State() { return state_; }
    const DcState& State() const { return state_; }
    QPainter& Painter() { return painter_; }
    QTransform LogicalToDevice() const;
    const QTransform& PageToDevice() const { return pageToTarget_; }
    bool TimeUp() const;

    void SaveDc();
    // Negative: relative to the newest saved state (-1 the last one); positive: by number.
    void RestoreDc(int which);

    // Lines and shapes, all in logical coordinates.
    void MoveTo(QPointF p);
    void LineTo(QPointF p);
    void Polyline(const QPolygonF& points);
    void PolylineTo(const QPolygonF& points);
    void PolyBezier(const QPolygonF& points);   // start point, then control, control, end ...
    void PolyBezierTo(const QPolygonF& points); // from the current position
    void Polygon(const QPolygonF& points);
    void PolyPolygon(const std::vector<QPolygonF>& polygons);
    void PolyPolyline(const std::vector<QPolygonF>& lines);
    void Rectangle(const QRectF& box);
    void RoundRect(const QRectF& box, QSizeF corner);
    void Ellipse(const QRectF& box);
    // The ellipse in `box`, from the ray through `start` to the ray through `end`.
    void Arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end);
    void ArcTo(const QRectF& box, QPointF start, QPointF end);
    void AngleArc(QPointF center, double radius, double startDegrees, double sweepDegrees);
    void SetPixel(QPointF p, QColor color);

    // Paths: while a path is open, the shapes above go into it instead of being drawn.
    void BeginPath();
    void EndPath();
    void AbortPath();
    void CloseFigure();
    void FillPath();
    void StrokePath();
    void StrokeAndFillPath();
    void SelectClipPath(int mode);

    // Clipping.
    void IntersectClipRect(const QRectF& logical);
    void ExcludeClipRect(const QRectF& logical);
    void OffsetClip(QPointF logicalDelta);
    // `area` in target-device coordinates (or none = reset); region combine modes 1..5.
    void CombineClip(const std::optional<QPainterPath>& area, int mode);

    // Regions and blocks.
    void FillArea(const QPainterPath& deviceArea, const Brush& brush);
    void PatBlt(const QRectF& logical, uint32_t rop);
    // Draws `image` (its `source` part) into the logical rectangle `dest` with a ternary ROP.
    void DrawImage(const QRectF& dest, const QImage& image, const QRectF& source, uint32_t rop);

    // Sets the painter's clip to the current clip if it changed; InvalidateClip forces that.
    void ApplyClip();
    void InvalidateClip() { clipDirty_ = true; }

    // Maps and checks: false when the result is not drawable.
    bool ToDevice(const QPainterPath& logical, QPainterPath& device) const;

private:
    void Emit(const QPainterPath& logical, bool fill, bool stroke);
    void Draw(const QPainterPath& device, bool fill, bool stroke);
    void PathLineTo(QPointF logical);
    bool PrepareRop();
    QPen DevicePen() const;
    QBrush DeviceBrush(const Brush& brush) const;

    QPainter& painter_;
    QRectF target_;
    QTransform base_; // the painter's transform when playing started
    QTransform pageToTarget_;
    QPointF pageUnitsPerMm_;
    DcState state_;
    std::vector<DcState> saved_;
    bool recordingPath_ = false;
    QPainterPath path_; // target-device coordinates, as recorded
    bool clipDirty_ = true;
    QElapsedTimer clock_;
};

} // namespace vcl::metafile
