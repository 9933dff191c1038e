// JPEG decoding for the JPEG plug-in, on the libjpeg API: the picture-information record and the
// picture as a bottom-up DIB (24-bit BGR, or 8-bit with a grey palette for greyscale pictures).
#pragma once

#include <cstdint>
#include <string_view>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_entry.h"
#include "plugins/spi.h"

namespace ifjpeg {

using Bytes = std::basic_string_view<uint8_t>;

// Fills `info` (text information: the comments, or 0). Result codes: SPI_FILE_READ_ERROR when
// the input ends before its header, SPI_NOT_SUPPORTED when it does not start like a JPEG,
// SPI_NO_MEMORY beyond the size limits, SPI_BROKEN_DATA for any other invalid header.
int32_t ReadJpegInfo(Bytes bytes, SpiPictureInfo& info);

// Decodes the picture, reduced by 1/`scaleDenominator` (1, 2, 4 or 8; each side rounded up).
// A picture cut inside its data decodes: the missing part is grey.
int32_t DecodeJpeg(Bytes bytes, int scaleDenominator, spi::Progress progress, spi::DibOutput& out);

} // namespace ifjpeg
