#include "vcl/metafile/players.h"

#include "vcl/metafile/byte_reader.h"
#include "vcl/metafile/dib_image.h"
#include "vcl/metafile/gdi_device.h"
#include "vcl/metafile/limits.h"
#include "vcl/metafile/records.h"
#include "vcl/metafile/text_codec.h"
#include "vcl/metafile/text_output.h"

#include <cmath>

namespace vcl::metafile {
namespace {

constexpr size_t kRecordHeaderBytes = 8;
constexpr size_t kBoundsBytes = 16;
constexpr size_t kFaceNameUnits = 32;
constexpr uint32_t kEtoPdy = 0x2000;
constexpr uint32_t kDibPalColors = 1;
constexpr uint32_t kSrcCopy = 0x00CC0020;

QColor ColorRef(uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QPointF ReadPoint(ByteReader& in) {
    const int32_t x = in.I32(), y = in.I32();
    return QPointF(x, y);
}

QRectF ReadRect(ByteReader& in) {
    const int32_t left = in.I32(), top = in.I32(), right = in.I32(), bottom = in.I32();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPolygonF ReadPoints(ByteReader& in, uint64_t count, bool small) {
    QPolygonF points;
    const uint64_t bytes = count * (small ? 4 : 8);
    if (count > kMaxPolyPoints || !in.Has(bytes)) {
        in.Skip(in.Remaining() + 1);
        return points;
    }
    points.reserve(static_cast<qsizetype>(count));
    for (uint64_t i = 0; i < count; ++i) {
        if (small) {
            const int16_t x = in.I16(), y = in.I16();
            points.append(QPointF(x, y));
        } else {
            points.append(ReadPoint(in));
        }
    }
    return points;
}

// Region data: a header and its rectangles, in page units.
std::optional<QPainterPath> ReadRegionData(ByteReader& in, uint32_t bytes) {
    if (bytes < 32 || !in.Has(bytes)) return std::nullopt;
    const size_t start = in.Position();
    const uint32_t headerBytes = in.U32();
    in.U32(); // type
    const uint32_t count = in.U32();
    in.Skip(4 + 16);
    if (headerBytes < 32 || headerBytes > bytes) return std::nullopt;
    in.Seek(start + headerBytes);
    if (uint64_t(count) * 16 > bytes - headerBytes) return std::nullopt;
    QPainterPath area;
    area.setFillRule(Qt::WindingFill);
    for (uint32_t i = 0; i < count; ++i)
        area.addRect(ReadRect(in).normalized());
    return area;
}

class EmfPlayer {
public:
    EmfPlayer(std::span<const uint8_t> file, Device& device) : file_(file), device_(device) {}

    void Play(const RecordRef& r) {
        record_ = file_.subspan(r.offset - kRecordHeaderBytes, r.size + kRecordHeaderBytes);
        ByteReader in(record_, kRecordHeaderBytes);
        DcState& s = device_.State();
        switch (r.type) {
        case emf::kSetWindowExtEx:
            s.mapping.SetWindowExt(ReadPoint(in));
            break;
        case emf::kSetWindowOrgEx:
            s.mapping.windowOrg = ReadPoint(in);
            break;
        case emf::kSetViewportExtEx:
            s.mapping.SetViewportExt(ReadPoint(in));
            break;
        case emf::kSetViewportOrgEx:
            s.mapping.viewportOrg = ReadPoint(in);
            break;
        case emf::kScaleViewportExtEx:
        case emf::kScaleWindowExtEx: {
            const int32_t xNum = in.I32(), xDen = in.I32(), yNum = in.I32(), yDen = in.I32();
            if (!in.Ok() || xDen == 0 || yDen == 0) break;
            Mapping& m = s.mapping;
            const bool window = r.type == emf::kScaleWindowExtEx;
            const QPointF ext = window ? m.windowExt : m.viewportExt;
            const QPointF scaled(ext.x() * xNum / xDen, ext.y() * yNum / yDen);
            if (window)
                m.SetWindowExt(scaled);
            else
                m.SetViewportExt(scaled);
            break;
        }
        case emf::kSetMapMode:
            s.mapping.SetMode(in.I32());
            break;
        case emf::kSetBkMode:
            s.bkMode = in.I32();
            break;
        case emf::kSetPolyFillMode:
            s.polyFillMode = in.I32();
            break;
        case emf::kSetRop2:
            s.rop2 = in.I32();
            break;
        case emf::kSetTextAlign:
            s.textAlign = in.U32();
            break;
        case emf::kSetTextColor:
            s.textColor = ColorRef(in.U32());
            break;
        case emf::kSetBkColor:
            s.bkColor = ColorRef(in.U32());
            break;
        case emf::kSetArcDirection:
            s.arcDirection = in.I32();
            break;
        case emf::kMoveToEx:
            device_.MoveTo(ReadPoint(in));
            break;
        case emf::kLineTo:
            device_.LineTo(ReadPoint(in));
            break;
        case emf::kSaveDc:
            device_.SaveDc();
            break;
        case emf::kRestoreDc:
            device_.RestoreDc(in.I32());
            break;
        case emf::kSetWorldTransform: {
            const QTransform t = ReadTransform(in);
            if (in.Ok() && Usable(t)) s.world = t;
            break;
        }
        case emf::kModifyWorldTransform: {
            const QTransform t = ReadTransform(in);
            const uint32_t mode = in.U32();
            if (!in.Ok()) break;
            QTransform next = s.world;
            switch (mode) {
            case 1:
                next = QTransform();
                break;
            case 2:
                next = t * s.world;
                break;
            case 3:
                next = s.world * t;
                break;
            case 4:
                next = t;
                break;
            default:
                break;
            }
            if (Usable(next)) s.world = next;
            break;
        }
        case emf::kPolygon:
        case emf::kPolyline:
        case emf::kPolyBezier:
        case emf::kPolyBezierTo:
        case emf::kPolylineTo:
        case emf::kPolygon16:
        case emf::kPolyline16:
        case emf::kPolyBezier16:
        case emf::kPolyBezierTo16:
        case emf::kPolylineTo16:
            PlayPoly(in, r.type);
            break;
        case emf::kPolyPolygon:
        case emf::kPolyPolyline:
        case emf::kPolyPolygon16:
        case emf::kPolyPolyline16:
            PlayPolyPoly(in, r.type);
            break;
        case emf::kRectangle: {
            const QRectF box = ReadRect(in);
            if (in.Ok()) device_.Rectangle(box);
            break;
        }
        case emf::kEllipse: {
            const QRectF box = ReadRect(in);
            if (in.Ok()) device_.Ellipse(box);
            break;
        }
        case emf::kRoundRect: {
            const QRectF box = ReadRect(in);
            const QPointF corner = ReadPoint(in);
            if (in.Ok()) device_.RoundRect(box, QSizeF(corner.x(), corner.y()));
            break;
        }
        case emf::kArc:
        case emf::kChord:
        case emf::kPie:
        case emf::kArcTo: {
            const QRectF box = ReadRect(in);
            const QPointF start = ReadPoint(in), end = ReadPoint(in);
            if (!in.Ok()) break;
            if (r.type == emf::kArcTo)
                device_.ArcTo(box, start, end);
            else
                device_.Arc(r.type == emf::kArc   ? ArcKind::Arc
                            : r.type == emf::kPie ? ArcKind::Pie
                                                  : ArcKind::Chord,
                            box, start, end);
            break;
        }
        case emf::kAngleArc: {
            const QPointF center = ReadPoint(in);
            const uint32_t radius = in.U32();
            const float start = in.F32(), sweep = in.F32();
            if (in.Ok()) device_.AngleArc(center, radius, start, sweep);
            break;
        }
        case emf::kSetPixelV: {
            const QPointF p = ReadPoint(in);
            const QColor color = ColorRef(in.U32());
            if (in.Ok()) device_.SetPixel(p, color);
            break;
        }
        case emf::kBeginPath:
            device_.BeginPath();
            break;
        case emf::kEndPath:
            device_.EndPath();
            break;
        case emf::kAbortPath:
            device_.AbortPath();
            break;
        case emf::kCloseFigure:
            device_.CloseFigure();
            break;
        case emf::kFillPath:
            device_.FillPath();
            break;
        case emf::kStrokePath:
            device_.StrokePath();
            break;
        case emf::kStrokeAndFillPath:
            device_.StrokeAndFillPath();
            break;
        case emf::kSelectClipPath:
            device_.SelectClipPath(in.I32());
            break;
        case emf::kIntersectClipRect:
        case emf::kExcludeClipRect: {
            const QRectF box = ReadRect(in);
            if (!in.Ok()) break;
            if (r.type == emf::kIntersectClipRect)
                device_.IntersectClipRect(box);
            else
                device_.ExcludeClipRect(box);
            break;
        }
        case emf::kOffsetClipRgn:
            device_.OffsetClip(ReadPoint(in));
            break;
        case emf::kExtSelectClipRgn: {
            const uint32_t bytes = in.U32();
            const int32_t mode = in.I32();
            if (!in.Ok()) break;
            std::optional<QPainterPath> area = ReadRegionData(in, bytes);
            if (area) *area = device_.PageToDevice().map(*area);
            device_.CombineClip(area, mode);
            break;
        }
        case emf::kFillRgn:
        case emf::kPaintRgn: {
            in.Skip(kBoundsBytes);
            const uint32_t bytes = in.U32();
            std::optional<Brush> brush = s.brush;
            if (r.type == emf::kFillRgn) brush = BrushAt(in.U32());
            if (!in.Ok() || !brush) break;
            const std::optional<QPainterPath> area = ReadRegionData(in, bytes);
            if (area) device_.FillArea(device_.PageToDevice().map(*area), *brush);
            break;
        }
        case emf::kSelectObject:
            Select(in.U32());
            break;
        case emf::kDeleteObject:
            objects_.Delete(in.U32());
            break;
        case emf::kCreatePen: {
            const uint32_t index = in.U32();
            Pen pen;
            pen.style = in.U32();
            pen.width = in.I32();
            in.I32();
            pen.color = ColorRef(in.U32());
            if (pen.width > 1 && (pen.style & kPsStyleMask) < kPsNull) pen.style &= ~kPsStyleMask;
            if (in.Ok()) objects_.Create(index, pen);
            break;
        }
        case emf::kExtCreatePen: {
            const uint32_t index = in.U32();
            in.Skip(16); // the pattern bitmap of a pen: drawn with its colour
            Pen pen;
            pen.style = in.U32();
            pen.width = in.U32();
            const uint32_t brushStyle = in.U32();
            pen.color = ColorRef(in.U32());
            in.U32(); // hatch
            const uint32_t entries = in.U32();
            if (!in.Ok()) break;
            // A cosmetic pen (no geometric flag) is one pixel wide whatever its width.
            constexpr uint32_t kGeometric = 0x00010000;
            if (!(pen.style & kGeometric)) pen.width = 0;
            if (brushStyle == kBsNull) pen.style = (pen.style & ~kPsStyleMask) | kPsNull;
            for (uint32_t i = 0; i < entries && i < 16 && in.Has(4); ++i)
                pen.dashes.push_back(in.U32());
            objects_.Create(index, pen);
            break;
        }
        case emf::kCreateBrushIndirect: {
            const uint32_t index = in.U32();
            Brush brush;
            brush.style = static_cast<int>(in.U32());
            brush.color = ColorRef(in.U32());
            brush.hatch = static_cast<int>(in.U32());
            if (brush.style != kBsSolid && brush.style != kBsNull && brush.style != kBsHatched)
                brush.style = kBsSolid;
            if (in.Ok()) objects_.Create(index, brush);
            break;
        }
        case emf::kCreateDibPatternBrushPt:
        case emf::kCreateMonoBrush: {
            const uint32_t index = in.U32();
            const uint32_t usage = in.U32();
            const uint32_t offBmi = in.U32(), cbBmi = in.U32(), offBits = in.U32(),
                           cbBits = in.U32();
            if (!in.Ok()) break;
            Brush brush;
            brush.style = kBsPattern;
            brush.color = Qt::black;
            const QImage image = Bitmap(offBmi, cbBmi, offBits, cbBits, usage);
            if (!image.isNull() && image.width() <= kMaxPatternSide &&
                image.height() <= kMaxPatternSide)
                brush.pattern = image;
            else
                brush.style = kBsSolid;
            objects_.Create(index, brush);
            break;
        }
        case emf::kExtCreateFontIndirectW: {
            const uint32_t index = in.U32();
            Font font;
            font.height = in.I32();
            font.width = in.I32();
            font.escapement = in.I32();
            in.I32(); // orientation
            font.weight = in.I32();
            font.italic = in.U8();
            font.underline = in.U8();
            font.strikeOut = in.U8();
            font.charset = in.U8();
            in.Skip(4);
            QString face;
            for (size_t i = 0; i < kFaceNameUnits && in.Has(2); ++i) {
                const uint16_t unit = in.U16();
                if (unit == 0) break;
                face.append(QChar(unit));
            }
            font.face = face;
            if (in.Ok()) objects_.Create(index, font);
            break;
        }
        case emf::kCreatePalette:
            objects_.Create(in.U32(), Palette{});
            break;
        case emf::kExtTextOutA:
        case emf::kExtTextOutW:
            PlayText(in, r.type == emf::kExtTextOutW);
            break;
        case emf::kBitBlt:
        case emf::kStretchBlt:
            PlayBlt(in, r.type == emf::kStretchBlt);
            break;
        case emf::kStretchDiBits: {
            in.Skip(kBoundsBytes);
            const int32_t x = in.I32(), y = in.I32(), srcX = in.I32(), srcY = in.I32();
            const int32_t srcW = in.I32(), srcH = in.I32();
            const uint32_t offBmi = in.U32(), cbBmi = in.U32(), offBits = in.U32(),
                           cbBits = in.U32();
            const uint32_t usage = in.U32(), rop = in.U32();
            const int32_t w = in.I32(), h = in.I32();
            if (!in.Ok()) break;
            const QImage image = Bitmap(offBmi, cbBmi, offBits, cbBits, usage);
            device_.DrawImage(QRectF(x, y, w, h), image, SourceRect(image, srcX, srcY, srcW, srcH),
                              rop);
            break;
        }
        case emf::kSetDiBitsToDevice: {
            in.Skip(kBoundsBytes);
            const int32_t x = in.I32(), y = in.I32(), srcX = in.I32(), srcY = in.I32();
            const int32_t w = in.I32(), h = in.I32();
            const uint32_t offBmi = in.U32(), cbBmi = in.U32(), offBits = in.U32(),
                           cbBits = in.U32();
            const uint32_t usage = in.U32();
            if (!in.Ok()) break;
            const QImage image = Bitmap(offBmi, cbBmi, offBits, cbBits, usage);
            device_.DrawImage(QRectF(x, y, w, h), image, SourceRect(image, srcX, srcY, w, h),
                              kSrcCopy);
            break;
        }
        default:
            break; // comments (and the EMF+ records inside them) and the rest
        }
    }

private:
    static QTransform ReadTransform(ByteReader& in) {
        const float m11 = in.F32(), m12 = in.F32(), m21 = in.F32(), m22 = in.F32();
        const float dx = in.F32(), dy = in.F32();
        return QTransform(m11, m12, m21, m22, dx, dy);
    }

    static bool Usable(const QTransform& t) {
        const double values[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
        for (double v : values)
            if (!std::isfinite(v) || std::abs(v) > kMaxDeviceCoordinate) return false;
        return t.determinant() != 0;
    }

    static QRectF SourceRect(const QImage& image, int x, int y, int w, int h) {
        if (image.isNull()) return {};
        return QRectF(x, image.height() - double(y) - h, w, h);
    }

    QImage Bitmap(uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits,
                  uint32_t usage) const {
        ByteReader whole(record_);
        const auto info = whole.At(offBmi, cbBmi);
        const auto bits = whole.At(offBits, cbBits);
        if (info.empty() || bits.empty()) return {};
        return DecodeDib(info, bits, usage == kDibPalColors);
    }

    std::optional<Brush> BrushAt(uint32_t index) const {
        const std::optional<GdiObject> object = objects_.Find(index);
        if (!object) return std::nullopt;
        if (const Brush* brush = std::get_if<Brush>(&*object)) return *brush;
        return std::nullopt;
    }

    void Select(uint32_t index) {
        const std::optional<GdiObject> object = objects_.Find(index);
        if (!object) return;
        DcState& s = device_.State();
        if (const Pen* pen = std::get_if<Pen>(&*object))
            s.pen = *pen;
        else if (const Brush* brush = std::get_if<Brush>(&*object))
            s.brush = *brush;
        else if (const Font* font = std::get_if<Font>(&*object))
            s.font = *font;
    }

    void PlayPoly(ByteReader& in, uint32_t type) {
        const bool small = type >= emf::kPolyBezier16;
        in.Skip(kBoundsBytes);
        const uint32_t count = in.U32();
        const QPolygonF points = ReadPoints(in, count, small);
        if (!in.Ok()) return;
        switch (type) {
        case emf::kPolygon:
        case emf::kPolygon16:
            device_.Polygon(points);
            break;
        case emf::kPolyline:
        case emf::kPolyline16:
            device_.Polyline(points);
            break;
        case emf::kPolyBezier:
        case emf::kPolyBezier16:
            device_.PolyBezier(points);
            break;
        case emf::kPolyBezierTo:
        case emf::kPolyBezierTo16:
            device_.PolyBezierTo(points);
            break;
        default:
            device_.PolylineTo(points);
            break;
        }
    }

    void PlayPolyPoly(ByteReader& in, uint32_t type) {
        const bool small = type == emf::kPolyPolygon16 || type == emf::kPolyPolyline16;
        in.Skip(kBoundsBytes);
        const uint32_t polygons = in.U32();
        const uint32_t total = in.U32();
        if (!in.Ok() || !in.Has(uint64_t(polygons) * 4)) return;
        std::vector<uint32_t> counts(polygons);
        uint64_t sum = 0;
        for (uint32_t& c : counts)
            sum += (c = in.U32());
        if (sum != total) return;
        std::vector<QPolygonF> shapes;
        for (uint32_t c : counts) {
            shapes.push_back(ReadPoints(in, c, small));
            if (!in.Ok()) return;
        }
        if (type == emf::kPolyPolygon || type == emf::kPolyPolygon16)
            device_.PolyPolygon(shapes);
        else
            device_.PolyPolyline(shapes);
    }

    void PlayText(ByteReader& in, bool wide) {
        in.Skip(kBoundsBytes);
        in.Skip(4 + 4 + 4); // graphics mode, scales
        TextRun run;
        run.reference = ReadPoint(in);
        const uint32_t chars = in.U32();
        const uint32_t offString = in.U32();
        run.options = in.U32();
        const QRectF rect = ReadRect(in);
        const uint32_t offDx = in.U32();
        if (!in.Ok()) return;
        if (run.options & (kEtoOpaque | kEtoClipped)) run.rect = rect;
        ByteReader whole(record_);
        if (chars > kMaxTextChars * 4) return;
        const uint64_t textBytes = uint64_t(chars) * (wide ? 2 : 1);
        const auto bytes = whole.At(offString, textBytes);
        if (chars && bytes.empty()) return;
        std::vector<int> perChar;
        if (wide) {
            for (uint32_t i = 0; i < chars; ++i)
                run.text.append(QChar(uint16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8))));
            perChar.assign(chars, 1);
        } else {
            run.text = DecodeText(bytes, device_.State().font.charset, &perChar);
        }
        const uint32_t step = (run.options & kEtoPdy) ? 2 : 1;
        const auto dx =
            offDx ? whole.At(offDx, uint64_t(chars) * 4 * step) : std::span<const uint8_t>{};
        if (!dx.empty()) {
            ByteReader spacing(dx);
            std::vector<double> perUnit;
            for (uint32_t i = 0; i < chars; ++i) {
                perUnit.push_back(spacing.I32());
                if (step == 2) spacing.I32();
            }
            size_t b = 0;
            for (int n : perChar) {
                double sum = 0;
                for (int k = 0; k < n && b < perUnit.size(); ++k)
                    sum += perUnit[b++];
                run.advances.push_back(sum);
            }
        }
        DrawText(device_, run);
    }

    void PlayBlt(ByteReader& in, bool stretch) {
        in.Skip(kBoundsBytes);
        const int32_t x = in.I32(), y = in.I32(), w = in.I32(), h = in.I32();
        const uint32_t rop = in.U32();
        const int32_t srcX = in.I32(), srcY = in.I32();
        in.Skip(24 + 4); // source transform, background colour
        const uint32_t usage = in.U32();
        const uint32_t offBmi = in.U32(), cbBmi = in.U32(), offBits = in.U32(), cbBits = in.U32();
        int32_t srcW = w, srcH = h;
        if (stretch) {
            srcW = in.I32();
            srcH = in.I32();
        }
        const QRectF dest(x, y, w, h);
        if (!in.Ok()) {
            // A block transfer without a source is a pattern fill.
            ByteReader again(record_, kRecordHeaderBytes + kBoundsBytes + 16);
            const uint32_t patternRop = again.U32();
            if (again.Ok()) device_.PatBlt(dest, patternRop);
            return;
        }
        if (cbBmi == 0 || cbBits == 0) {
            device_.PatBlt(dest, rop);
            return;
        }
        const QImage image = Bitmap(offBmi, cbBmi, offBits, cbBits, usage);
        device_.DrawImage(dest, image, SourceRect(image, srcX, srcY, srcW, srcH), rop);
    }

    std::span<const uint8_t> file_;
    std::span<const uint8_t> record_;
    Device& device_;
    EmfObjectTable objects_;
};

} // namespace

void PlayEmf(std::span<const uint8_t> file, const std::vector<RecordRef>& records, Device& device) {
    EmfPlayer player(file, device);
    for (const RecordRef& r : records) {
        if (device.TimeUp()) break;
        player.Play(r);
    }
}

} // namespace vcl::metafile
