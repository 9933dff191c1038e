#include "tests/plugins_jgt/fixtures.h"

#include <cstddef>
#include <cstdio>

#include <gif_lib.h>
#include <jpeglib.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace jgt {

// ---- JPEG

Bytes MakeJpeg(const JpegSpec& s) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&c, &out, &outSize);
    c.image_width = JDIMENSION(s.width);
    c.image_height = JDIMENSION(s.height);
    const bool ink = s.colour == JpegColour::Cmyk || s.colour == JpegColour::Ycck;
    c.input_components = ink ? 4 : s.colour == JpegColour::Grey ? 1 : 3;
    c.in_color_space = ink ? JCS_CMYK : s.colour == JpegColour::Grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    if (s.colour == JpegColour::Ycck) jpeg_set_colorspace(&c, JCS_YCCK);
    if (s.colour == JpegColour::Cmyk) {
        jpeg_set_colorspace(&c, JCS_CMYK);
        c.write_Adobe_marker = s.adobeMarker;
    }
    c.write_JFIF_header = s.jfif && !ink;
    c.density_unit = s.densityUnit;
    c.X_density = s.xDensity;
    c.Y_density = s.yDensity;
    if (s.progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    for (const std::string& text : s.comments)
        jpeg_write_marker(&c, JPEG_COM, reinterpret_cast<const JOCTET*>(text.data()),
                          unsigned(text.size()));
    std::vector<uint8_t> row(size_t(s.width) * size_t(c.input_components));
    for (int x = 0; x < s.width; ++x) {
        uint8_t* p = row.data() + size_t(x) * size_t(c.input_components);
        if (ink) {
            for (int k = 0; k < 4; ++k)
                p[k] = s.adobeMarker ? uint8_t(255 - s.ink[k]) : s.ink[k];
        } else if (s.colour == JpegColour::Grey) {
            p[0] = s.fill.g;
        } else {
            p[0] = s.fill.r;
            p[1] = s.fill.g;
            p[2] = s.fill.b;
        }
    }
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    Bytes bytes(out, out + outSize);
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

// ---- GIF

namespace {

int WriteToVector(GifFileType* gif, const GifByteType* data, int n) {
    auto* v = static_cast<Bytes*>(gif->UserData);
    v->insert(v->end(), data, data + n);
    return n;
}

ColorMapObject* MakeMap(const std::vector<Colour>& table) {
    if (table.empty()) return nullptr;
    std::vector<GifColorType> colours;
    for (const Colour& c : table)
        colours.push_back(GifColorType{c.r, c.g, c.b});
    return GifMakeMapObject(int(colours.size()), colours.data());
}

void Check(int rc, const char* what) {
    if (rc == GIF_ERROR) throw std::runtime_error(what);
}

} // namespace

Bytes MakeGif(const GifSpec& s) {
    Bytes bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, WriteToVector, &error);
    if (!gif) throw std::runtime_error("EGifOpen");
    EGifSetGifVersion(gif, true);
    // giflib writes no frame without some colour table: a placeholder is removed afterwards.
    const bool noTables = s.globalTable.empty();
    ColorMapObject* global = MakeMap(noTables ? std::vector<Colour>(256) : s.globalTable);
    Check(EGifPutScreenDesc(gif, s.screenWidth, s.screenHeight, 8, s.background, global), "screen");
    GifFreeMapObject(global);
    for (const GifFrame& f : s.frames) {
        if (f.transparent >= 0) {
            GraphicsControlBlock gcb{};
            gcb.TransparentColor = f.transparent;
            GifByteType ext[4];
            EGifGCBToExtension(&gcb, ext);
            Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext), "gce");
        }
        ColorMapObject* local = MakeMap(f.localTable);
        Check(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, local), "desc");
        GifFreeMapObject(local);
        std::vector<int> order;
        if (f.interlace) {
            const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < f.height; y += step[pass])
                    order.push_back(y);
        } else {
            for (int y = 0; y < f.height; ++y)
                order.push_back(y);
        }
        for (int y : order) {
            std::vector<GifPixelType> line(f.indices.begin() + size_t(y) * size_t(f.width),
                                           f.indices.begin() + size_t(y + 1) * size_t(f.width));
            Check(EGifPutLine(gif, line.data(), f.width), "line");
        }
    }
    EGifCloseFile(gif, &error);
    if (s.aspect && bytes.size() > 12) bytes[12] = s.aspect;
    if (noTables) {
        const size_t tableBytes = 3u << ((bytes[10] & 7) + 1);
        bytes[10] &= 0x78; // no global table, colour resolution kept
        bytes.erase(bytes.begin() + 13, bytes.begin() + 13 + std::ptrdiff_t(tableBytes));
    }
    return bytes;
}

size_t GifPixelDataOffset(const Bytes& gif) {
    size_t p = 13;
    if (gif[10] & 0x80) p += 3u << ((gif[10] & 7) + 1);
    while (p < gif.size()) {
        if (gif[p] == 0x21) { // extension: label, then sub-blocks
            p += 2;
            while (p < gif.size() && gif[p] != 0)
                p += gif[p] + 1u;
            ++p;
        } else if (gif[p] == 0x2C) {
            const uint8_t packed = gif[p + 9];
            p += 10;
            if (packed & 0x80) p += 3u << ((packed & 7) + 1);
            return p + 1; // after the LZW minimum code size
        } else {
            break;
        }
    }
    throw std::runtime_error("no image descriptor");
}

// ---- TIFF

Bytes MakeTiff(const TiffSpec& s) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("zorvane-jgt-" + std::to_string(::getpid()) + "-fixture.tif");
    std::string mode = "w";
    mode += s.bigEndian ? "b" : "l";
    if (s.bigTiff) mode += "8";
    TIFF* tif = TIFFOpen(path.c_str(), mode.c_str());
    if (!tif) throw std::runtime_error("TIFFOpen");
    const uint64_t rowBytes = (uint64_t(s.width) * s.samplesPerPixel * s.bitsPerSample + 7) / 8;
    for (int page = 0; page < s.pages; ++page) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, s.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, s.height);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, s.samplesPerPixel);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, s.bitsPerSample);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, s.photometric);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, s.compression);
        TIFFSetField(tif, TIFFTAG_ORIENTATION, s.orientation);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        if (s.samplesPerPixel == 2 || s.samplesPerPixel == 4) {
            uint16_t extra = s.extraSample;
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
        if (s.xResolution > 0) {
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, s.xResolution);
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, s.yResolution);
            TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        }
        if (!s.colormap.empty()) {
            const size_t n = s.colormap.size() / 3;
            std::vector<uint16_t> map = s.colormap;
            TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + n, map.data() + 2 * n);
        }
        std::vector<uint8_t> data = s.rows;
        data.resize(size_t(rowBytes * s.height));
        if (s.tileSize) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, s.tileSize);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, s.tileSize);
            const uint64_t tileRow =
                (uint64_t(s.tileSize) * s.samplesPerPixel * s.bitsPerSample) / 8;
            std::vector<uint8_t> tile(size_t(tileRow * s.tileSize));
            for (uint32_t y0 = 0; y0 < s.height; y0 += s.tileSize)
                for (uint32_t x0 = 0; x0 < s.width; x0 += s.tileSize) {
                    std::fill(tile.begin(), tile.end(), 0);
                    const uint64_t start = uint64_t(x0) * s.samplesPerPixel * s.bitsPerSample / 8;
                    const uint64_t n = std::min<uint64_t>(tileRow, rowBytes - start);
                    for (uint32_t r = 0; r < s.tileSize && y0 + r < s.height; ++r)
                        std::memcpy(tile.data() + r * tileRow,
                                    data.data() + (y0 + r) * rowBytes + start, size_t(n));
                    TIFFWriteTile(tif, tile.data(), x0, y0, 0, 0);
                }
        } else {
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                         s.rowsPerStrip ? s.rowsPerStrip : TIFFDefaultStripSize(tif, 0));
            for (uint32_t y = 0; y < s.height; ++y)
                TIFFWriteScanline(tif, data.data() + y * rowBytes, y, 0);
        }
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    std::ifstream in(path, std::ios::binary);
    Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(path);
    return bytes;
}

namespace {

uint16_t Get16(const Bytes& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}
uint32_t Get32(const Bytes& b, size_t at) {
    return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24);
}
void Put16(Bytes& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// The directory entry of `tag` in a little-endian classic TIFF's first directory.
size_t FindEntry(const Bytes& b, uint16_t tag) {
    const size_t ifd = Get32(b, 4);
    const uint16_t count = Get16(b, ifd);
    for (uint16_t i = 0; i < count; ++i) {
        const size_t e = ifd + 2 + size_t(i) * 12;
        if (Get16(b, e) == tag) return e;
    }
    throw std::runtime_error("tag not found");
}

} // namespace

void PatchTiffTag(Bytes& b, uint16_t tag, uint32_t value) {
    const size_t e = FindEntry(b, tag);
    Put16(b, e + 2, TIFF_LONG);
    Put32(b, e + 4, 1);
    Put32(b, e + 8, value);
}

void PatchTiffArray(Bytes& b, uint16_t tag, uint32_t index, uint32_t value) {
    const size_t e = FindEntry(b, tag);
    if (Get16(b, e + 2) != TIFF_LONG) throw std::runtime_error("not a LONG array");
    const uint32_t n = Get32(b, e + 4);
    const size_t at = n == 1 ? e + 8 : Get32(b, e + 8);
    Put32(b, at + 4 * size_t(index), value);
}

void RenameTiffTag(Bytes& b, uint16_t tag, uint16_t newTag) {
    Put16(b, FindEntry(b, tag), newTag);
}

// ---- helpers

std::filesystem::path TempFile(const std::string& name, const Bytes& bytes) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("zorvane-jgt-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

Bytes Cut(const Bytes& bytes, size_t n) {
    return Bytes(bytes.begin(), bytes.begin() + n);
}

} // namespace jgt
