#include "plugins/iftiff/tiff_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "plugins/common/spi_limits.h"
#include "plugins/spi.h"

namespace iftiff {

namespace {

constexpr uint16_t kClassicMagic = 42;
constexpr uint16_t kBigMagic = 43;
constexpr size_t kClassicHeaderBytes = 8;
constexpr size_t kBigHeaderBytes = 16;
constexpr uint64_t kClassicEntryBytes = 12;
constexpr uint64_t kBigEntryBytes = 20;
// libtiff's own buffers (one strip or tile, tables) stay within the bitmap limit.
constexpr tmsize_t kMaxLibraryAllocation = tmsize_t(spi::kMaxBitmapBytes);

uint64_t ReadUnsigned(const uint8_t* p, size_t bytes, bool bigEndian) {
    uint64_t v = 0;
    for (size_t i = 0; i < bytes; ++i) {
        const size_t k = bigEndian ? i : bytes - 1 - i;
        v = (v << 8) | p[k];
    }
    return v;
}

int OnError(TIFF*, void* user, const char*, const char*, va_list) {
    static_cast<Diagnostics*>(user)->errors++;
    return 1; // handled: libtiff's global handler is not called
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

tmsize_t Read(thandle_t h, void* buffer, tmsize_t wanted) {
    auto* f = static_cast<MemoryFile*>(h);
    if (wanted <= 0 || f->position >= f->bytes.size()) return 0;
    const uint64_t n = std::min<uint64_t>(uint64_t(wanted), f->bytes.size() - f->position);
    std::memcpy(buffer, f->bytes.data() + f->position, size_t(n));
    f->position += n;
    return tmsize_t(n);
}

tmsize_t Write(thandle_t, void*, tmsize_t) {
    return 0;
}

toff_t Seek(thandle_t h, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = f->position;
    else if (whence == SEEK_END)
        base = f->bytes.size();
    else if (whence != SEEK_SET)
        return toff_t(-1);
    // Offsets are unsigned; a negative relative move arrives as a huge value and wraps back.
    f->position = base + offset;
    return f->position;
}

int Close(thandle_t) {
    return 0;
}

toff_t Size(thandle_t h) {
    return static_cast<MemoryFile*>(h)->bytes.size();
}

int Map(thandle_t h, void** base, toff_t* size) {
    auto* f = static_cast<MemoryFile*>(h);
    // Read-only use: libtiff does not write through the mapping of a file opened for reading.
    *base = const_cast<uint8_t*>(f->bytes.data());
    *size = f->bytes.size();
    return 1;
}

void Unmap(thandle_t, void*, toff_t) {}

bool IsPrefix(Bytes bytes, const char* signature) {
    return std::memcmp(bytes.data(), signature, std::min<size_t>(bytes.size(), 2)) == 0;
}

} // namespace

int32_t CheckHeader(Bytes bytes) {
    if (bytes.empty()) return SPI_FILE_READ_ERROR;
    if (!IsPrefix(bytes, "II") && !IsPrefix(bytes, "MM")) return SPI_NOT_SUPPORTED;
    if (bytes.size() < 4) return SPI_FILE_READ_ERROR;
    const bool bigEndian = bytes[0] == 'M';
    const auto magic = uint16_t(ReadUnsigned(bytes.data() + 2, 2, bigEndian));
    if (magic != kClassicMagic && magic != kBigMagic) return SPI_NOT_SUPPORTED;
    const bool big = magic == kBigMagic;
    const size_t headerBytes = big ? kBigHeaderBytes : kClassicHeaderBytes;
    if (bytes.size() < headerBytes) return SPI_FILE_READ_ERROR;
    const uint64_t offset = ReadUnsigned(bytes.data() + (big ? 8 : 4), big ? 8 : 4, bigEndian);
    const size_t countBytes = big ? 8 : 2;
    if (offset < headerBytes) return SPI_BROKEN_DATA;
    if (offset > bytes.size() || bytes.size() - offset < countBytes) return SPI_FILE_READ_ERROR;
    const uint64_t count = ReadUnsigned(bytes.data() + offset, countBytes, bigEndian);
    const uint64_t entryBytes = big ? kBigEntryBytes : kClassicEntryBytes;
    const uint64_t room = (bytes.size() - offset - countBytes) / entryBytes;
    if (count > room) return SPI_FILE_READ_ERROR;
    return SPI_OK;
}

int32_t TiffStream::Open(Bytes bytes) {
    if (const int32_t rc = CheckHeader(bytes); rc != SPI_OK) return rc;
    file_ = MemoryFile{bytes, 0};
    diagnostics_ = Diagnostics{};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return SPI_NO_MEMORY;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxLibraryAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &diagnostics_);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &diagnostics_);
    tif_.reset(TIFFClientOpenExt("memory", "r", &file_, Read, Write, Seek, Close, Size, Map, Unmap,
                                 options));
    TIFFOpenOptionsFree(options);
    return tif_ ? SPI_OK : SPI_BROKEN_DATA;
}

} // namespace iftiff
