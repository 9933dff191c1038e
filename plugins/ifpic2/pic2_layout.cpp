#include "plugins/ifpic2/pic2_layout.h"

#include <algorithm>

#include "plugins/common/spi_dib.h"
#include "plugins/common/spi_limits.h"
#include "plugins/spi.h"

namespace pic2 {

namespace {

constexpr uint8_t kMagic[4] = {'P', '2', 'D', 'T'};
constexpr uint16_t kHasPalette = 1;
constexpr uint16_t kHasTransparent = 1;
constexpr uint32_t kMaxPaletteEntries = 256;
constexpr int kMaxDepth = 24;
// Blocks may overlap, but decoding many times the largest picture is an attack, not a file.
constexpr uint64_t kMaxBlockPixels = spi::kMaxPixels;
constexpr size_t kMaxBlocks = 1 << 16;

uint32_t Be16(Bytes b, size_t at) {
    return uint32_t(b[at]) << 8 | b[at + 1];
}
uint32_t Be32(Bytes b, size_t at) {
    return Be16(b, at) << 16 | Be16(b, at + 2);
}

bool SupportedDepth(uint32_t depth) {
    return depth >= 3 && depth <= kMaxDepth && depth % 3 == 0;
}

bool HasMagic(Bytes b) {
    return b.size() >= 4 && std::equal(kMagic, kMagic + 4, b.begin());
}

bool KnownCoding(Bytes id, Coding& coding) {
    const std::string_view name(reinterpret_cast<const char*>(id.data()), 4);
    if (name == "P2SS")
        coding = Coding::Arithmetic;
    else if (name == "P2SF")
        coding = Coding::Fast;
    else if (name == "P2BM")
        coding = Coding::RawBigEndian;
    else if (name == "P2BI")
        coding = Coding::RawLittleEndian;
    else
        return false;
    return true;
}

} // namespace

bool LooksLikePic2(Bytes head) {
    if (!HasMagic(head)) return false;
    return head.size() < kFileHeaderBytes || SupportedDepth(Be16(head, 110));
}

int32_t ParseLayout(Bytes file, Layout& layout) {
    if (!HasMagic(file)) return SPI_NOT_SUPPORTED;
    if (file.size() < kFileHeaderBytes) return SPI_FILE_READ_ERROR;
    const uint32_t depth = Be16(file, 110);
    if (!SupportedDepth(depth)) return SPI_NOT_SUPPORTED;
    layout = Layout{};
    layout.depth = int(depth);
    layout.componentBits = int(depth / 3);
    layout.xAspect = uint16_t(Be16(file, 112));
    layout.yAspect = uint16_t(Be16(file, 114));
    uint64_t canvasWidth = Be16(file, 116), canvasHeight = Be16(file, 118);

    const uint64_t firstBlock = Be32(file, 106);
    if (firstBlock < kFileHeaderBytes) return SPI_BROKEN_DATA;
    if (Be16(file, 98) & kHasPalette) { // 8-bit entries; direct-colour pictures do not use them
        if (file.size() < kFileHeaderBytes + 3) return SPI_FILE_READ_ERROR;
        const uint64_t entries = Be16(file, kFileHeaderBytes + 1);
        if (entries > kMaxPaletteEntries) return SPI_BROKEN_DATA;
        if (kFileHeaderBytes + 3 + 3 * entries > firstBlock) return SPI_BROKEN_DATA;
    }
    if (firstBlock > file.size()) return SPI_FILE_READ_ERROR;

    uint64_t blockPixels = 0;
    for (size_t at = size_t(firstBlock);;) {
        // Only the terminator ends the blocks: a file cut at a block's end is still cut.
        if (at >= file.size()) return SPI_FILE_READ_ERROR;
        const Bytes rest = file.substr(at);
        if (rest[0] == 0) break;
        if (rest.size() < kBlockHeaderBytes) return SPI_FILE_READ_ERROR;
        const uint64_t size = Be32(rest, 4);
        if (size < kBlockHeaderBytes) return SPI_BROKEN_DATA; // would not advance
        if (size > rest.size()) return SPI_FILE_READ_ERROR;
        at += size_t(size);
        Block block;
        if (!KnownCoding(rest.substr(0, 4), block.coding)) continue; // skipped by its size
        block.data = rest.substr(kBlockHeaderBytes, size_t(size) - kBlockHeaderBytes);
        block.hasTransparent = Be16(rest, 8) & kHasTransparent;
        block.width = Be16(rest, 10);
        block.height = Be16(rest, 12);
        block.left = int16_t(Be16(rest, 14));
        block.top = int16_t(Be16(rest, 16));
        block.transparent = Be32(rest, 18);
        if (block.width == 0 || block.height == 0) return SPI_BROKEN_DATA;
        blockPixels += uint64_t(block.width) * block.height;
        if (blockPixels > kMaxBlockPixels || layout.blocks.size() >= kMaxBlocks)
            return SPI_NO_MEMORY;
        canvasWidth = std::max<int64_t>(int64_t(canvasWidth), int64_t(block.left) + block.width);
        canvasHeight = std::max<int64_t>(int64_t(canvasHeight), int64_t(block.top) + block.height);
        layout.blocks.push_back(block);
    }
    if (layout.blocks.empty()) return SPI_BROKEN_DATA;
    if (const int32_t rc = spi::CheckDimensions(int64_t(canvasWidth), int64_t(canvasHeight), 24);
        rc != SPI_OK)
        return rc;
    layout.canvasWidth = uint32_t(canvasWidth);
    layout.canvasHeight = uint32_t(canvasHeight);
    return SPI_OK;
}

} // namespace pic2
