// Pixel comparison of a decoded picture with a reference decoding.
#pragma once

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace imageio_test {

struct Difference {
    bool sameSize = false;
    int maxChannel = 0; // largest difference of one channel, alpha included
    long differing = 0; // pixels beyond the tolerance
    std::string Describe() const {
        if (!sameSize) return "sizes differ";
        return "max channel difference " + std::to_string(maxChannel) + ", " +
               std::to_string(differing) + " pixels beyond the tolerance";
    }
};

// Fully transparent pixels compare equal whatever their colour.
inline Difference Compare(const QImage& actual, const QImage& reference, int tolerance) {
    Difference d;
    if (actual.size() != reference.size()) return d;
    d.sameSize = true;
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage r = reference.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pr = reinterpret_cast<const QRgb*>(r.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (qAlpha(pa[x]) == 0 && qAlpha(pr[x]) == 0) continue;
            const int diff = std::max(
                {std::abs(qRed(pa[x]) - qRed(pr[x])), std::abs(qGreen(pa[x]) - qGreen(pr[x])),
                 std::abs(qBlue(pa[x]) - qBlue(pr[x])), std::abs(qAlpha(pa[x]) - qAlpha(pr[x]))});
            d.maxChannel = std::max(d.maxChannel, diff);
            if (diff > tolerance) ++d.differing;
        }
    }
    return d;
}

} // namespace imageio_test
