// Small pictures made by the real encoders (libjpeg, giflib, libtiff) for the plug-in tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace jgt {

using Bytes = std::vector<uint8_t>;

struct Colour {
    uint8_t r = 0, g = 0, b = 0;
};

// ---- JPEG
enum class JpegColour { Rgb, Grey, Cmyk, Ycck };

struct JpegSpec {
    int width = 16;
    int height = 16;
    JpegColour colour = JpegColour::Rgb;
    // Every pixel has this colour; for CMYK and YCCK `ink` is used instead.
    Colour fill{200, 100, 50};
    uint8_t ink[4] = {0, 0, 0, 0}; // C, M, Y, K as amounts of ink
    bool adobeMarker = true;       // CMYK: store inverted with an Adobe marker, or plain without
    bool progressive = false;
    bool jfif = true;
    uint8_t densityUnit = 1;
    uint16_t xDensity = 72, yDensity = 72;
    std::vector<std::string> comments;
};
Bytes MakeJpeg(const JpegSpec& spec);

// ---- GIF
struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlace = false;
    std::vector<uint8_t> indices; // top-down rows, as they should appear
    std::vector<Colour> localTable;
    int transparent = -1;
};

struct GifSpec {
    int screenWidth = 0, screenHeight = 0;
    int background = 0;
    uint8_t aspect = 0;
    std::vector<Colour> globalTable;
    std::vector<GifFrame> frames;
};
Bytes MakeGif(const GifSpec& spec);
// The offset at which the first frame's compressed pixel data begins (after its LZW code size).
size_t GifPixelDataOffset(const Bytes& gif);

// ---- TIFF
struct TiffSpec {
    uint32_t width = 4, height = 4;
    uint16_t samplesPerPixel = 1, bitsPerSample = 8;
    uint16_t photometric = 1;  // PHOTOMETRIC_MINISBLACK
    uint16_t compression = 1;  // COMPRESSION_NONE
    uint16_t orientation = 1;  // ORIENTATION_TOPLEFT
    uint16_t extraSample = 0;  // EXTRASAMPLE_UNSPECIFIED unless samples exceed the colour ones
    uint32_t rowsPerStrip = 0; // 0: libtiff's default
    uint32_t tileSize = 0;     // nonzero: square tiles of this size
    bool bigEndian = false;
    bool bigTiff = false;
    float xResolution = 0, yResolution = 0;
    std::vector<uint16_t> colormap; // red entries, then green, then blue
    std::vector<uint8_t> rows;      // packed stored rows, top-down in storage order
    int pages = 1;
};
Bytes MakeTiff(const TiffSpec& spec);
// Rewrites one tag of a little-endian classic TIFF's first directory as a LONG value.
void PatchTiffTag(Bytes& tiff, uint16_t tag, uint32_t value);
// Rewrites entry `index` of a LONG array tag of the same directory.
void PatchTiffArray(Bytes& tiff, uint16_t tag, uint32_t index, uint32_t value);
// Renumbers a tag, so that the directory no longer has it.
void RenameTiffTag(Bytes& tiff, uint16_t tag, uint16_t newTag);

// ---- helpers
std::filesystem::path TempFile(const std::string& name, const Bytes& bytes);
Bytes Cut(const Bytes& bytes, size_t n);

} // namespace jgt
