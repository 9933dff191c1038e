// Hand-made PIC files. Their coded bits and expected pixels were worked out on paper from the
// format's description, not by running a decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pictest {

// "PIC", a comment, 0x1A, 0, the reserved byte, then `rest` (type byte onwards).
inline std::vector<uint8_t> PicFile(const std::string& comment, std::vector<uint8_t> rest) {
    std::vector<uint8_t> out;
    for (char c : "PIC" + comment)
        out.push_back(uint8_t(c));
    out.push_back(0x1A);
    out.push_back(0);
    out.push_back(0);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

// X68000, 16 colours, 4 x 2, indices
//   1 1 2 2
//   3 1 2 2
// with palette words 1 = 0xF801 (green, I set), 2 = 0x07C0 (red), 3 = 0x0021 (blue 16, I set).
// Codes: length 1, colour 1, no chain | length 2, colour 2, chain straight down, end |
// length 2, colour 3, no chain | length 1, colour 1, no chain | length 3 (runs past the end; the
// chain mark turns the run to colour 2):
//   00 0001 0 | 01 0010 1 10 000 | 01 0011 0 | 00 0001 0 | 1000 (+ 3 padding bits)
inline std::vector<uint8_t> Pic16Colours() {
    std::vector<uint8_t> rest = {0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x02};
    const uint16_t palette[16] = {0x0000, 0xF801, 0x07C0, 0x0021};
    for (uint16_t w : palette) {
        rest.push_back(uint8_t(w >> 8));
        rest.push_back(uint8_t(w));
    }
    for (uint8_t b : {0x04, 0x96, 0x09, 0x81, 0x40})
        rest.push_back(b);
    return PicFile("16 colours", rest);
}

// Generic type, mode 0, 15-bit, 3 x 1, aspect bytes 1 and 2, pixels white, red, white.
// Codes: length 1, new colour 0x7FFF (cache slot 1), no chain | length 1, new colour 0x03E0
// (slot 2), no chain | length 1, cached slot 1, last pixel:
//   00 0 111111111111111 0 | 00 0 000001111100000 0 | 00 1 0000001
inline std::vector<uint8_t> Pic15BitGeneric() {
    return PicFile("", {0x0F, 0x00, 0x0F, 0x00, 0x03, 0x00, 0x01, // type, depth, size
                        0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x02,       // no position, aspect 1:2
                        0x1F, 0xFF, 0xC0, 0x1F, 0x00, 0x81});
}

// PC-88VA tiled 256 colours: one 16-bit value 0x1FE0, coded as length 1, new colour, last pixel:
//   00 0 0001111111100000 (+5 padding bits)
// It holds two G3R3B2 pixels, low byte first: 0xE0 green above 0x1F magenta (1 x 2 picture).
inline std::vector<uint8_t> PicTiled256() {
    return PicFile("", {0x21, 0x00, 0x10, 0x00, 0x01, 0x00, 0x01, 0x03, 0xFC, 0x00});
}

// Generic type, 256 colours, 1-bit palette components (3 bits an entry, G R B): entry 1 is
// 010 (red), entry 255 is 101 (green and blue), all others black. 2 x 1, indices 255, 1:
//   00 11111111 0 | 00 00000001 (+3 padding bits)
inline std::vector<uint8_t> Pic256ColoursOneBitPalette() {
    std::vector<uint8_t> rest = {0x0F, 0x00, 0x08, 0x00, 0x02, 0x00, 0x01,
                                 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01};
    std::vector<uint8_t> palette(96, 0);
    palette[0] = 0x08;
    palette[95] = 0x05;
    rest.insert(rest.end(), palette.begin(), palette.end());
    rest.insert(rest.end(), {0x3F, 0xC0, 0x08});
    return PicFile("", rest);
}

} // namespace pictest
