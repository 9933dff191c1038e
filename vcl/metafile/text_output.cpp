#include "vcl/metafile/text_output.h"

#include "vcl/metafile/gdi_device.h"
#include "vcl/metafile/limits.h"
#include "vcl/metafile/records.h"
#include "vcl/metafile/text_codec.h"

#include <QFont>
#include <QFontMetricsF>

#include <cmath>

namespace vcl::metafile {
namespace {

// A font height of 0 asks for the default size, in logical units.
constexpr double kDefaultFontHeight = 12.0;

QFont MakeFont(const Font& font, double pixelHeight) {
    QFont qfont(MapFaceName(font.face, font.charset));
    qfont.setWeight(QFont::Weight(std::clamp(font.weight == 0 ? 400 : font.weight, 1, 1000)));
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelHeight))));
    return qfont;
}

} // namespace

void DrawText(Device& device, const TextRun& run) {
    const DcState& state = device.State();
    const QTransform t = device.LogicalToDevice();
    const QPointF xAxis = t.map(QPointF(1, 0)) - t.map(QPointF(0, 0));
    const QPointF yAxis = t.map(QPointF(0, 1)) - t.map(QPointF(0, 0));
    const double xScale = std::hypot(xAxis.x(), xAxis.y());
    const double yScale = std::hypot(yAxis.x(), yAxis.y());
    if (!(xScale > 0) || !(yScale > 0) || !std::isfinite(xScale) || !std::isfinite(yScale)) return;

    const Font& font = state.font;
    const double logicalHeight = font.height == 0 ? kDefaultFontHeight : std::abs(font.height);
    double pixelHeight = logicalHeight * yScale;
    if (!(pixelHeight < kMaxTextPixels)) return;
    QFont qfont = MakeFont(font, pixelHeight);
    if (font.height > 0) {
        // A positive height is the cell (ascent + descent); the em is smaller.
        const QFontMetricsF probe(qfont);
        if (probe.height() > 0) pixelHeight *= pixelHeight / probe.height();
        qfont = MakeFont(font, pixelHeight);
    }
    const QFontMetricsF metrics(qfont);

    QString text = run.text.left(static_cast<qsizetype>(kMaxTextChars));
    if (IsSymbolFace(font.face)) text = MapSymbolCodes(text);
    // Glyphs are sized by the vertical scale; an anisotropic mapping stretches them sideways.
    const double aspect = std::clamp(xScale / yScale, 0.05, 20.0);
    // Position of each character along the baseline in unstretched glyph space, and the width.
    std::vector<double> x(static_cast<size_t>(text.size()) + 1, 0.0);
    const double extra = state.textCharExtra * xScale / aspect;
    for (qsizetype i = 0; i < text.size(); ++i) {
        double advance;
        if (static_cast<size_t>(i) < run.advances.size())
            advance = run.advances[static_cast<size_t>(i)] * xScale / aspect;
        else if (text[i].isLowSurrogate())
            advance = 0;
        else if (text[i].isHighSurrogate() && i + 1 < text.size())
            advance = metrics.horizontalAdvance(text.mid(i, 2)) + extra;
        else
            advance = metrics.horizontalAdvance(text[i]) + extra;
        x[static_cast<size_t>(i) + 1] = x[static_cast<size_t>(i)] + advance;
    }
    const double width = x.back();

    const bool updateCp = state.textAlign & kTaUpdateCp;
    const QPointF anchor = t.map(updateCp ? state.currentPosition : run.reference);
    double dx = 0;
    switch (state.textAlign & kTaCenter) {
    case kTaRight:
        dx = -width;
        break;
    case kTaCenter:
        dx = -width / 2;
        break;
    default:
        break;
    }
    double baseline = 0;
    switch (state.textAlign & kTaBaseline) {
    case kTaBaseline:
        baseline = 0;
        break;
    case kTaBottom:
        baseline = -metrics.descent();
        break;
    default:
        baseline = metrics.ascent();
        break;
    }
    // The escapement turns the baseline counter-clockwise; a rotating world transform turns it
    // further (seen through a page mapping that may turn y upwards). Mirroring turns nothing.
    double angle = font.escapement / 10.0;
    const QTransform& world = state.world;
    if (world.determinant() > 0 && (world.m12() != 0 || world.m21() != 0)) {
        const QTransform pageToDevice = world.inverted() * t;
        const double turn = std::atan2(world.m12(), world.m11()) * 180.0 / 3.14159265358979323846;
        angle += pageToDevice.m22() > 0 ? -turn : turn;
    }

    QPainter& painter = device.Painter();
    const QTransform base = painter.worldTransform();
    if (run.rect && (run.options & (kEtoOpaque | kEtoClipped))) {
        QPainterPath box, deviceBox;
        box.addRect(run.rect->normalized());
        if (device.ToDevice(box, deviceBox)) {
            if (run.options & kEtoOpaque) {
                Brush background{kBsSolid, state.bkColor, 0, {}};
                device.FillArea(deviceBox, background);
            }
            if (run.options & kEtoClipped) {
                device.ApplyClip();
                painter.setClipPath(deviceBox, Qt::IntersectClip);
            }
        }
    }
    // Text is drawn in device pixels, upright unless rotated by its escapement: a mapping that
    // turns y upwards does not mirror the glyphs. Anisotropic scaling stretches them.
    device.ApplyClip();
    QTransform local;
    local.translate(anchor.x(), anchor.y());
    local.rotate(-angle);
    local.scale(aspect, 1.0);
    painter.setWorldTransform(local * base);
    device.ApplyClip();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (state.bkMode == kOpaque && !(run.options & kEtoOpaque))
        painter.fillRect(QRectF(dx, baseline - metrics.ascent(), width, metrics.height()),
                         state.bkColor);
    painter.setFont(qfont);
    painter.setPen(state.textColor);
    const bool spaced = !run.advances.empty() || extra != 0;
    if (!spaced) {
        painter.drawText(QPointF(dx, baseline), text);
    } else {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isLowSurrogate()) continue;
            const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            painter.drawText(QPointF(dx + x[static_cast<size_t>(i)], baseline), text.mid(i, len));
        }
    }
    painter.setWorldTransform(base);
    if (run.rect && (run.options & kEtoClipped)) device.InvalidateClip();

    if (updateCp) {
        // The current position moves along the baseline past the text (left aligned), back to
        // its start (right aligned), or stays (centred).
        double move = 0;
        switch (state.textAlign & kTaCenter) {
        case kTaRight:
            move = -width;
            break;
        case kTaCenter:
            move = 0;
            break;
        default:
            move = width;
            break;
        }
        const double rad = angle * 3.14159265358979323846 / 180.0;
        move *= aspect;
        const QPointF deviceEnd = anchor + QPointF(move * std::cos(rad), -move * std::sin(rad));
        bool invertible = false;
        const QTransform back = t.inverted(&invertible);
        if (invertible) device.State().currentPosition = back.map(deviceEnd);
    }
}

} // namespace vcl::metafile
