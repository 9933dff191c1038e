// A PIC2 writer for tests: every block coding, so that the decoder can be shown to read back
// exactly what was written. Written from the format's description, sharing no code with the
// decoder.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace pictest {

enum class Pic2Coding { Arithmetic, Fast, RawBigEndian, RawLittleEndian };

// Pixel values R << 2c | G << c | B, c = componentBits.
struct Pic2Block {
    Pic2Coding coding = Pic2Coding::Fast;
    int32_t left = 0;
    int32_t top = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> values;
    std::optional<uint32_t> transparent;
};

struct Pic2EncodeOptions {
    uint32_t seed = 1;                 // varies the encoder's free choices
    bool chains = true;                // carry change points down where the colour continues
    uint32_t skipChainOneIn = 8;       // leave out one possible chain in so many (0: never)
    bool randomChainSteps = true;      // else the first possible of down, left, right, ...
    bool escapes = true;               // fast coding: let 1023 chain pixels pass by the escape
    double extraChangePoints = 0;      // arithmetic coding: share of unchanged pixels coded anyway
    bool extremeProbabilities = false; // arithmetic coding: tables of 0 and 65535 only
    bool paletteInHeader = false;      // an (unused) palette between header and first block
    bool terminator = true;
};

struct Pic2File {
    int componentBits = 8;
    uint16_t xAspect = 1, yAspect = 1;
    uint16_t width = 0, height = 0; // the header's canvas size
    std::vector<Pic2Block> blocks;
};

std::vector<uint8_t> EncodePic2(const Pic2File& file, const Pic2EncodeOptions& options = {});

// The coded data of one block (after its 26-byte header).
std::vector<uint8_t> EncodeRawBlock(const Pic2Block& block, int componentBits, uint32_t seed);
std::vector<uint8_t> EncodeFastBlock(const Pic2Block& block, int componentBits,
                                     const Pic2EncodeOptions& options);
std::vector<uint8_t> EncodeArithmeticBlock(const Pic2Block& block, int componentBits,
                                           const Pic2EncodeOptions& options);

} // namespace pictest
