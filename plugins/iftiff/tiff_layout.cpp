#include "plugins/iftiff/tiff_layout.h"

#include "plugins/spi.h"

namespace iftiff {

namespace {

constexpr uint16_t kMaxIndexedBits = 32;
constexpr uint16_t kMaxPaletteBits = 8;

bool IsGrey(uint16_t photometric) {
    return photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
}

bool IsFloat(const Layout& l) {
    return l.sampleFormat == SAMPLEFORMAT_IEEEFP &&
           (l.bitsPerSample == 32 || l.bitsPerSample == 64);
}

// One sample per pixel, stored top-down or bottom-up, in a layout whose rows (or tile rows)
// start on byte boundaries: unsigned, or for grey also signed or floating point.
bool CanStayIndexed(TIFF* tif, const Layout& l) {
    uint16_t orientation = ORIENTATION_TOPLEFT, compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (l.samplesPerPixel != 1) return false;
    if (orientation != ORIENTATION_TOPLEFT && orientation != ORIENTATION_BOTLEFT) return false;
    if (compression == COMPRESSION_OJPEG) return false; // libtiff reads it only as RGBA
    if (l.bitsPerSample == 0 || l.bitsPerSample > (IsFloat(l) ? 64 : kMaxIndexedBits)) return false;
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *r, *g, *b;
        if (l.sampleFormat != SAMPLEFORMAT_UINT) return false;
        if (l.bitsPerSample > kMaxPaletteBits) return false;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b)) return false;
    } else if (!IsGrey(l.photometric)) {
        return false;
    } else if (l.sampleFormat != SAMPLEFORMAT_UINT && l.sampleFormat != SAMPLEFORMAT_INT &&
               !IsFloat(l)) {
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
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &l.sampleFormat);
    if (l.sampleFormat == SAMPLEFORMAT_VOID) l.sampleFormat = SAMPLEFORMAT_UINT;
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
        // Unsigned 1, 4 and 8 bits are copied as they are; other depths up to 8 are spread to a
        // byte each; deeper, signed and floating-point grey is scaled to 8 bits.
        const bool asStored = l.sampleFormat == SAMPLEFORMAT_UINT;
        l.outputBits = asStored && (bits == 1 || bits == 4) ? bits : 8;
        l.paletteEntries = asStored && bits <= 8 ? 1u << bits : 256u;
    }
    return SPI_OK;
}

} // namespace iftiff
