#include "vcl/metafile/document.h"

#include "vcl/metafile/format.h"
#include "vcl/metafile/gdi_device.h"
#include "vcl/metafile/limits.h"
#include "vcl/metafile/players.h"

#include <QPainter>

#include <cmath>
#include <vector>

namespace vcl::metafile {

struct Document::Content {
    std::vector<uint8_t> bytes;
    bool enhanced = false;
    WmfHeader wmf;
    std::vector<RecordRef> records;
    Mapping initialMapping;
    QRectF picture; // page space
    QPointF pageUnitsPerMm;
    QSize size;
};

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kFrameUnitsPerMm = 100.0; // the EMF frame is in 0.01 mm

QSize PixelSize(double width, double height) {
    double w = std::abs(width), h = std::abs(height);
    const double longest = std::max(w, h);
    if (longest > kMaxPictureSide) {
        w = w * kMaxPictureSide / longest;
        h = h * kMaxPictureSide / longest;
    }
    return QSize(std::max(1, int(std::lround(w))), std::max(1, int(std::lround(h))));
}

void SetUpWmf(Document::Content& c) {
    QRectF rect;
    double unitsPerInch;
    bool fromWindow = true;
    if (c.wmf.placeable) {
        rect = QRectF(c.wmf.bounds);
        unitsPerInch = c.wmf.unitsPerInch;
    } else {
        const WmfBounds measured = MeasureWmf(c.bytes, c.records);
        rect = measured.rect;
        unitsPerInch = measured.unitsPerInch;
        fromWindow = measured.fromWindow;
    }
    if (rect.width() <= 0 || rect.height() <= 0) rect = QRectF(rect.topLeft(), QSizeF(1, 1));
    // Players of the time set up a scalable mapping whose window is the picture's rectangle,
    // so that the file's own window lands on it.
    Mapping& m = c.initialMapping;
    m.mode = kMmAnisotropic;
    if (fromWindow) {
        m.windowOrg = m.viewportOrg = rect.topLeft();
        m.windowExt = m.viewportExt = QPointF(rect.width(), rect.height());
    }
    c.picture = rect;
    c.pageUnitsPerMm = QPointF(unitsPerInch / kMmPerInch, unitsPerInch / kMmPerInch);
    c.size = PixelSize(rect.width() * kScreenDpi / unitsPerInch,
                       rect.height() * kScreenDpi / unitsPerInch);
}

void SetUpEmf(Document::Content& c, const EmfHeader& h) {
    QPointF perMm(kScreenDpi / kMmPerInch, kScreenDpi / kMmPerInch);
    if (h.devicePixelsX > 0 && h.devicePixelsY > 0 && h.deviceMillimetersX > 0 &&
        h.deviceMillimetersY > 0)
        perMm = QPointF(double(h.devicePixelsX) / h.deviceMillimetersX,
                        double(h.devicePixelsY) / h.deviceMillimetersY);
    c.pageUnitsPerMm = perMm;
    const double frameW = double(h.frame.right()) - h.frame.left();
    const double frameH = double(h.frame.bottom()) - h.frame.top();
    if (frameW > 0 && frameH > 0) {
        c.picture =
            QRectF(h.frame.left() * perMm.x() / kFrameUnitsPerMm,
                   h.frame.top() * perMm.y() / kFrameUnitsPerMm,
                   frameW * perMm.x() / kFrameUnitsPerMm, frameH * perMm.y() / kFrameUnitsPerMm);
        c.size = PixelSize(frameW * kScreenDpi / (kMmPerInch * kFrameUnitsPerMm),
                           frameH * kScreenDpi / (kMmPerInch * kFrameUnitsPerMm));
        return;
    }
    // No frame: the bounds, in reference-device pixels, inclusive.
    const double w = std::max(1.0, double(h.bounds.right()) - h.bounds.left() + 1);
    const double hh = std::max(1.0, double(h.bounds.bottom()) - h.bounds.top() + 1);
    c.picture = QRectF(h.bounds.left(), h.bounds.top(), w, hh);
    c.size = PixelSize(w * kScreenDpi / (perMm.x() * kMmPerInch),
                       hh * kScreenDpi / (perMm.y() * kMmPerInch));
}

} // namespace

LoadStatus Document::Load(std::span<const uint8_t> file, Document& out, std::string* reason) {
    auto content = std::make_shared<Content>();
    std::string why;
    EmfHeader emfHeader;
    LoadStatus status;
    const bool enhanced =
        file.size() >= 4 && file[0] == 1 && file[1] == 0 && file[2] == 0 && file[3] == 0;
    if (enhanced)
        status = ParseEmf(file, emfHeader, content->records, why);
    else
        status = ParseWmf(file, content->wmf, content->records, why);
    if (status != LoadStatus::Ok) {
        if (reason) *reason = why;
        return status;
    }
    content->enhanced = enhanced;
    content->bytes.assign(file.begin(), file.end());
    if (enhanced)
        SetUpEmf(*content, emfHeader);
    else
        SetUpWmf(*content);
    out.content_ = std::move(content);
    if (reason) reason->clear();
    return LoadStatus::Ok;
}

QSize Document::Size() const {
    return content_ ? content_->size : QSize();
}

void Document::Play(QPainter& painter, const QRectF& target) const {
    if (!content_ || !painter.isActive() || target.isEmpty() || !target.isValid()) return;
    const Content& c = *content_;
    const double sx = target.width() / c.picture.width();
    const double sy = target.height() / c.picture.height();
    const QTransform fit(sx, 0, 0, sy, target.left() - c.picture.left() * sx,
                         target.top() - c.picture.top() * sy);
    Device device(painter, target, fit, c.pageUnitsPerMm);
    device.State().mapping = c.initialMapping;
    if (c.enhanced)
        PlayEmf(c.bytes, c.records, device);
    else
        PlayWmf(c.bytes, c.wmf, c.records, device);
}

} // namespace vcl::metafile
