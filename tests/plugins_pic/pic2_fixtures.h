// Hand-made PIC2 files. The coded bits and expected pixels were worked out on paper from the
// format's description, not by running a decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/bit_writer.h"

namespace pictest {

using testsupport::PutBe16;
using testsupport::PutBe32;

struct HandBlock {
    std::string id;
    uint16_t width, height;
    int16_t left = 0, top = 0;
    std::vector<uint8_t> data;
    bool transparent = false;
    uint32_t transparentValue = 0;
};

// A 124-byte header (no palette, first block right after it), the blocks, the terminator.
inline std::vector<uint8_t> Pic2FileOf(uint16_t depth, uint16_t xAspect, uint16_t yAspect,
                                       uint16_t width, uint16_t height,
                                       const std::vector<HandBlock>& blocks,
                                       bool terminator = true) {
    std::vector<uint8_t> out = {'P', '2', 'D', 'T'};
    out.resize(96, ' ');
    out.push_back(0x1A);
    out.push_back(0);
    PutBe16(out, 0);   // flag: no palette
    PutBe16(out, 0);   // picture number
    PutBe32(out, 0);   // time
    PutBe32(out, 124); // first block
    PutBe16(out, depth);
    PutBe16(out, xAspect);
    PutBe16(out, yAspect);
    PutBe16(out, width);
    PutBe16(out, height);
    PutBe32(out, 0);
    for (const HandBlock& b : blocks) {
        out.insert(out.end(), b.id.begin(), b.id.end());
        PutBe32(out, uint32_t(26 + b.data.size()));
        PutBe16(out, b.transparent);
        PutBe16(out, b.width);
        PutBe16(out, b.height);
        PutBe16(out, uint16_t(b.left));
        PutBe16(out, uint16_t(b.top));
        PutBe32(out, b.transparentValue);
        PutBe32(out, 0);
        out.insert(out.end(), b.data.begin(), b.data.end());
    }
    if (terminator) out.insert(out.end(), 8, 0);
    return out;
}

// 15-bit little-endian X68000 words: 0xF801 (green 31, I set) and 0x043E (red 16, blue 31).
inline HandBlock RawLittleEndian15() {
    return {"P2BI", 2, 1, 0, 0, {0x01, 0xF8, 0x3E, 0x04}};
}

// 3-bit (one bit per component), 3 x 2:
//   white white black
//   black white black
// Row 0: length 0 | new colour (key 0) GRB 111 | chain to x+1 1001 | length 1 100 |
//        new colour (key 7) 000 | no chain 0 | length 1 100
// Row 1: x=0 filled | x=1 chained: no chain 0 | x=2: cached (key 7, j 0) 1 000000, no chain 0,
//        length 0
//   0 0111 1001 100 0000 0 100 | 0 1000000 0 0 (+2 padding bits)
inline HandBlock FastThreeBit() {
    return {"P2SF", 3, 2, 0, 0, {0x3C, 0xC0, 0x44, 0x00}};
}

// 3-bit, 2 x 1: magenta (R1 G0 B1), green (R0 G1 B0), both coded as misses.
// Decisions (context: bit): pixel 0: change 0:1, miss 16:1, green n=0 32:1, red n=1 48:0 49:1
// 56:0, blue n=1 64:0 65:1 72:0; pixel 1: change in context 1 (counted from the change at x=0)
// 1:1, miss 16:1, green n=1 32:0 33:1 40:0; red predicted 1, n=1 gives 0: 48:0 49:1 56:0; blue
// likewise 64:0 65:1 72:0. Probabilities of a 0: 0xA000 in context 0, 0x4000 in 1, 0x6000 in
// 16, 0x2000 in 33, 0x8000 elsewhere; coded on paper to EA 79 37 00 00.
inline HandBlock ArithmeticThreeBit() {
    std::vector<uint8_t> data;
    for (int c = 0; c < 128; ++c) {
        uint16_t p = 0x8000;
        if (c == 0) p = 0xA000;
        if (c == 1) p = 0x4000;
        if (c == 16) p = 0x6000;
        if (c == 33) p = 0x2000;
        PutBe16(data, p);
    }
    for (uint8_t b : {0xEA, 0x79, 0x37, 0x00, 0x00})
        data.push_back(b);
    return {"P2SS", 2, 1, 0, 0, data};
}

} // namespace pictest
