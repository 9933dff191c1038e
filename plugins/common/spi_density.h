// Pixel densities for the picture-information record. A picture with square pixels reports 1 and
// 1; otherwise the two densities keep their ratio, reduced, so that a reader that scales by
// y / x (or x / y) gets the picture's true aspect.
#pragma once

#include <cstdint>
#include <numeric>

namespace spi {

struct Density {
    uint16_t x = 1;
    uint16_t y = 1;
};

// Densities of `x` and `y` dots per the same unit. Zero or unknown values give square pixels.
inline Density ReducedDensity(uint64_t x, uint64_t y) {
    if (x == 0 || y == 0 || x == y) return {};
    const uint64_t g = std::gcd(x, y);
    x /= g;
    y /= g;
    // Keep the ratio within 16 bits, at the cost of some precision for absurd values.
    while (x > 0xFFFF || y > 0xFFFF) {
        x = (x + 1) / 2;
        y = (y + 1) / 2;
    }
    if (x == 0 || y == 0 || x == y) return {};
    return {uint16_t(x), uint16_t(y)};
}

} // namespace spi
