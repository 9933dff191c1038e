// The record loops of the two formats, drawing onto a Device.
#pragma once

#include "vcl/metafile/format.h"

#include <QRectF>

#include <span>
#include <vector>

namespace vcl::metafile {

class Device;

void PlayWmf(std::span<const uint8_t> file, const WmfHeader& header,
             const std::vector<RecordRef>& records, Device& device);
void PlayEmf(std::span<const uint8_t> file, const std::vector<RecordRef>& records, Device& device);

// The picture rectangle (logical units) and units per inch of a WMF without a placeable header:
// its window when it sets one before drawing, else the extent of what it draws.
struct WmfBounds {
    QRectF rect;
    double unitsPerInch = 96;
    bool fromWindow = false; // the rectangle is the file's own window
};
WmfBounds MeasureWmf(std::span<const uint8_t> file, const std::vector<RecordRef>& records);

} // namespace vcl::metafile
