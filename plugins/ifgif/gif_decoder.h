// GIF decoding for the GIF plug-in, on giflib read record by record: the first frame composited
// on its logical screen, as an 8-bit bottom-up DIB with the colour table the frame uses.
#pragma once

#include <cstdint>
#include <string_view>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_entry.h"
#include "plugins/spi.h"

namespace ifgif {

using Bytes = std::basic_string_view<uint8_t>;

// Fills `info` with the logical screen's size (no text information). Result codes:
// SPI_FILE_READ_ERROR when the input ends before the first frame's pixel data,
// SPI_NOT_SUPPORTED when it is not a GIF, SPI_NO_MEMORY beyond the size limits, SPI_BROKEN_DATA
// for invalid records or a file without a frame.
int32_t ReadGifInfo(Bytes bytes, SpiPictureInfo& info);

// Decodes the first frame onto the screen, prefilled with the background index; its transparent
// pixels keep the prefill. Pixel data that ends early or turns invalid keeps the rows decoded.
int32_t DecodeGif(Bytes bytes, spi::Progress progress, spi::DibOutput& out);

} // namespace ifgif
