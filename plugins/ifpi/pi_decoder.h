// Decoding a Pi picture into a 4- or 8-bit DIB with its palette.
#pragma once

#include <cstdint>
#include <span>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_entry.h"
#include "plugins/ifpi/pi_header.h"

namespace pi {

// Bits the stream may be short of its end and still be read on as zeros: encoders pad with 32
// zero bits, some files with fewer. A stream that runs out by more than this is truncated, and the
// pixels it does not reach stay at colour 0.
inline constexpr uint64_t kZeroTailBits = 256;

// The palette used when the file stores none.
void DefaultPalette(uint32_t colours, DibRgbQuad* palette);

// Decodes a whole file into `out` (SPI_ABORTED when `progress` asks to stop): header failures are
// those of ReadHeader, SPI_NO_MEMORY beyond the plug-in limits; a truncated stream gives the part
// it holds.
int32_t Decode(std::span<const uint8_t> file, spi::Progress progress, spi::DibOutput& out);

} // namespace pi
