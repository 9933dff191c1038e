// Decoding a MAG picture into a 4- or 8-bit DIB with its palette.
#pragma once

#include <cstdint>
#include <span>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_entry.h"
#include "plugins/ifmag/mag_header.h"

namespace mag {

// Decodes a whole file into `out`; SPI_ABORTED when `progress` asks to stop. Data streams cut short
// are read as zeros, so a truncated file gives the part it holds; header failures are those of
// ReadHeader, SPI_NO_MEMORY beyond the plug-in limits.
int32_t Decode(std::span<const uint8_t> file, spi::Progress progress, spi::DibOutput& out);

} // namespace mag
