// Device-independent bitmaps embedded in metafile records, turned into images with every size
// and offset checked.
#pragma once

#include <QImage>

#include <cstdint>
#include <span>

namespace vcl::metafile {

// `info` is the header with its colour table, `bits` the pixel rows. `paletteIndices`: the colour
// table holds indices into a palette we do not have (they become grey levels). A null image
// when the bitmap is malformed, too large or in a layout we do not draw.
QImage DecodeDib(std::span<const uint8_t> info, std::span<const uint8_t> bits,
                 bool paletteIndices = false);

// A header, colour table and rows stored back to back, as WMF records hold them.
QImage DecodePackedDib(std::span<const uint8_t> dib, bool paletteIndices = false);

} // namespace vcl::metafile
