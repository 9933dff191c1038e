// Little-endian reads from a byte span that never go past its end: a read beyond the end yields
// zero and marks the reader as failed, so a record handler checks once at the end.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

namespace vcl::metafile {

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes, size_t start = 0)
        : bytes_(bytes), pos_(start <= bytes.size() ? start : bytes.size()),
          failed_(start > bytes.size()) {}

    bool Ok() const { return !failed_; }
    size_t Position() const { return pos_; }
    size_t Remaining() const { return bytes_.size() - pos_; }
    bool Has(size_t count) const { return count <= Remaining(); }

    void Skip(size_t count) {
        if (!Has(count)) {
            failed_ = true;
            pos_ = bytes_.size();
            return;
        }
        pos_ += count;
    }
    void Seek(size_t position) {
        if (position > bytes_.size()) {
            failed_ = true;
            pos_ = bytes_.size();
            return;
        }
        pos_ = position;
    }

    uint8_t U8() { return static_cast<uint8_t>(Read(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Read(2)); }
    int16_t I16() { return static_cast<int16_t>(Read(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Read(4)); }
    int32_t I32() { return static_cast<int32_t>(Read(4)); }
    float F32() {
        const uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // The next `count` bytes, or an empty span (and failure) when fewer remain.
    std::span<const uint8_t> Bytes(size_t count) {
        if (!Has(count)) {
            failed_ = true;
            pos_ = bytes_.size();
            return {};
        }
        auto out = bytes_.subspan(pos_, count);
        pos_ += count;
        return out;
    }

    // The bytes from `offset` (relative to the start of the span) on, at most `count` of them.
    std::span<const uint8_t> At(size_t offset, size_t count) const {
        if (offset > bytes_.size() || count > bytes_.size() - offset) return {};
        return bytes_.subspan(offset, count);
    }
    std::span<const uint8_t> All() const { return bytes_; }

private:
    uint64_t Read(size_t width) {
        if (!Has(width)) {
            failed_ = true;
            pos_ = bytes_.size();
            return 0;
        }
        uint64_t value = 0;
        for (size_t i = 0; i < width; ++i)
            value |= uint64_t{bytes_[pos_ + i]} << (8 * i);
        pos_ += width;
        return value;
    }

    std::span<const uint8_t> bytes_;
    size_t pos_;
    bool failed_;
};

} // namespace vcl::metafile
