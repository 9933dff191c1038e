// The XLD4 (.Q4) picture: a 16-byte header, then chunks of LZW-coded symbols, the first holding
// the palette and the others run-length coded pixels of a fixed 640 x 400 screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_entry.h"

namespace xld4 {

inline constexpr int32_t kWidth = 640;
inline constexpr int32_t kHeight = 400;
inline constexpr size_t kPixels = size_t(kWidth) * kHeight;
inline constexpr size_t kHeaderBytes = 16;
inline constexpr size_t kSignatureOffset = 11; // "MAJYO"
inline constexpr size_t kChunkHeaderBytes = 6; // data length, unknown, pixels / 2
inline constexpr uint32_t kColours = 16;

// Stage-one symbols: 0 to 15 are pixel values, 16 starts a run.
inline constexpr uint8_t kRunSymbol = 16;
inline constexpr size_t kRunBase = 17; // run counts are two digits of base 17
inline constexpr uint32_t kFirstCode = 17;
inline constexpr uint32_t kCodeLimit = 16384; // dictionary entries of one chunk
inline constexpr unsigned kFirstCodeBits = 3;
inline constexpr unsigned kMaxCodeBits = 15;
inline constexpr size_t kMaxChunkSymbols = 65536; // stage-one output of one chunk

// Whether the first bytes are an XLD4 header.
bool HasSignature(std::span<const uint8_t> head);

// Stage one: the symbols of one chunk's data. Decoding ends at the end code, at an invalid code,
// at the end of the data, or when the dictionary or the output is full. The buffers are kept from
// chunk to chunk.
class LzwDecoder {
public:
    LzwDecoder();
    const std::vector<uint8_t>& Symbols(std::span<const uint8_t> data);

private:
    std::vector<uint8_t> out_;
    std::vector<uint32_t> stepStart_;
};

// Pixel value of palette entry i of the file.
inline uint8_t PaletteSlot(unsigned i) {
    return uint8_t((i & 8) | (i & 1) << 2 | (i >> 1 & 3));
}

// Decodes a whole file: SPI_NOT_SUPPORTED for another format, SPI_FILE_READ_ERROR when the file
// ends before the first pixel chunk, SPI_ABORTED when `progress` asks to stop. Pixels the file
// does not reach (cut short, or a chunk that codes fewer than it promises) are colour 0.
int32_t Decode(std::span<const uint8_t> file, spi::Progress progress, spi::DibOutput& out);

} // namespace xld4
