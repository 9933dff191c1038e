// The file header of a PIC2 picture and the directory of its blocks.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace pic2 {

using Bytes = std::basic_string_view<uint8_t>;

inline constexpr size_t kFileHeaderBytes = 124;
inline constexpr size_t kBlockHeaderBytes = 26;

enum class Coding { Arithmetic, Fast, RawBigEndian, RawLittleEndian };

struct Block {
    Coding coding = Coding::RawBigEndian;
    Bytes data; // after the block header, up to the block's end
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t left = 0; // placement on the canvas, may be negative
    int32_t top = 0;
    bool hasTransparent = false;
    uint32_t transparent = 0; // a pixel value left undrawn
};

struct Layout {
    int depth = 0;         // bits per pixel, three equal components
    int componentBits = 0; // depth / 3
    uint16_t xAspect = 0;  // pixel shape width : height; 0 when not given
    uint16_t yAspect = 0;
    uint32_t canvasWidth = 0; // the header's size, grown to hold every block
    uint32_t canvasHeight = 0;
    std::vector<Block> blocks;
};

// Whether the bytes start like a PIC2 file this decoder reads.
bool LooksLikePic2(Bytes head);

// Parses the header and walks the blocks. SPI_NOT_SUPPORTED for another format or a depth that is
// not three equal components; SPI_FILE_READ_ERROR when the file ends inside the header or a block;
// SPI_BROKEN_DATA for sizes and offsets that cannot be; SPI_NO_MEMORY beyond the plug-in limits.
int32_t ParseLayout(Bytes file, Layout& layout);

} // namespace pic2
