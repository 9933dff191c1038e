// A Pi encoder of our own, for round trips and benchmarks: greedy longest copies, colour pairs
// where nothing matches.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace magtest {

struct PiImage {
    uint16_t width = 0;
    uint16_t height = 0;
    int depth = 4;                   // 4 or 8
    std::vector<uint8_t> indices;    // width * height, top row first
    std::vector<uint8_t> paletteRgb; // colours * 3 bytes; empty: the default palette
    uint8_t aspectFirst = 0;
    uint8_t aspectSecond = 0;
    std::string comment;
    std::vector<uint8_t> machineData;
};

std::vector<uint8_t> EncodePi(const PiImage& image);

} // namespace magtest
