// A byte buffer read as a bit stream, most significant bit of each byte first. Past the end it
// delivers zero bits and counts them, so that a decoder can finish a picture whose data was cut
// short (every loop of our decoders makes progress on zero bits) and still tell that it was.
#pragma once

#include <cstddef>
#include <cstdint>

namespace spi {

class MsbBitReader {
public:
    MsbBitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // The next `count` bits (0 to 32), the first bit read as the most significant.
    uint32_t Read(unsigned count) {
        if (count == 0) return 0;
        if (available_ < count) Refill();
        const auto value = uint32_t(buffer_ >> (64 - count));
        buffer_ <<= count;
        available_ -= count;
        consumed_ += count;
        return value;
    }
    uint32_t ReadBit() { return Read(1); }

    // Reads one bits up to and including the first zero bit; returns how many ones there were,
    // or limit + 1 as soon as there are more than `limit`.
    int LeadingOnes(int limit) {
        int ones = 0;
        for (;;) {
            if (available_ <= 56) Refill();
            const uint64_t inverted = ~buffer_; // bits not yet loaded read as ones here
            const unsigned run = inverted ? unsigned(__builtin_clzll(inverted)) : 64;
            if (run < available_) {
                Drop(run + 1);
                ones += int(run);
                return ones > limit ? limit + 1 : ones;
            }
            ones += int(available_);
            Drop(available_);
            if (ones > limit) return limit + 1;
        }
    }

    // Whether a bit beyond the last byte has been read, and how many such bits.
    bool PastEnd() const { return consumed_ > uint64_t(size_) * 8; }
    uint64_t BitsPastEnd() const { return PastEnd() ? consumed_ - uint64_t(size_) * 8 : 0; }

private:
    void Drop(unsigned count) {
        buffer_ = count >= 64 ? 0 : buffer_ << count;
        available_ -= count;
        consumed_ += count;
    }
    void Refill() {
        while (available_ <= 56) {
            if (next_ < size_) buffer_ |= uint64_t(data_[next_++]) << (56 - available_);
            available_ += 8; // zero bits past the end
        }
    }

    const uint8_t* data_;
    size_t size_;
    size_t next_ = 0;
    uint64_t buffer_ = 0; // unread bits, left-aligned
    unsigned available_ = 0;
    uint64_t consumed_ = 0;
};

// A byte stream over one region of a file: zero bytes past its end, counted like the bits above.
class ByteStream {
public:
    ByteStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Next() {
        if (next_ < size_) return data_[next_++];
        ++pastEnd_;
        return 0;
    }
    bool PastEnd() const { return pastEnd_ != 0; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t next_ = 0;
    uint64_t pastEnd_ = 0;
};

} // namespace spi
