#include "plugins/iftiff/tiff_decoder.h"

#include <cmath>

#include "plugins/common/spi_density.h"
#include "plugins/iftiff/tiff_layout.h"
#include "plugins/iftiff/tiff_read.h"
#include "plugins/iftiff/tiff_stream.h"

namespace iftiff {

namespace {

// Resolutions are rationals; their ratio is kept to this many fractional steps.
constexpr double kResolutionSteps = 1000.0;
constexpr double kMaxResolution = 1e9;

spi::Density DensityOf(const Layout& l) {
    if (!(l.xResolution > 0) || !(l.yResolution > 0) || l.xResolution > kMaxResolution ||
        l.yResolution > kMaxResolution)
        return {};
    return spi::ReducedDensity(uint64_t(std::llround(l.xResolution * kResolutionSteps)),
                               uint64_t(std::llround(l.yResolution * kResolutionSteps)));
}

int32_t OpenFirstPage(TiffStream& stream, Bytes bytes, Layout& layout) {
    if (const int32_t rc = stream.Open(bytes); rc != SPI_OK) return rc;
    if (const int32_t rc = ReadLayout(stream.get(), layout); rc != SPI_OK) return rc;
    return spi::CheckDimensions(layout.width, layout.height, layout.outputBits);
}

} // namespace

int32_t ReadTiffInfo(Bytes bytes, SpiPictureInfo& info) {
    TiffStream stream;
    Layout layout;
    if (const int32_t rc = OpenFirstPage(stream, bytes, layout); rc != SPI_OK) return rc;
    info = SpiPictureInfo{};
    info.width = int32_t(layout.width);
    info.height = int32_t(layout.height);
    const spi::Density d = DensityOf(layout);
    info.xDensity = d.x;
    info.yDensity = d.y;
    info.bitsPerPixel = int16_t(layout.outputBits);
    return SPI_OK;
}

int32_t DecodeTiff(Bytes bytes, spi::Progress progress, spi::DibOutput& out) {
    TiffStream stream;
    Layout layout;
    if (const int32_t rc = OpenFirstPage(stream, bytes, layout); rc != SPI_OK) return rc;
    return layout.route == Route::Indexed ? ReadIndexed(stream, layout, progress, out)
                                          : ReadColour(stream, layout, progress, out);
}

} // namespace iftiff
