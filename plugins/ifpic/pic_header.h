// The header of an X68000-family PIC picture: machine type, colour depth, size, palette and the
// pixel aspect the file states.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/dib_layout.h"
#include "plugins/common/msb_bit_reader.h"
#include "plugins/ifpic/expand_component.h"

namespace pic {

using spi::MsbBitReader;
using Bytes = std::basic_string_view<uint8_t>;

// Where one component lies in a direct-colour pixel value.
struct Field {
    uint8_t shift = 0;
    uint8_t bits = 0;
};

// A direct-colour pixel value. With `intensity` the lowest bit is a shared extra low bit of all
// three components (the X68000 colour word GGGGG RRRRR BBBBB I).
struct PixelFormat {
    Field red, green, blue;
    bool intensity = false;
};

enum class PixelKind {
    Indexed,  // palette indices, 16 or 256 colours
    Direct,   // colour values in `format`
    Tiled256, // each 16-bit value holds two G3R3B2 pixels, low byte first; twice as many rows
};

struct PicHeader {
    uint8_t machine = 0;
    uint8_t mode = 0;
    int depth = 0;      // bits per coded pixel value
    uint32_t width = 0; // as stored
    uint32_t height = 0;
    PixelKind kind = PixelKind::Direct;
    PixelFormat format;       // Direct and Tiled256
    bool colourCache = false; // direct colours are coded through the 128-entry cache
    uint32_t paletteEntries = 0;
    std::array<DibRgbQuad, 256> palette{};
    uint16_t xDensity = 1;
    uint16_t yDensity = 1;
    Bytes comment; // between the signature and the 0x1A

    // The delivered picture.
    uint32_t outputWidth() const { return width; }
    uint32_t outputHeight() const { return kind == PixelKind::Tiled256 ? height * 2 : height; }
    int outputBitsPerPixel() const {
        if (kind != PixelKind::Indexed) return 24;
        return paletteEntries <= 16 ? 4 : 8;
    }
};

// Whether the bytes start like a PIC file: the signature, and when the head reaches that far, a
// machine type and depth this decoder knows.
bool LooksLikePic(Bytes head);

// Parses the header and the palette. On success `bits` stands at the first bit of the coded
// pixels. Results: SPI_OK; SPI_NOT_SUPPORTED (not a PIC, or a machine, mode or depth this
// decoder does not know); SPI_FILE_READ_ERROR (the file ends inside the header); SPI_BROKEN_DATA
// (a zero side, an impossible palette).
int32_t ParseHeader(Bytes file, PicHeader& header, MsbBitReader& bits);

} // namespace pic
