// P2BM and P2BI: uncoded rows, ceil(depth / 8) bytes per pixel.
#include "plugins/ifpic2/pic2_blocks.h"
#include "plugins/spi.h"

#include <vector>

namespace pic2 {

int32_t DecodeRawBlock(const Block& block, int componentBits, const RowSink& sink) {
    const int depth = 3 * componentBits;
    const size_t bytesPerPixel = size_t(depth + 7) / 8;
    if (block.data.size() / bytesPerPixel / block.width < block.height) return SPI_BROKEN_DATA;
    const uint32_t mask = (1u << depth) - 1;
    const bool littleEndian = block.coding == Coding::RawLittleEndian;
    std::vector<uint32_t> row(block.width);
    const uint8_t* p = block.data.data();
    for (uint32_t y = 0; y < block.height; ++y) {
        for (uint32_t& value : row) {
            uint32_t v;
            if (bytesPerPixel == 3) {
                v = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            } else if (bytesPerPixel == 2) {
                v = littleEndian ? uint32_t(p[1]) << 8 | p[0] : uint32_t(p[0]) << 8 | p[1];
                if (componentBits == 5) { // an X68000 word G5 R5 B5 I
                    const uint32_t w = v >> 1;
                    v = ((w >> 5) & 31) << 10 | ((w >> 10) & 31) << 5 | (w & 31);
                }
            } else {
                v = p[0];
            }
            value = v & mask;
            p += bytesPerPixel;
        }
        sink(y, row.data());
    }
    return SPI_OK;
}

} // namespace pic2
