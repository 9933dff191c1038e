// Widening the colour components of PIC and PIC2 pictures to 8 bits.
#pragma once

#include <cstdint>

namespace pic {

// Widens an n-bit component to 8 bits by repeating its bit pattern downwards, so that the
// largest n-bit value becomes 255 and zero stays 0.
constexpr uint8_t ExpandComponent(uint32_t value, int bits) {
    if (bits <= 0) return 0;
    if (bits >= 8) return uint8_t(value >> (bits - 8));
    uint32_t result = 0;
    int shift = 8 - bits;
    for (; shift > 0; shift -= bits)
        result |= value << shift;
    result |= value >> -shift;
    return uint8_t(result);
}

} // namespace pic
