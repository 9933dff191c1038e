// P2SF: run lengths, a colour cache keyed by the previous colour, and chain codes that carry a
// change point one row down, all in one bitstream.
#include <array>
#include <memory>
#include <vector>

#include "plugins/common/msb_bit_reader.h"
#include "plugins/ifpic2/pic2_blocks.h"
#include "plugins/spi.h"

namespace pic2 {

namespace {

constexpr int kMaxLengthPrefix = 32;
constexpr uint64_t kEscape = 1023; // this run length lets the next 1023 chain pixels pass
constexpr int kCacheRows = 256;
constexpr int kCacheColumns = 64;

class FastDecoder {
public:
    FastDecoder(const Block& block, int componentBits)
        : bits_(block.data.data(), block.data.size()), width_(block.width), height_(block.height),
          cb_(componentBits), depth_(3 * componentBits), rowNow_(block.width),
          rowNext_(block.width), markNow_(block.width), markNext_(block.width) {}

    int32_t Run(const RowSink& sink) {
        if (!NextLength()) return SPI_BROKEN_DATA;
        uint32_t cc = 0; // the running colour carries over from the end of the row above
        for (uint32_t y = 0; y < height_; ++y) {
            for (uint32_t x = 0; x < width_; ++x) {
                if (markNow_[x]) { // chain pixels are change points of their own
                    cc = rowNow_[x];
                    Chain(x, cc);
                    if (escaped_ > 0 && --escaped_ == 0 && !NextLength()) return SPI_BROKEN_DATA;
                } else if (escaped_ > 0 || left_-- > 0) {
                    rowNow_[x] = cc;
                } else {
                    cc = ReadColour(cc);
                    rowNow_[x] = cc;
                    Chain(x, cc);
                    if (!NextLength()) return SPI_BROKEN_DATA;
                }
            }
            if (bits_.PastEnd()) return SPI_BROKEN_DATA;
            sink(y, rowNow_.data());
            rowNow_.swap(rowNext_);
            markNow_.swap(markNext_);
            std::fill(markNext_.begin(), markNext_.end(), 0);
        }
        return SPI_OK;
    }

private:
    bool ReadLength(uint64_t& length) {
        const int k = bits_.LeadingOnes(kMaxLengthPrefix);
        if (k > kMaxLengthPrefix) return false;
        length = k == 0 ? 0 : uint64_t(bits_.Read(k)) + (uint64_t(1) << k) - 1;
        return true;
    }

    bool NextLength() {
        uint64_t length;
        if (!ReadLength(length)) return false;
        if (length == kEscape) {
            escaped_ = kEscape;
        } else if (length > kEscape) {
            --length;
        }
        left_ = int64_t(length);
        return true;
    }

    void Chain(uint32_t x, uint32_t colour) {
        if (!bits_.ReadBit()) return;
        int d;
        if (bits_.ReadBit()) {
            d = 0;
        } else {
            static constexpr int kSideways[4] = {2, 1, -2, -1}; // 1000, 1001, 1010, 1011
            d = kSideways[bits_.Read(2)];
        }
        const int64_t target = int64_t(x) + d;
        if (target < 0 || target >= int64_t(width_)) return;
        rowNext_[size_t(target)] = colour;
        markNext_[size_t(target)] = 1;
    }

    uint32_t ReadColour(uint32_t previous) {
        const uint32_t m = (1u << cb_) - 1;
        const uint32_t r = previous >> (2 * cb_), g = (previous >> cb_) & m, b = previous & m;
        const uint32_t grb = g << (2 * cb_) | r << cb_ | b;
        const uint32_t key = depth_ > 8 ? grb >> (depth_ - 8) : grb;
        auto& start = start_[key];
        auto& row = cache_[key];
        if (bits_.ReadBit()) return row[(start + bits_.Read(6)) % kCacheColumns];
        start = (start + kCacheColumns - 1) % kCacheColumns;
        const uint32_t v = bits_.Read(depth_); // G, R, B
        const uint32_t vg = v >> (2 * cb_), vr = (v >> cb_) & m, vb = v & m;
        return row[start] = vr << (2 * cb_) | vg << cb_ | vb;
    }

    spi::MsbBitReader bits_;
    uint32_t width_, height_;
    int cb_, depth_;
    std::vector<uint32_t> rowNow_, rowNext_;
    std::vector<uint8_t> markNow_, markNext_;
    int64_t left_ = 0;     // pixels to fill before the next change point
    uint64_t escaped_ = 0; // chain pixels still to pass in an escape
    std::array<std::array<uint32_t, kCacheColumns>, kCacheRows> cache_{};
    std::array<uint32_t, kCacheRows> start_{};
};

} // namespace

int32_t DecodeFastBlock(const Block& block, int componentBits, const RowSink& sink) {
    auto decoder = std::make_unique<FastDecoder>(block, componentBits);
    return decoder->Run(sink);
}

} // namespace pic2
