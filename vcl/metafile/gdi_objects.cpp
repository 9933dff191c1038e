#include "vcl/metafile/gdi_objects.h"

namespace vcl::metafile {

std::optional<GdiObject> StockObject(uint32_t index) {
    auto solid = [](QColor c) { return GdiObject{Brush{kBsSolid, c, 0, {}}}; };
    auto pen = [](uint32_t style, QColor c) { return GdiObject{Pen{style, 0, c, {}}}; };
    switch (index) {
    case 0:
        return solid(Qt::white);
    case 1:
        return solid(QColor(192, 192, 192));
    case 2:
        return solid(QColor(128, 128, 128));
    case 3:
        return solid(QColor(64, 64, 64));
    case 4:
        return solid(Qt::black);
    case 5:
        return GdiObject{Brush{kBsNull, Qt::black, 0, {}}};
    case 6:
        return pen(kPsSolid, Qt::white);
    case 7:
        return pen(kPsSolid, Qt::black);
    case 8:
        return pen(kPsNull, Qt::black);
    case 10:
    case 11:
    case 16: {
        Font font;
        font.face = QStringLiteral("Courier New");
        font.height = 12;
        return GdiObject{font};
    }
    case 12:
    case 13:
    case 14:
    case 17: {
        Font font;
        font.face = QStringLiteral("Arial");
        font.height = 16;
        return GdiObject{font};
    }
    case 15:
        return GdiObject{Palette{}};
    case 18:
        return solid(Qt::white); // the DC brush, white until set
    case 19:
        return pen(kPsSolid, Qt::black);
    default:
        return std::nullopt;
    }
}

} // namespace vcl::metafile
