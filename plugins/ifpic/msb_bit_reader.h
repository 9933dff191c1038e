// A most-significant-bit-first reader over a byte buffer. Past the end it delivers zero bits and
// remembers that it did, so that a decoder can tell a cut-off stream from a complete one; every
// decoding loop of these formats makes progress on zero bits, so padding can never hang them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pic {

class MsbBitReader {
public:
    MsbBitReader(const uint8_t* data, size_t size) : next_(data), end_(data + size) {
        dataBits_ = uint64_t(size) * 8;
    }

    // n in 0..32.
    uint32_t Bits(int n) {
        if (n == 0) return 0;
        if (count_ < n) Refill();
        const auto v = uint32_t(buffer_ >> (64 - n));
        buffer_ <<= n;
        count_ -= n;
        consumed_ += uint64_t(n);
        return v;
    }
    uint32_t Bit() { return Bits(1); }

    // Reads one bits up to and including the first zero bit; returns how many ones there were,
    // or limit + 1 as soon as there are more than `limit`.
    int LeadingOnes(int limit) {
        int ones = 0;
        for (;;) {
            if (count_ <= 56) Refill();
            const uint64_t inverted = ~buffer_; // bits not yet loaded read as ones here
            const int run = inverted ? __builtin_clzll(inverted) : 64;
            if (run < count_) {
                Drop(run + 1);
                ones += run;
                return ones > limit ? limit + 1 : ones;
            }
            ones += count_;
            Drop(count_);
            if (ones > limit) return limit + 1;
        }
    }

    // Whether any bit delivered so far lay beyond the data.
    bool Overrun() const { return consumed_ > dataBits_; }
    // How many of the delivered bits lay beyond the data.
    uint64_t BitsPastEnd() const { return consumed_ > dataBits_ ? consumed_ - dataBits_ : 0; }
    uint64_t BitPosition() const { return consumed_; }

private:
    void Drop(int n) {
        buffer_ = n >= 64 ? 0 : buffer_ << n;
        count_ -= n;
        consumed_ += uint64_t(n);
    }
    void Refill() {
        while (count_ <= 56) {
            const uint64_t byte = next_ < end_ ? *next_++ : 0;
            buffer_ |= byte << (56 - count_);
            count_ += 8;
        }
    }

    const uint8_t* next_;
    const uint8_t* end_;
    uint64_t buffer_ = 0; // unread bits, left-aligned
    int count_ = 0;       // how many bits of buffer_ are loaded
    uint64_t consumed_ = 0;
    uint64_t dataBits_ = 0;
};

// Widens an n-bit component to 8 bits by repeating its bit pattern downwards, so that the
// largest n-bit value becomes 255 and zero stays 0.
constexpr uint8_t ExpandComponent(uint32_t value, int bits) {
    if (bits <= 0) return 0;
    if (bits >= 8) return uint8_t(value >> (bits - 8));
    uint32_t result = 0;
    int shift = 8 - bits;
    for (; shift > 0; shift -= bits)
        result |= value << shift;
    result |= value >> -shift;
    return uint8_t(result);
}

} // namespace pic
