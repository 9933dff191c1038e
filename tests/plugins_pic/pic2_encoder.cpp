#include "tests/plugins_pic/pic2_encoder.h"

#include <cstring>
#include <random>

#include "tests/support/bit_writer.h"

namespace pictest {

using testsupport::PutBe16;
using testsupport::PutBe32;

std::vector<uint8_t> EncodeRawBlock(const Pic2Block& block, int cb, uint32_t seed) {
    std::mt19937 random(seed);
    const int depth = 3 * cb;
    const int bytes = (depth + 7) / 8;
    std::vector<uint8_t> out;
    for (uint32_t v : block.values) {
        if (bytes == 3) {
            out.push_back(uint8_t(v >> 16));
            out.push_back(uint8_t(v >> 8));
            out.push_back(uint8_t(v));
            continue;
        }
        if (bytes == 1) {
            out.push_back(uint8_t(v));
            continue;
        }
        uint32_t word = v;
        if (cb == 5) { // X68000 word: G R B and an intensity bit the reader drops
            const uint32_t r = v >> 10, g = (v >> 5) & 31, b = v & 31;
            word = g << 11 | r << 6 | b << 1 | (random() & 1);
        }
        if (block.coding == Pic2Coding::RawLittleEndian) {
            out.push_back(uint8_t(word));
            out.push_back(uint8_t(word >> 8));
        } else {
            out.push_back(uint8_t(word >> 8));
            out.push_back(uint8_t(word));
        }
    }
    return out;
}

std::vector<uint8_t> EncodePic2(const Pic2File& file, const Pic2EncodeOptions& options) {
    std::vector<uint8_t> out(124, ' ');
    std::memcpy(out.data(), "P2DT", 4);
    std::memcpy(out.data() + 4, "test encoder      ", 18);
    out[30] = out[62] = out[94] = '\r';
    out[31] = out[63] = out[95] = '\n';
    out[96] = 0x1A;
    out[97] = 0;
    std::vector<uint8_t> tail;
    PutBe16(tail, options.paletteInHeader ? 1 : 0); // 98 flag
    PutBe16(tail, 0);                               // 100 picture number
    PutBe32(tail, 0);                               // 102 time stamp
    PutBe32(tail, 0);                               // 106 first block, filled in below
    PutBe16(tail, uint32_t(3 * file.componentBits));
    PutBe16(tail, file.xAspect);
    PutBe16(tail, file.yAspect);
    PutBe16(tail, file.width);
    PutBe16(tail, file.height);
    PutBe32(tail, 0);
    std::memcpy(out.data() + 98, tail.data(), tail.size());
    if (options.paletteInHeader) {
        out.push_back(8);
        PutBe16(out, 3);
        for (int i = 0; i < 9; ++i)
            out.push_back(uint8_t(i * 29));
    }
    for (char c : std::string("comment\r\n"))
        out.push_back(uint8_t(c));
    out.push_back(0);
    const uint32_t first = uint32_t(out.size());
    for (int i = 0; i < 4; ++i)
        out[106 + i] = uint8_t(first >> (24 - 8 * i));

    for (const Pic2Block& block : file.blocks) {
        std::vector<uint8_t> data;
        const char* id = "P2BM";
        switch (block.coding) {
        case Pic2Coding::Arithmetic:
            id = "P2SS";
            data = EncodeArithmeticBlock(block, file.componentBits, options);
            break;
        case Pic2Coding::Fast:
            id = "P2SF";
            data = EncodeFastBlock(block, file.componentBits, options);
            break;
        case Pic2Coding::RawBigEndian:
            data = EncodeRawBlock(block, file.componentBits, options.seed);
            break;
        case Pic2Coding::RawLittleEndian:
            id = "P2BI";
            data = EncodeRawBlock(block, file.componentBits, options.seed);
            break;
        }
        out.insert(out.end(), id, id + 4);
        PutBe32(out, uint32_t(26 + data.size()));
        PutBe16(out, block.transparent ? 1 : 0);
        PutBe16(out, block.width);
        PutBe16(out, block.height);
        PutBe16(out, uint32_t(block.left) & 0xFFFF);
        PutBe16(out, uint32_t(block.top) & 0xFFFF);
        PutBe32(out, block.transparent.value_or(0));
        PutBe32(out, 0);
        out.insert(out.end(), data.begin(), data.end());
    }
    if (options.terminator) out.insert(out.end(), 8, 0);
    return out;
}

} // namespace pictest
