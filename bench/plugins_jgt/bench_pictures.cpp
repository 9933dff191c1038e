#include "bench_pictures.h"

#include <cstddef>
#include <cstdio>

#include <gif_lib.h>
#include <jpeglib.h>
#include <tiffio.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace bench {

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kJpegQuality = 90;

// A smooth scene with some grain, like a photograph: row y, RGB.
void SceneRow(int y, std::vector<uint8_t>& rgb) {
    rgb.resize(size_t(kWidth) * 3);
    uint32_t seed = uint32_t(y) * 2654435761u;
    for (int x = 0; x < kWidth; ++x) {
        seed = seed * 1664525u + 1013904223u;
        const int grain = int(seed >> 28) - 8;
        const double u = x / double(kWidth), v = y / double(kHeight);
        const double r = 128 + 100 * std::sin(6.0 * u + 3.0 * v);
        const double g = 128 + 100 * std::sin(4.0 * v - 5.0 * u * v + 1.0);
        const double b = 128 + 100 * std::cos(7.0 * (u - 0.5) * (v - 0.3));
        auto clamp = [&](double c) {
            return uint8_t(std::lround(std::fmin(255, std::fmax(0, c + grain))));
        };
        rgb[size_t(x) * 3] = clamp(r);
        rgb[size_t(x) * 3 + 1] = clamp(g);
        rgb[size_t(x) * 3 + 2] = clamp(b);
    }
}

// 3-3-2 bits of red, green and blue: a 256-colour table that needs no quantiser.
uint8_t PaletteIndex(const uint8_t* rgb) {
    return uint8_t((rgb[0] & 0xE0) | ((rgb[1] >> 3) & 0x1C) | (rgb[2] >> 6));
}

void WriteJpeg(const std::filesystem::path& path, bool progressive) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path.string());
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = kWidth;
    c.image_height = kHeight;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, kJpegQuality, TRUE);
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row;
    for (int y = 0; y < kHeight; ++y) {
        SceneRow(y, row);
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

void WriteGif(const std::filesystem::path& path) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    if (!gif) throw std::runtime_error("cannot write " + path.string());
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] =
            GifColorType{uint8_t(i & 0xE0), uint8_t((i << 3) & 0xE0), uint8_t((i << 6) & 0xC0)};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr);
    std::vector<uint8_t> row;
    std::vector<GifPixelType> line(kWidth);
    for (int y = 0; y < kHeight; ++y) {
        SceneRow(y, row);
        for (int x = 0; x < kWidth; ++x)
            line[size_t(x)] = PaletteIndex(&row[size_t(x) * 3]);
        EGifPutLine(gif, line.data(), kWidth);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
}

void WriteTiff(const std::filesystem::path& path, bool palette) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) throw std::runtime_error("cannot write " + path.string());
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, palette ? 1 : 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, palette ? PHOTOMETRIC_PALETTE : PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    if (palette) {
        std::vector<uint16_t> r(256), g(256), b(256);
        for (int i = 0; i < 256; ++i) {
            r[size_t(i)] = uint16_t((i & 0xE0) * 257);
            g[size_t(i)] = uint16_t(((i << 3) & 0xE0) * 257);
            b[size_t(i)] = uint16_t(((i << 6) & 0xC0) * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
    std::vector<uint8_t> row, line(kWidth);
    for (int y = 0; y < kHeight; ++y) {
        SceneRow(y, row);
        if (palette) {
            for (int x = 0; x < kWidth; ++x)
                line[size_t(x)] = PaletteIndex(&row[size_t(x) * 3]);
            TIFFWriteScanline(tif, line.data(), uint32_t(y), 0);
        } else {
            TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
        }
    }
    TIFFClose(tif);
}

} // namespace

std::vector<BenchPicture> EnsurePictures(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const std::vector<BenchPicture> pictures = {
        {"JPEG baseline", folder / "scene-4000x3000.jpg"},
        {"JPEG progressive", folder / "scene-4000x3000-progressive.jpg"},
        {"GIF 256 colours", folder / "scene-4000x3000.gif"},
        {"TIFF RGB LZW", folder / "scene-4000x3000-rgb.tif"},
        {"TIFF palette LZW", folder / "scene-4000x3000-palette.tif"},
    };
    auto missing = [](const BenchPicture& p) { return !std::filesystem::exists(p.path); };
    if (missing(pictures[0])) WriteJpeg(pictures[0].path, false);
    if (missing(pictures[1])) WriteJpeg(pictures[1].path, true);
    if (missing(pictures[2])) WriteGif(pictures[2].path);
    if (missing(pictures[3])) WriteTiff(pictures[3].path, false);
    if (missing(pictures[4])) WriteTiff(pictures[4].path, true);
    return pictures;
}

} // namespace bench
