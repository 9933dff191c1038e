// TIFF decoding for the TIFF plug-in, on libtiff: the first page, palette, grey and bilevel
// pictures as 1, 4 or 8-bit DIBs with their colour table or a grey ramp, everything else 24-bit.
#pragma once

#include <cstdint>
#include <string_view>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_entry.h"
#include "plugins/spi.h"

namespace iftiff {

using Bytes = std::basic_string_view<uint8_t>;

// Fills `info` (bits per pixel of the DIB GetPicture delivers; no text information). Result
// codes: SPI_FILE_READ_ERROR when the input ends before its first directory, SPI_NOT_SUPPORTED
// when it is not a TIFF, SPI_NO_MEMORY beyond the size limits, SPI_BROKEN_DATA otherwise.
int32_t ReadTiffInfo(Bytes bytes, SpiPictureInfo& info);

int32_t DecodeTiff(Bytes bytes, spi::Progress progress, spi::DibOutput& out);

} // namespace iftiff
