// Writing palette pictures into a delivered DIB: rows of one-byte indices packed to 4 or 8 bits,
// and colour-table entries from red, green and blue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/dib_layout.h"

namespace spi {

// Packs `width` indices into a DIB row of `bitsPerPixel` 4 (high nibble is the left pixel) or 8.
// Indices are taken modulo the palette size of that depth; the row's padding is left as it is.
inline void PackIndexRow(const uint8_t* indices, size_t width, int bitsPerPixel, uint8_t* row) {
    if (bitsPerPixel == 8) {
        std::memcpy(row, indices, width);
        return;
    }
    size_t x = 0;
    for (; x + 1 < width; x += 2)
        *row++ = uint8_t((indices[x] & 15) << 4 | (indices[x + 1] & 15));
    if (x < width) *row = uint8_t((indices[x] & 15) << 4);
}

inline DibRgbQuad RgbEntry(uint8_t red, uint8_t green, uint8_t blue) {
    return DibRgbQuad{blue, green, red, 0};
}

} // namespace spi
