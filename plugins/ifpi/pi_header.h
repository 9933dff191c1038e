// The Pi file header: signature, comments, mode, aspect, depth, machine data, size and palette.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "plugins/common/spi_density.h"

namespace pi {

inline constexpr uint8_t kCommentEnd = 0x1A;
inline constexpr uint8_t kModeDefaultPalette = 0x80; // no palette stored

struct Header {
    uint8_t mode = 0;
    uint8_t aspectFirst = 0;  // pixel height part
    uint8_t aspectSecond = 0; // pixel width part
    uint8_t depth = 0;        // bits per pixel: 4 or 8
    uint16_t width = 0;
    uint16_t height = 0;
    size_t paletteOffset = 0; // meaningful only when a palette is stored
    size_t dataOffset = 0;    // the compressed bit stream

    bool hasPalette() const { return !(mode & kModeDefaultPalette); }
    uint32_t colours() const { return depth == 8 ? 256 : 16; }
    // The two aspect bytes are the densities themselves (reduced); either being 0 means square
    // pixels.
    spi::Density density() const { return spi::ReducedDensity(aspectFirst, aspectSecond); }
};

bool HasSignature(std::span<const uint8_t> head);

// Whether the first bytes of a file look like a Pi header: the signature is two letters only, so
// the comment ends and a valid depth must be there too (the head may end before the palette).
bool LooksLikePi(std::span<const uint8_t> head);

// Parses and checks the header of a whole file: SPI_NOT_SUPPORTED for another format,
// SPI_FILE_READ_ERROR when the file ends inside the header or palette or right after them,
// SPI_BROKEN_DATA for a depth other than 4 and 8 or a width below 2, SPI_NO_MEMORY beyond the
// plug-in limits.
int32_t ReadHeader(std::span<const uint8_t> file, Header& header);

} // namespace pi
