// The binary arithmetic decoder of P2SS blocks: 128 contexts whose probabilities of a 0 bit are
// fixed by a table at the start of the block.
#pragma once

#include <array>
#include <cstdint>

#include "plugins/common/msb_bit_reader.h"

namespace pic2 {

inline constexpr int kContexts = 128;
inline constexpr size_t kProbabilityTableBytes = 2 * kContexts;

class ArithmeticDecoder {
public:
    // `probabilities`: kContexts big-endian 16-bit values; `bits` stands at the coded bits.
    ArithmeticDecoder(const uint8_t* probabilities, spi::MsbBitReader& bits) : bits_(bits) {
        for (uint32_t i = 0; i < split_.size(); ++i) {
            const uint32_t c = i % kContexts;
            const uint32_t p = uint32_t(probabilities[2 * c]) << 8 | probabilities[2 * c + 1];
            const uint32_t t = ((i / kContexts) + 128) * p / 256;
            split_[i] = uint16_t(t ? t : 1);
        }
        code_ = bits_.Read(16);
        broken_ = code_ >= range_;
    }

    // One bit in context `context` (0..127).
    uint32_t Bit(uint32_t context) {
        const uint32_t t = split_[((range_ >> 8) & 0x7F) * kContexts + (context & 0x7F)];
        uint32_t bit;
        if (code_ >= t) {
            code_ -= t;
            range_ -= t;
            bit = 1;
        } else {
            range_ = t;
            bit = 0;
        }
        if (range_ < 0x8000) {
            const int shift = __builtin_clz(range_) - 16;
            range_ <<= shift;
            code_ = (code_ << shift) | bits_.Read(shift);
            broken_ |= code_ >= range_;
        }
        return bit;
    }

    // The code value left the range: no encoder wrote these bits.
    bool Broken() const { return broken_; }

private:
    spi::MsbBitReader& bits_;
    std::array<uint16_t, 128 * kContexts> split_;
    uint32_t range_ = 0xFFFF;
    uint32_t code_ = 0;
    bool broken_ = false;
};

} // namespace pic2
