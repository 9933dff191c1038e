// Colour TIFF pictures (and any layout the indexed reader does not take) through libtiff's RGBA
// reader, which handles every photometric, depth, planar layout and orientation it knows.
#include <cstdlib>
#include <memory>

#include "plugins/common/spi_limits.h"
#include "plugins/iftiff/tiff_read.h"

namespace iftiff {

namespace {

constexpr int kColourBits = 24;
constexpr int kRasterBits = 32;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// libtiff writes every pixel it reads with its alpha (255 when opaque); the raster starts zeroed.
bool AnyPixelWritten(const uint32_t* raster, size_t pixels) {
    for (size_t i = 0; i < pixels; ++i)
        if (raster[i] != 0) return true;
    return false;
}

} // namespace

int32_t ReadColour(const TiffStream& stream, const Layout& l, spi::Progress& progress,
                   spi::DibOutput& out) {
    TIFF* tif = stream.get();
    char message[1024];
    if (!TIFFRGBAImageOK(tif, message)) return SPI_BROKEN_DATA;
    // libtiff's raster holds four bytes a pixel beside the DIB.
    if (const int32_t rc = spi::CheckDimensions(l.width, l.height, kRasterBits); rc != SPI_OK)
        return rc;
    if (const int32_t rc = out.Allocate(int32_t(l.width), int32_t(l.height), kColourBits, 0);
        rc != SPI_OK)
        return rc;
    // Zeroed lazily by the system: rows that libtiff cannot read stay black without the whole
    // raster being touched first.
    std::unique_ptr<uint32_t, FreeDeleter> raster(
        static_cast<uint32_t*>(std::calloc(size_t(l.width) * l.height, sizeof(uint32_t))));
    if (!raster) return SPI_NO_MEMORY;
    // Stop at the first unreadable strip or tile: going on would repeat the last one read in
    // its place. What was read before stays.
    if (!TIFFReadRGBAImageOriented(tif, l.width, l.height, raster.get(), ORIENTATION_BOTLEFT, 1) &&
        !AnyPixelWritten(raster.get(), size_t(l.width) * l.height))
        return SPI_BROKEN_DATA;
    // Both are stored bottom row first.
    for (uint32_t y = 0; y < l.height; ++y) {
        const uint32_t* src = raster.get() + size_t(y) * l.width;
        uint8_t* dst = out.bits() + out.stride() * y;
        for (uint32_t x = 0; x < l.width; ++x, dst += 3) {
            const uint32_t p = src[x];
            dst[0] = uint8_t(TIFFGetB(p));
            dst[1] = uint8_t(TIFFGetG(p));
            dst[2] = uint8_t(TIFFGetR(p));
        }
    }
    if (!progress.Report(int32_t(l.height), int32_t(l.height))) return SPI_ABORTED;
    return SPI_OK;
}

} // namespace iftiff
