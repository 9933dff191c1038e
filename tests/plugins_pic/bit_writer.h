// Test encoders' output: bits most significant first, padded with zero bits to whole bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace pictest {

class BitWriter {
public:
    void Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i)
            PutBit((value >> i) & 1);
    }
    void PutBit(uint32_t bit) {
        if (used_ == 0) bytes_.push_back(0);
        if (bit) bytes_.back() |= uint8_t(0x80 >> used_);
        used_ = (used_ + 1) % 8;
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int used_ = 0;
};

inline void PutBe16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
inline void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    PutBe16(out, v >> 16);
    PutBe16(out, v & 0xFFFF);
}

} // namespace pictest
