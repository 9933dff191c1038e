// How the first page of a TIFF is laid out, and which way it is decoded: indexed pictures
// (palette, grey, bilevel) stay indexed; everything else becomes 24-bit colour.
#pragma once

#include <cstdint>

#include <tiffio.h>

namespace iftiff {

enum class Route {
    Indexed, // one sample per pixel, read row by row into a 1, 4 or 8-bit DIB
    Colour,  // libtiff's RGBA reader, delivered as 24-bit
};

struct Layout {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t samplesPerPixel = 1;
    uint16_t bitsPerSample = 1;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    bool tiled = false;
    uint32_t tileWidth = 0;
    uint32_t tileLength = 0;
    bool bottomUp = false; // rows stored from the bottom of the picture
    Route route = Route::Colour;
    int outputBits = 24; // bits per pixel of the delivered DIB
    uint32_t paletteEntries = 0;
    float xResolution = 0;
    float yResolution = 0;
};

// Reads the current directory's layout. SPI_OK, or SPI_BROKEN_DATA when the size is missing.
int32_t ReadLayout(TIFF* tif, Layout& layout);

} // namespace iftiff
