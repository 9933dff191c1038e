// The block codings of PIC2. Each decodes one block from a fresh state and hands over its rows,
// top first, as pixel values R << 2c | G << c | B with c bits per component.
#pragma once

#include <cstdint>
#include <functional>

#include "plugins/ifpic2/pic2_layout.h"

namespace pic2 {

using RowSink = std::function<void(uint32_t y, const uint32_t* values)>;

// Results: SPI_OK, or SPI_BROKEN_DATA when the block's data ends before its pixels or holds
// codes no encoder writes.
int32_t DecodeRawBlock(const Block& block, int componentBits, const RowSink& sink);
int32_t DecodeFastBlock(const Block& block, int componentBits, const RowSink& sink);
int32_t DecodeArithmeticBlock(const Block& block, int componentBits, const RowSink& sink);

} // namespace pic2
