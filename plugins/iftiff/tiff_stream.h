// A TIFF read from bytes in memory through libtiff's client interface, with error and warning
// handlers of its own: nothing is printed, errors are counted.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include <tiffio.h>

namespace iftiff {

using Bytes = std::basic_string_view<uint8_t>;

// What libtiff reported for one handle.
struct Diagnostics {
    int errors = 0;
};

struct MemoryFile {
    Bytes bytes;
    uint64_t position = 0;
};

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// An open TIFF. The bytes must outlive it; the stream must not move while open.
class TiffStream {
public:
    TiffStream() = default;
    TiffStream(const TiffStream&) = delete;
    TiffStream& operator=(const TiffStream&) = delete;

    // SPI_OK with the first directory current, SPI_NOT_SUPPORTED when the bytes are not a TIFF,
    // SPI_FILE_READ_ERROR when they end before the header or the first directory,
    // SPI_BROKEN_DATA when libtiff cannot read that directory.
    int32_t Open(Bytes bytes);

    TIFF* get() const { return tif_.get(); }
    const Diagnostics& diagnostics() const { return diagnostics_; }

private:
    MemoryFile file_;
    Diagnostics diagnostics_;
    TiffHandle tif_;
};

// The part of the checks above that needs no libtiff: the header and the first directory's
// extent. SPI_OK when both lie within the bytes.
int32_t CheckHeader(Bytes bytes);

} // namespace iftiff
