#include "plugins/ifpi/pi_header.h"

#include <algorithm>

#include "plugins/common/spi_dib.h"
#include "plugins/spi.h"

namespace pi {

namespace {

uint16_t Be16(const uint8_t* p) {
    return uint16_t(p[0] << 8 | p[1]);
}

constexpr size_t kFixedFieldBytes = 10; // mode, two aspect bytes, depth, machine, data length
constexpr size_t kSizeBytes = 4;

} // namespace

bool HasSignature(std::span<const uint8_t> head) {
    return head.size() >= 2 && head[0] == 'P' && head[1] == 'i';
}

bool LooksLikePi(std::span<const uint8_t> head) {
    Header h;
    const int32_t rc = ReadHeader(head, h);
    return rc == SPI_OK || rc == SPI_FILE_READ_ERROR;
}

int32_t ReadHeader(std::span<const uint8_t> file, Header& header) {
    if (!HasSignature(file)) return SPI_NOT_SUPPORTED;
    // Two letters are a weak signature: without the end of the comment this is no Pi file.
    const auto commentEnd = std::find(file.begin() + 2, file.end(), kCommentEnd);
    if (commentEnd == file.end()) return SPI_NOT_SUPPORTED;
    const auto hiddenEnd = std::find(commentEnd + 1, file.end(), uint8_t(0));
    if (hiddenEnd == file.end()) return SPI_FILE_READ_ERROR;
    size_t at = size_t(hiddenEnd - file.begin()) + 1;
    const size_t size = file.size();
    if (size - at < kFixedFieldBytes) return SPI_FILE_READ_ERROR;
    Header h;
    const uint8_t* p = file.data() + at;
    h.mode = p[0];
    h.aspectFirst = p[1];
    h.aspectSecond = p[2];
    h.depth = p[3];
    const size_t machineData = Be16(p + 8);
    if (h.depth != 4 && h.depth != 8) return SPI_BROKEN_DATA;
    at += kFixedFieldBytes;
    if (size - at < machineData + kSizeBytes) return SPI_FILE_READ_ERROR;
    at += machineData;
    h.width = Be16(file.data() + at);
    h.height = Be16(file.data() + at + 2);
    at += kSizeBytes;
    // Width 1 would make the up-right copy its own source.
    if (h.width < 2 || h.height < 1) return SPI_BROKEN_DATA;
    if (const int32_t rc = spi::CheckDimensions(h.width, h.height, h.depth); rc != SPI_OK)
        return rc;
    if (h.hasPalette()) {
        h.paletteOffset = at;
        if (size - at < h.colours() * 3) return SPI_FILE_READ_ERROR;
        at += h.colours() * 3;
    }
    if (at >= size) return SPI_FILE_READ_ERROR; // no picture data at all
    h.dataOffset = at;
    header = h;
    return SPI_OK;
}

} // namespace pi
