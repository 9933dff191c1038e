// Decoding a PIC2 picture: every block onto a canvas that starts black, as 24-bit rows.
#pragma once

#include <cstdint>

#include "plugins/common/spi_dib.h"
#include "plugins/ifpic2/pic2_layout.h"
#include "plugins/spi.h"

namespace pic2 {

// Canvas size, densities from the pixel aspect, 24 bits per pixel; no text handle.
int32_t ReadInfo(Bytes file, SpiPictureInfo& info);

// The results of ParseLayout and of the block decoders.
int32_t Decode(Bytes file, spi::DibOutput& out);

} // namespace pic2
