// What every picture our readers return must satisfy, checked by the fuzz targets.
#pragma once

#include <QImage>

#include <cstdlib>

#include "vcl/graphics/bmp_reader.h"

inline void CheckReaderResult(vcl::imageio::ReadStatus status, const QImage& image) {
    if (status != vcl::imageio::ReadStatus::Ok) {
        if (!image.isNull()) std::abort(); // a failed read leaves the output alone
        return;
    }
    if (image.isNull() || image.width() > vcl::imageio::kMaxImageSide ||
        image.height() > vcl::imageio::kMaxImageSide)
        std::abort();
    if (image.format() == QImage::Format_RGB32) {
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(row[x]) != 0xFF) std::abort();
        }
    } else if (image.format() != QImage::Format_ARGB32) {
        std::abort();
    }
}
