#include "plugins/ifmag/mag_header.h"

#include <algorithm>
#include <cstring>

#include "plugins/common/spi_dib.h"
#include "plugins/spi.h"

namespace mag {

namespace {

uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

constexpr uint64_t kFlagAreaSlack = 2; // the flag area may hold as little as half the bits

// MSX modes whose pixels are YJK colour rather than palette indices.
bool IsMsxColourMode(const Header& h) {
    const uint8_t mode = h.machineFlags & 0xF8;
    return h.machine == kMachineMsx && (mode == 0x20 || mode == 0x40 || mode == 0x60);
}

} // namespace

bool HasSignature(std::span<const uint8_t> head) {
    return head.size() >= kSignatureBytes &&
           std::memcmp(head.data(), "MAKI02  ", kSignatureBytes) == 0;
}

int32_t ReadHeader(std::span<const uint8_t> file, Header& header) {
    if (!HasSignature(file)) return SPI_NOT_SUPPORTED;
    // The header starts at the first zero byte after the end of the text area; some savers put
    // padding between the two.
    const auto textEnd = std::find(file.begin() + kSignatureBytes, file.end(), kTextEnd);
    if (textEnd == file.end()) return SPI_FILE_READ_ERROR;
    const auto start = std::find(textEnd + 1, file.end(), uint8_t(0));
    if (start == file.end()) return SPI_FILE_READ_ERROR;
    Header h;
    h.start = size_t(start - file.begin());
    if (file.size() - h.start < kHeaderBytes) return SPI_FILE_READ_ERROR;
    const uint8_t* p = file.data() + h.start;
    h.machine = p[1];
    h.machineFlags = p[2];
    h.screenMode = p[3];
    h.x1 = Le16(p + 4);
    h.y1 = Le16(p + 6);
    h.x2 = Le16(p + 8);
    h.y2 = Le16(p + 10);
    h.flagAOffset = Le32(p + 12);
    h.flagBOffset = Le32(p + 16);
    h.flagBSize = Le32(p + 20);
    h.pixelOffset = Le32(p + 24);
    h.pixelSize = Le32(p + 28);
    if (IsMsxColourMode(h)) return SPI_NOT_SUPPORTED;
    if (h.x2 < h.x1 || h.y2 < h.y1) return SPI_BROKEN_DATA;
    const uint64_t size = file.size();
    if (h.paletteOffset() + uint64_t(h.paletteEntries()) * 3 > size) return SPI_FILE_READ_ERROR;
    // Each stream must at least begin inside the file; one cut short reads as zeros.
    if (h.start + uint64_t(h.flagAOffset) >= size) return SPI_FILE_READ_ERROR;
    if (h.flagBSize && h.start + uint64_t(h.flagBOffset) >= size) return SPI_FILE_READ_ERROR;
    if (h.pixelSize && h.start + uint64_t(h.pixelOffset) >= size) return SPI_FILE_READ_ERROR;
    if (const int32_t rc = spi::CheckDimensions(h.width(), h.height(), h.bitsPerPixel());
        rc != SPI_OK)
        return rc;
    // Truncation does not shrink the declared area, so only a header that contradicts itself
    // fails here. Some encoders declare a few rows' worth too little; those still decode.
    const uint64_t flagBitsNeeded = uint64_t(h.flagsPerRow()) * uint64_t(h.height());
    if (h.flagASize(size) * 8 * kFlagAreaSlack < flagBitsNeeded) return SPI_BROKEN_DATA;
    // A file cut inside its flags holds too little of the picture to show.
    const uint64_t flagBytesPresent =
        std::min<uint64_t>(h.flagASize(size), size - (h.start + uint64_t(h.flagAOffset)));
    if (flagBytesPresent * 8 * kFlagAreaSlack < flagBitsNeeded) return SPI_FILE_READ_ERROR;
    header = h;
    return SPI_OK;
}

} // namespace mag
