#include "vcl/metafile/players.h"

#include "vcl/metafile/byte_reader.h"
#include "vcl/metafile/dib_image.h"
#include "vcl/metafile/gdi_device.h"
#include "vcl/metafile/records.h"
#include "vcl/metafile/text_codec.h"
#include "vcl/metafile/text_output.h"

namespace vcl::metafile {
namespace {

constexpr size_t kFaceNameBytes = 32;

QColor ColorRef(uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// WMF records store their parameters last-first: a rectangle is bottom, right, top, left.
QRectF ReadRect(ByteReader& in) {
    const int16_t bottom = in.I16(), right = in.I16(), top = in.I16(), left = in.I16();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPointF ReadPointYX(ByteReader& in) {
    const int16_t y = in.I16(), x = in.I16();
    return QPointF(x, y);
}

QPolygonF ReadPoints(ByteReader& in, size_t count) {
    QPolygonF points;
    if (!in.Has(count * 4)) {
        in.Skip(count * 4);
        return points;
    }
    points.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i) {
        const int16_t x = in.I16(), y = in.I16();
        points.append(QPointF(x, y));
    }
    return points;
}

Font ReadFont(ByteReader& in) {
    Font font;
    font.height = in.I16();
    font.width = in.I16();
    font.escapement = in.I16();
    in.I16(); // orientation
    font.weight = in.I16();
    font.italic = in.U8();
    font.underline = in.U8();
    font.strikeOut = in.U8();
    font.charset = in.U8();
    in.Skip(4); // precision, quality, pitch
    const auto rest = in.Bytes(std::min(in.Remaining(), kFaceNameBytes));
    size_t len = 0;
    while (len < rest.size() && rest[len])
        ++len;
    font.face = DecodeText(rest.first(len), font.charset);
    return font;
}

// A region object: its scans of rectangles (only the scan lists matter for drawing).
Region ReadRegion(ByteReader& in) {
    Region region;
    in.Skip(2 + 2 + 4 + 2); // next in chain, type, count, size
    const int scanCount = in.I16();
    in.Skip(2 + 8); // max scan, bounds
    for (int s = 0; s < scanCount && in.Ok(); ++s) {
        const uint16_t count = in.U16();
        const int16_t top = in.I16(), bottom = in.I16();
        for (int i = 0; i + 1 < count && in.Ok(); i += 2) {
            const int16_t left = in.I16(), right = in.I16();
            region.area.addRect(QRectF(QPointF(left, top), QPointF(right, bottom)).normalized());
        }
        if (count % 2) in.Skip(2);
        in.Skip(2); // count repeated
    }
    region.area.setFillRule(Qt::WindingFill);
    return region;
}

class WmfPlayer {
public:
    WmfPlayer(std::span<const uint8_t> file, const WmfHeader& header, Device& device)
        : file_(file), device_(device), objects_(header.objectCount) {}

    void Play(const RecordRef& r) {
        ByteReader in(file_.subspan(r.offset, r.size));
        DcState& s = device_.State();
        switch (r.type) {
        case wmf::kSaveDc:
            device_.SaveDc();
            break;
        case wmf::kRestoreDc:
            device_.RestoreDc(in.I16());
            break;
        case wmf::kSetBkMode:
            s.bkMode = in.U16();
            break;
        case wmf::kSetMapMode:
            s.mapping.SetMode(in.U16());
            break;
        case wmf::kSetRop2:
            s.rop2 = in.U16();
            break;
        case wmf::kSetPolyFillMode:
            s.polyFillMode = in.U16();
            break;
        case wmf::kSetTextAlign:
            s.textAlign = in.U16();
            break;
        case wmf::kSetTextCharExtra:
            s.textCharExtra = in.I16();
            break;
        case wmf::kSetBkColor:
            s.bkColor = ColorRef(in.U32());
            break;
        case wmf::kSetTextColor:
            s.textColor = ColorRef(in.U32());
            break;
        case wmf::kSetWindowOrg:
            s.mapping.windowOrg = ReadPointYX(in);
            break;
        case wmf::kSetWindowExt:
            s.mapping.SetWindowExt(ReadPointYX(in));
            break;
        case wmf::kSetViewportOrg:
            s.mapping.viewportOrg = ReadPointYX(in);
            break;
        case wmf::kSetViewportExt:
            s.mapping.SetViewportExt(ReadPointYX(in));
            break;
        case wmf::kOffsetWindowOrg:
            s.mapping.windowOrg += ReadPointYX(in);
            break;
        case wmf::kOffsetViewportOrg:
            s.mapping.viewportOrg += ReadPointYX(in);
            break;
        case wmf::kScaleWindowExt:
        case wmf::kScaleViewportExt: {
            const int16_t yDen = in.I16(), yNum = in.I16(), xDen = in.I16(), xNum = in.I16();
            if (!in.Ok() || xDen == 0 || yDen == 0) break;
            Mapping& m = s.mapping;
            QPointF& ext = r.type == wmf::kScaleWindowExt ? m.windowExt : m.viewportExt;
            const QPointF scaled(ext.x() * xNum / xDen, ext.y() * yNum / yDen);
            if (r.type == wmf::kScaleWindowExt)
                m.SetWindowExt(scaled);
            else
                m.SetViewportExt(scaled);
            break;
        }
        case wmf::kMoveTo:
            device_.MoveTo(ReadPointYX(in));
            break;
        case wmf::kLineTo:
            device_.LineTo(ReadPointYX(in));
            break;
        case wmf::kPolyline:
        case wmf::kPolygon: {
            const QPolygonF points = ReadPoints(in, in.U16());
            if (!in.Ok()) break;
            if (r.type == wmf::kPolygon)
                device_.Polygon(points);
            else
                device_.Polyline(points);
            break;
        }
        case wmf::kPolyPolygon: {
            const uint16_t count = in.U16();
            std::vector<uint16_t> sizes;
            for (uint16_t i = 0; i < count && in.Ok(); ++i)
                sizes.push_back(in.U16());
            std::vector<QPolygonF> polygons;
            for (uint16_t n : sizes)
                polygons.push_back(ReadPoints(in, n));
            if (in.Ok()) device_.PolyPolygon(polygons);
            break;
        }
        case wmf::kRectangle: {
            const QRectF box = ReadRect(in);
            if (in.Ok()) device_.Rectangle(box);
            break;
        }
        case wmf::kEllipse: {
            const QRectF box = ReadRect(in);
            if (in.Ok()) device_.Ellipse(box);
            break;
        }
        case wmf::kRoundRect: {
            const int16_t h = in.I16(), w = in.I16();
            const QRectF box = ReadRect(in);
            if (in.Ok()) device_.RoundRect(box, QSizeF(w, h));
            break;
        }
        case wmf::kArc:
        case wmf::kChord:
        case wmf::kPie: {
            const QPointF end = ReadPointYX(in), start = ReadPointYX(in);
            const QRectF box = ReadRect(in);
            if (!in.Ok()) break;
            const ArcKind kind = r.type == wmf::kArc   ? ArcKind::Arc
                                 : r.type == wmf::kPie ? ArcKind::Pie
                                                       : ArcKind::Chord;
            device_.Arc(kind, box, start, end);
            break;
        }
        case wmf::kSetPixel: {
            const QColor color = ColorRef(in.U32());
            const QPointF p = ReadPointYX(in);
            if (in.Ok()) device_.SetPixel(p, color);
            break;
        }
        case wmf::kCreatePenIndirect: {
            Pen pen;
            pen.style = in.U16();
            pen.width = in.I16();
            in.I16();
            pen.color = ColorRef(in.U32());
            // Wide pens of the old kind are always solid.
            if (pen.width > 1 && (pen.style & kPsStyleMask) < kPsNull) pen.style &= ~kPsStyleMask;
            objects_.Create(pen);
            break;
        }
        case wmf::kCreateBrushIndirect: {
            Brush brush;
            brush.style = in.U16();
            brush.color = ColorRef(in.U32());
            brush.hatch = in.U16();
            if (brush.style != kBsSolid && brush.style != kBsNull && brush.style != kBsHatched)
                brush.style = kBsSolid;
            objects_.Create(brush);
            break;
        }
        case wmf::kDibCreatePatternBrush: {
            in.U16(); // style
            const uint16_t usage = in.U16();
            Brush brush;
            brush.style = kBsPattern;
            brush.color = Qt::black;
            brush.pattern = PatternImage(DecodePackedDib(in.Bytes(in.Remaining()), usage == 1));
            if (brush.pattern.isNull()) brush.style = kBsSolid;
            objects_.Create(brush);
            break;
        }
        case wmf::kCreatePatternBrush: {
            Brush brush; // an old device bitmap we do not decode: keep the slot
            brush.color = Qt::black;
            objects_.Create(brush);
            break;
        }
        case wmf::kCreateFontIndirect:
            objects_.Create(ReadFont(in));
            break;
        case wmf::kCreatePalette:
            objects_.Create(Palette{});
            break;
        case wmf::kCreateRegion:
            objects_.Create(ReadRegion(in));
            break;
        case wmf::kSelectObject:
            Select(in.U16());
            break;
        case wmf::kDeleteObject:
            objects_.Delete(in.U16());
            break;
        case wmf::kSelectClipRegion: {
            const uint16_t index = in.U16();
            const GdiObject* object = objects_.Find(index);
            if (const Region* region = object ? std::get_if<Region>(object) : nullptr) {
                QPainterPath area;
                if (device_.ToDevice(region->area, area)) device_.CombineClip(area, 5);
            } else {
                device_.CombineClip(std::nullopt, 5);
            }
            break;
        }
        case wmf::kFillRegion:
        case wmf::kPaintRegion: {
            const GdiObject* region = objects_.Find(in.U16());
            const GdiObject* brush = r.type == wmf::kFillRegion ? objects_.Find(in.U16()) : nullptr;
            const Region* area = region ? std::get_if<Region>(region) : nullptr;
            if (!area) break;
            const Brush* fill = brush ? std::get_if<Brush>(brush) : nullptr;
            QPainterPath deviceArea;
            if (device_.ToDevice(area->area, deviceArea))
                device_.FillArea(deviceArea, fill ? *fill : s.brush);
            break;
        }
        case wmf::kIntersectClipRect:
        case wmf::kExcludeClipRect: {
            const QRectF box = ReadRect(in);
            if (!in.Ok()) break;
            if (r.type == wmf::kIntersectClipRect)
                device_.IntersectClipRect(box);
            else
                device_.ExcludeClipRect(box);
            break;
        }
        case wmf::kOffsetClipRgn:
            device_.OffsetClip(ReadPointYX(in));
            break;
        case wmf::kTextOut: {
            const uint16_t count = in.U16();
            const auto bytes = in.Bytes(count);
            in.Skip(count % 2);
            const QPointF at = ReadPointYX(in);
            if (!in.Ok()) break;
            TextRun run;
            run.reference = at;
            run.text = DecodeText(bytes, s.font.charset);
            DrawText(device_, run);
            break;
        }
        case wmf::kExtTextOut:
            PlayExtTextOut(in);
            break;
        case wmf::kPatBlt: {
            const uint32_t rop = in.U32();
            const int16_t h = in.I16(), w = in.I16();
            const QPointF at = ReadPointYX(in);
            if (in.Ok()) device_.PatBlt(QRectF(at, QSizeF(w, h)), rop);
            break;
        }
        case wmf::kStretchDib: {
            const uint32_t rop = in.U32();
            const uint16_t usage = in.U16();
            const int16_t srcH = in.I16(), srcW = in.I16(), srcY = in.I16(), srcX = in.I16();
            const int16_t h = in.I16(), w = in.I16();
            const QPointF at = ReadPointYX(in);
            if (!in.Ok()) break;
            const QImage image = DecodePackedDib(in.Bytes(in.Remaining()), usage == 1);
            device_.DrawImage(QRectF(at, QSizeF(w, h)), image,
                              SourceRect(image, srcX, srcY, srcW, srcH), rop);
            break;
        }
        case wmf::kDibStretchBlt:
        case wmf::kDibBitBlt:
        case wmf::kStretchBlt:
        case wmf::kBitBlt:
            PlayBlt(in, r);
            break;
        case wmf::kSetDibToDev: {
            const uint16_t usage = in.U16();
            in.Skip(4); // scan count, start scan
            const int16_t srcY = in.I16(), srcX = in.I16(), h = in.I16(), w = in.I16();
            const QPointF at = ReadPointYX(in);
            if (!in.Ok()) break;
            const QImage image = DecodePackedDib(in.Bytes(in.Remaining()), usage == 1);
            device_.DrawImage(QRectF(at, QSizeF(w, h)), image, SourceRect(image, srcX, srcY, w, h),
                              0x00CC0020);
            break;
        }
        default:
            break; // escapes and the rest draw nothing we show
        }
    }

private:
    static QImage PatternImage(const QImage& image) {
        if (image.isNull() || image.width() > kMaxPatternSide || image.height() > kMaxPatternSide)
            return {};
        return image;
    }

    // The source rectangle in image rows counted from the top; DIB source y counts from the
    // bottom row of a bottom-up bitmap.
    static QRectF SourceRect(const QImage& image, int x, int y, int w, int h) {
        if (image.isNull()) return {};
        return QRectF(x, image.height() - y - h, w, h);
    }

    void Select(uint16_t index) {
        const GdiObject* object = objects_.Find(index);
        if (!object) return;
        DcState& s = device_.State();
        if (const Pen* pen = std::get_if<Pen>(object))
            s.pen = *pen;
        else if (const Brush* brush = std::get_if<Brush>(object))
            s.brush = *brush;
        else if (const Font* font = std::get_if<Font>(object))
            s.font = *font;
        else if (const Region* region = std::get_if<Region>(object)) {
            QPainterPath area;
            if (device_.ToDevice(region->area, area)) device_.CombineClip(area, 5);
        }
    }

    void PlayExtTextOut(ByteReader& in) {
        const QPointF at = ReadPointYX(in);
        const int16_t count = in.I16();
        const uint16_t options = in.U16();
        TextRun run;
        run.reference = at;
        run.options = options;
        // The rectangle is there only when the options use it.
        if (options & (kEtoOpaque | kEtoClipped)) {
            const int16_t left = in.I16(), top = in.I16(), right = in.I16(), bottom = in.I16();
            run.rect = QRectF(QPointF(left, top), QPointF(right, bottom));
        }
        if (!in.Ok() || count <= 0) {
            if (in.Ok() && run.rect && (options & kEtoOpaque)) DrawText(device_, run);
            return;
        }
        const auto bytes = in.Bytes(size_t(count));
        in.Skip(count % 2);
        if (!in.Ok()) return;
        std::vector<int> perChar;
        run.text = DecodeText(bytes, device_.State().font.charset, &perChar);
        if (in.Remaining() >= size_t(count) * 2) {
            // One spacing value per byte: a double-byte character gets the sum of its two.
            std::vector<double> perByte;
            for (int i = 0; i < count; ++i)
                perByte.push_back(in.I16());
            size_t b = 0;
            for (int n : perChar) {
                double sum = 0;
                for (int k = 0; k < n && b < perByte.size(); ++k)
                    sum += perByte[b++];
                run.advances.push_back(sum);
            }
        }
        DrawText(device_, run);
    }

    void PlayBlt(ByteReader& in, const RecordRef& r) {
        const uint32_t rop = in.U32();
        const bool stretch = r.type == wmf::kDibStretchBlt || r.type == wmf::kStretchBlt;
        int16_t srcH = 0, srcW = 0;
        if (stretch) {
            srcH = in.I16();
            srcW = in.I16();
        }
        const int16_t srcY = in.I16(), srcX = in.I16();
        // Without a bitmap the record is a pattern fill: a reserved word and the destination.
        constexpr size_t kNoBitmapRestBytes = 5 * 2;
        const bool withBitmap = in.Remaining() > kNoBitmapRestBytes;
        if (!withBitmap) in.Skip(2);
        const int16_t h = in.I16(), w = in.I16();
        const QPointF at = ReadPointYX(in);
        if (!in.Ok()) return;
        const QRectF dest(at, QSizeF(w, h));
        if (!withBitmap) {
            device_.PatBlt(dest, rop);
            return;
        }
        if (r.type == wmf::kBitBlt || r.type == wmf::kStretchBlt) {
            device_.PatBlt(dest, rop); // device bitmaps of the old kind: not decoded
            return;
        }
        const QImage image = DecodePackedDib(in.Bytes(in.Remaining()));
        if (!stretch) {
            srcW = w;
            srcH = h;
        }
        device_.DrawImage(dest, image, SourceRect(image, srcX, srcY, srcW, srcH), rop);
    }

    std::span<const uint8_t> file_;
    Device& device_;
    WmfObjectTable objects_;
};

} // namespace

void PlayWmf(std::span<const uint8_t> file, const WmfHeader& header,
             const std::vector<RecordRef>& records, Device& device) {
    WmfPlayer player(file, header, device);
    for (const RecordRef& r : records) {
        if (device.TimeUp()) break;
        player.Play(r);
    }
}

} // namespace vcl::metafile
