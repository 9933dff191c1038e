#include "bench_reference.h"

#include <cstddef>
#include <cstdio>

#include <gif_lib.h>
#include <jpeglib.h>
#include <tiffio.h>

#include <fstream>
#include <stdexcept>
#include <vector>

namespace bench {

namespace {

// One read of the whole file, as the plug-ins do.
std::vector<uint8_t> ReadFile(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes(std::filesystem::file_size(path));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

uint64_t Sum(const uint8_t* p, size_t n) {
    uint64_t s = 0;
    for (size_t i = 0; i < n; i += 97)
        s += p[i];
    return s;
}

} // namespace

uint64_t LibjpegDecode(const std::filesystem::path& path, int scaleDenominator) {
    const std::vector<uint8_t> bytes = ReadFile(path);
    jpeg_decompress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, bytes.data(), bytes.size());
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_EXT_BGR;
    c.scale_num = 1;
    c.scale_denom = unsigned(scaleDenominator);
    jpeg_start_decompress(&c);
    const size_t stride = (size_t(c.output_width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> image(stride * c.output_height);
    while (c.output_scanline < c.output_height) {
        JSAMPROW row = image.data() + stride * (c.output_height - 1 - c.output_scanline);
        jpeg_read_scanlines(&c, &row, 1);
    }
    jpeg_destroy_decompress(&c);
    return Sum(image.data(), image.size());
}

uint64_t GiflibDecode(const std::filesystem::path& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) throw std::runtime_error("giflib cannot open " + path.string());
    // The first frame record by record, as gif2rgb's loop does.
    std::vector<GifPixelType> image;
    GifRecordType type;
    while (DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
        if (type == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* ext;
            DGifGetExtension(gif, &code, &ext);
            while (ext)
                DGifGetExtensionNext(gif, &ext);
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            DGifGetImageDesc(gif);
            const int w = gif->Image.Width, h = gif->Image.Height;
            image.resize(size_t(w) * size_t(h));
            for (int y = 0; y < h; ++y)
                DGifGetLine(gif, image.data() + size_t(y) * size_t(w), w);
            break;
        }
    }
    DGifCloseFile(gif, &error);
    return Sum(image.data(), image.size());
}

uint64_t LibtiffDecode(const std::filesystem::path& path) {
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (!tif) throw std::runtime_error("libtiff cannot open " + path.string());
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    std::vector<uint32_t> raster(size_t(w) * h);
    TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_BOTLEFT, 0);
    TIFFClose(tif);
    return Sum(reinterpret_cast<const uint8_t*>(raster.data()), raster.size() * 4);
}

} // namespace bench
