#include "vcl/metafile/mapping.h"

#include <cmath>

namespace vcl::metafile {
namespace {

// Millimetres per logical unit of the fixed modes.
double MillimetresPerUnit(int mode) {
    switch (mode) {
    case kMmLoMetric:
        return 0.1;
    case kMmHiMetric:
        return 0.01;
    case kMmLoEnglish:
        return 0.254;
    case kMmHiEnglish:
        return 0.0254;
    case kMmTwips:
        return 25.4 / 1440.0;
    default:
        return 0.0;
    }
}

bool Scalable(int mode) {
    return mode == kMmIsotropic || mode == kMmAnisotropic;
}

} // namespace

void Mapping::SetMode(int newMode) {
    if (newMode < kMmText || newMode > kMmAnisotropic) return;
    mode = newMode;
}

void Mapping::SetWindowExt(QPointF ext) {
    if (!Scalable(mode) || ext.x() == 0 || ext.y() == 0) return;
    windowExt = ext;
}

void Mapping::SetViewportExt(QPointF ext) {
    if (!Scalable(mode) || ext.x() == 0 || ext.y() == 0) return;
    viewportExt = ext;
}

QTransform Mapping::PageTransform(QPointF pageUnitsPerMm) const {
    double sx = 1, sy = 1;
    if (mode == kMmText) {
        sx = sy = 1;
    } else if (Scalable(mode)) {
        sx = viewportExt.x() / windowExt.x();
        sy = viewportExt.y() / windowExt.y();
        if (mode == kMmIsotropic) {
            // The viewport shrinks along the longer axis so that a unit is as long both ways.
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    } else {
        const double mm = MillimetresPerUnit(mode);
        sx = mm * pageUnitsPerMm.x();
        sy = -mm * pageUnitsPerMm.y();
    }
    // page = (logical - windowOrg) * s + viewportOrg
    return QTransform(sx, 0, 0, sy, viewportOrg.x() - windowOrg.x() * sx,
                      viewportOrg.y() - windowOrg.y() * sy);
}

} // namespace vcl::metafile
