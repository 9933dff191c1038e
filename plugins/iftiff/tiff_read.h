// The two ways of reading a TIFF's first page into a DIB.
#pragma once

#include <cstdint>

#include <tiffio.h>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_entry.h"
#include "plugins/iftiff/tiff_layout.h"
#include "plugins/iftiff/tiff_stream.h"

namespace iftiff {

// Palette, grey and bilevel pictures, kept indexed. Data that ends early or turns invalid (a read
// that fails or makes libtiff report an error) keeps the rows read before; SPI_BROKEN_DATA when
// not even the first row can be read.
int32_t ReadIndexed(const TiffStream& stream, const Layout& layout, spi::Progress& progress,
                    spi::DibOutput& out);

// Everything else through libtiff's RGBA reader, as 24-bit BGR (transparent parts over black).
int32_t ReadColour(const TiffStream& stream, const Layout& layout, spi::Progress& progress,
                   spi::DibOutput& out);

} // namespace iftiff
