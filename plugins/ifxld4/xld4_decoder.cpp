#include <algorithm>
#include <cstring>

#include "plugins/common/indexed_rows.h"
#include "plugins/ifxld4/xld4_format.h"

namespace xld4 {

namespace {

uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

constexpr uint8_t kLevelScale = 17; // 4-bit level to 8 bits

struct Chunk {
    std::span<const uint8_t> data; // as much of it as the file holds
    size_t pixels = 0;
    size_t next = 0; // where the following chunk begins
};

// False when the file ends inside the chunk's header.
bool ChunkAt(std::span<const uint8_t> file, size_t at, Chunk& chunk) {
    if (at > file.size() || file.size() - at < kChunkHeaderBytes) return false;
    const uint8_t* p = file.data() + at;
    const size_t length = Le16(p);
    chunk.pixels = size_t(Le16(p + 4)) * 2;
    const size_t begin = at + kChunkHeaderBytes;
    chunk.data = file.subspan(begin, std::min(length, file.size() - begin));
    chunk.next = begin + length;
    return true;
}

// A run that the previous chunk's pixel count cut off goes on in the next chunk.
struct PendingRun {
    size_t count = 0;
    uint8_t value = 0;
};

// Turns one chunk's symbols into `quota` pixels: a symbol below 16 is one pixel; 16, then
// optionally 0 and a new run value, then two digits of base 17 repeat the run value.
void FillPixels(const std::vector<uint8_t>& symbols, uint8_t* dst, size_t quota, PendingRun& run) {
    size_t n = std::min(run.count, quota);
    std::memset(dst, run.value, n);
    run.count -= n;
    uint8_t runValue = 0;
    size_t s = 0;
    auto take = [&](uint8_t& symbol) {
        if (s >= symbols.size()) return false;
        symbol = symbols[s++];
        return true;
    };
    while (n < quota) {
        uint8_t symbol, high, low;
        if (!take(symbol)) return;
        if (symbol < kRunSymbol) {
            dst[n++] = symbol;
            continue;
        }
        if (!take(high)) return;
        if (high == 0) {
            if (!take(runValue) || runValue >= kRunSymbol) return;
            if (!take(high)) return;
        }
        if (!take(low)) return;
        const size_t count = size_t(high) * kRunBase + low;
        const size_t now = std::min(count, quota - n);
        std::memset(dst + n, runValue, now);
        n += now;
        if (count > now) run = PendingRun{count - now, runValue};
    }
}

void FillPalette(const std::vector<uint8_t>& symbols, DibRgbQuad* palette) {
    auto level = [&](size_t k) {
        const size_t at = 2 * k + 1;
        return uint8_t(at < symbols.size() ? std::min<uint8_t>(symbols[at], 15) * kLevelScale : 0);
    };
    for (unsigned i = 0; i < kColours; ++i)
        palette[PaletteSlot(i)] = spi::RgbEntry(level(3 * i), level(3 * i + 1), level(3 * i + 2));
}

} // namespace

bool HasSignature(std::span<const uint8_t> head) {
    if (head.size() < kHeaderBytes) return false;
    if (std::memcmp(head.data() + kSignatureOffset, "MAJYO", 5) != 0) return false;
    // The only decoder known to read these files takes them on this condition alone.
    return head[2] == 2 || (head[1] <= 1 && head[3] <= 1);
}

int32_t Decode(std::span<const uint8_t> file, spi::Progress progress, spi::DibOutput& out) {
    if (!HasSignature(file)) return SPI_NOT_SUPPORTED;
    Chunk chunk;
    if (!ChunkAt(file, kHeaderBytes, chunk)) return SPI_FILE_READ_ERROR;
    LzwDecoder lzw;
    const std::vector<uint8_t> paletteSymbols = lzw.Symbols(chunk.data);
    if (!ChunkAt(file, chunk.next, chunk)) return SPI_FILE_READ_ERROR;

    if (const int32_t rc = out.Allocate(kWidth, kHeight, 4, kColours); rc != SPI_OK) return rc;
    FillPalette(paletteSymbols, out.palette());
    std::vector<uint8_t> pixels(kPixels, 0);
    PendingRun run;
    size_t done = 0;
    do {
        const size_t quota = std::min(chunk.pixels, kPixels - done);
        FillPixels(lzw.Symbols(chunk.data), pixels.data() + done, quota, run);
        done += quota;
        if (!progress.Report(int32_t(done / kWidth), kHeight)) return SPI_ABORTED;
    } while (done < kPixels && ChunkAt(file, chunk.next, chunk));

    for (int32_t y = 0; y < kHeight; ++y)
        spi::PackIndexRow(pixels.data() + size_t(y) * kWidth, kWidth, 4, out.row(y));
    return SPI_OK;
}

} // namespace xld4
