#include "plugins/iftiff/tiff_layout.h"

#include "plugins/spi.h"

namespace iftiff {

namespace {

constexpr uint16_t kMaxIndexedBits = 16;
constexpr uint16_t kMaxPaletteBits = 8;

bool IsGrey(uint16_t photometric) {
    return photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
}

// One unsigned sample per pixel, stored top-down or bottom-up, in a layout whose rows (or tile
// rows) start on byte boundaries.
bool CanStayIndexed(TIFF* tif, const Layout& l) {
    uint16_t sampleFormat = SAMPLEFORMAT_UINT, orientation = ORIENTATION_TOPLEFT;
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (l.samplesPerPixel != 1) return false;
    if (sampleFormat != SAMPLEFORMAT_UINT && sampleFormat != SAMPLEFORMAT_VOID) return false;
    if (orientation != ORIENTATION_TOPLEFT && orientation != ORIENTATION_BOTLEFT) return false;
    if (compression == COMPRESSION_OJPEG) return false; // libtiff reads it only as RGBA
    if (l.bitsPerSample == 0 || l.bitsPerSample > kMaxIndexedBits) return false;
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *r, *g, *b;
        if (l.bitsPerSample > kMaxPaletteBits) return false;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b)) return false;
    } else if (!IsGrey(l.photometric)) {
        return false;
    }
    if (l.tiled && (uint64_t(l.tileWidth) * l.bitsPerSample) % 8 != 0) return false;
    return true;
}

} // namespace

int32_t ReadLayout(TIFF* tif, Layout& l) {
    l = Layout{};
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height))
        return SPI_BROKEN_DATA;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.samplesPerPixel);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bitsPerSample);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.samplesPerPixel == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    l.bottomUp = orientation == ORIENTATION_BOTLEFT;
    l.tiled = TIFFIsTiled(tif) != 0;
    if (l.tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &l.tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &l.tileLength);
    }
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &l.xResolution);
    TIFFGetField(tif, TIFFTAG_YRESOLUTION, &l.yResolution);
    if (CanStayIndexed(tif, l)) {
        l.route = Route::Indexed;
        const uint16_t bits = l.bitsPerSample;
        // 1, 4 and 8 bits are copied as they are; other depths up to 8 are spread to a byte
        // each; deeper grey is scaled to 8 bits.
        l.outputBits = (bits == 1 || bits == 4) ? bits : 8;
        l.paletteEntries = bits <= 8 ? 1u << bits : 256u;
    }
    return SPI_OK;
}

} // namespace iftiff
