// Decoding an X68000-family PIC picture into a device-independent bitmap.
#pragma once

#include <cstdint>

#include "plugins/common/spi_dib.h"
#include "plugins/ifpic/pic_header.h"
#include "plugins/spi.h"

namespace pic {

// The picture-information record: size, densities, the delivered bits per pixel. No text
// handle: the comment stays in the file.
int32_t ReadInfo(Bytes file, SpiPictureInfo& info);

// Decodes the whole picture straight into the delivered rows (no working copy): 4- or 8-bit rows
// with the palette for 16 and 256 colours, 24-bit rows otherwise. SPI_FILE_READ_ERROR when the
// coded pixels end before the picture is complete, SPI_BROKEN_DATA for codes no encoder writes,
// SPI_NO_MEMORY beyond the plug-in limits, and the header's results of ParseHeader.
int32_t Decode(Bytes file, spi::DibOutput& out);

} // namespace pic
