// Limits every plug-in applies before it allocates, so that a hostile header cannot exhaust
// memory. A picture beyond them is reported as SPI_NO_MEMORY.
#pragma once

#include <cstdint>

namespace spi {

inline constexpr int64_t kMaxDimension = 65535;                // pixels per side
inline constexpr uint64_t kMaxPixels = uint64_t(256) << 20;    // 256 Mpixel
inline constexpr uint64_t kMaxBitmapBytes = uint64_t(1) << 30; // 1 GiB of pixel rows
inline constexpr uint64_t kMaxInputBytes = uint64_t(1) << 30;  // files are read whole
inline constexpr uint32_t kSniffBytes = 2048;                  // what IsSupported may look at

} // namespace spi
