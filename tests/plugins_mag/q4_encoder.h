// An XLD4 (.Q4) encoder of our own, for round trips and benchmarks: run-length symbols, LZW per
// chunk, and the palette in the first chunk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace magtest {

inline constexpr size_t kQ4Width = 640;
inline constexpr size_t kQ4Height = 400;

struct Q4Image {
    std::vector<uint8_t> indices; // 640 * 400 values 0 to 15, top row first
    // 4-bit red, green and blue levels of each pixel value.
    std::array<std::array<uint8_t, 3>, 16> levels{};
    // Even, at most 131070 (the header holds half of it in 16 bits), and few enough that one
    // chunk's codes fit the dictionary.
    size_t pixelsPerChunk = 16000;
    size_t minRun = 4; // shorter runs are written as single pixels
};

// Run-length symbols of pixels, as one chunk holds them.
std::vector<uint8_t> Q4RunSymbols(const uint8_t* pixels, size_t count, size_t minRun);
// LZW coding of symbols 0 to 16, ending with the end code. Throws std::length_error when the
// symbols need more codes than one chunk's dictionary has.
std::vector<uint8_t> Q4Lzw(const std::vector<uint8_t>& symbols);
// A chunk: 6-byte header, then the data. Throws std::length_error beyond the header's fields.
std::vector<uint8_t> Q4Chunk(const std::vector<uint8_t>& data, size_t pixels);
// The 16-byte header for a file of `fileSize` bytes.
std::vector<uint8_t> Q4Header(size_t fileSize);

std::vector<uint8_t> EncodeQ4(const Q4Image& image);

} // namespace magtest
