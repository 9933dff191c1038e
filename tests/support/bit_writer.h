// Building test files: bits most significant first (padded with zero bits to whole bytes), and
// little- or big-endian numbers.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace testsupport {

class BitWriter {
public:
    // The low `count` bits of `value`, the highest first.
    void Put(uint32_t value, unsigned count) {
        for (unsigned i = count; i-- > 0;)
            PutBit((value >> i) & 1);
    }
    void PutBit(bool bit) {
        if (used_ == 0) bytes_.push_back(0);
        if (bit) bytes_.back() |= uint8_t(0x80 >> used_);
        used_ = (used_ + 1) % 8;
    }
    // Put bits written as text, such as "1 00 10": spaces are only for the reader.
    void Put(std::string_view bits) {
        for (const char c : bits)
            if (c == '0' || c == '1') PutBit(c == '1');
    }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    unsigned used_ = 0; // bits used in the last byte
};

inline void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
    PutLe16(out, v & 0xFFFF);
    PutLe16(out, v >> 16);
}
inline void PutBe16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
inline void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    PutBe16(out, v >> 16);
    PutBe16(out, v & 0xFFFF);
}
inline void PutText(std::vector<uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}
inline void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& more) {
    out.insert(out.end(), more.begin(), more.end());
}

} // namespace testsupport
