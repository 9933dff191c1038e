// Logical to page coordinates: the map mode with the window and viewport origins and extents.
#pragma once

#include "vcl/metafile/records.h"

#include <QPointF>
#include <QTransform>

namespace vcl::metafile {

struct Mapping {
    int mode = kMmText;
    QPointF windowOrg{0, 0};
    QPointF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QPointF viewportExt{1, 1};

    // Ignores modes out of range, as the system does.
    void SetMode(int newMode);
    // Extents take effect only in the scalable modes; a zero extent is refused.
    void SetWindowExt(QPointF ext);
    void SetViewportExt(QPointF ext);

    // `pageUnitsPerMm` is the resolution of the page space (the reference device) per axis; the
    // fixed modes turn their physical units into it, with y growing upwards.
    QTransform PageTransform(QPointF pageUnitsPerMm) const;
};

} // namespace vcl::metafile
