// P2SS: change-point flags in contexts counted from nearby change points, colours predicted from
// the pixels above and to the left or found in a cache keyed by the pixel above, and chains that
// carry a change point down, all arithmetic-coded.
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "plugins/ifpic2/arithmetic_decoder.h"
#include "plugins/ifpic2/pic2_blocks.h"
#include "plugins/spi.h"

namespace pic2 {

namespace {

// Context numbers.
constexpr uint32_t kHitAfterHit = 15;
constexpr uint32_t kHitAfterMiss = 16;
constexpr uint32_t kCacheIndex = 17;
constexpr uint32_t kGreen = 32;
constexpr uint32_t kRed = 48;
constexpr uint32_t kBlue = 64;
constexpr uint32_t kChain = 80;
constexpr uint32_t kChainStride = 6;

constexpr int kCacheRows = 512;
constexpr int kCacheColumns = 32;
// The decoder reads 16 bits ahead of what the encoder had to write.
constexpr uint64_t kLookaheadBits = 16;
// Padding: index -1 and x+2 of the change-point counters stay inside the arrays.
constexpr size_t kPad = 2;

class ArithmeticBlockDecoder {
public:
    ArithmeticBlockDecoder(const Block& block, int componentBits)
        : bits_(block.data.data() + kProbabilityTableBytes,
                block.data.size() - kProbabilityTableBytes),
          coder_(block.data.data(), bits_), width_(block.width), height_(block.height),
          cb_(componentBits), max_((1u << componentBits) - 1), prev_(width_), now_(width_),
          next_(width_), chainNow_(width_), chainNext_(width_) {
        for (auto* counts : {&cpNow_, &cpNext_, &cpNext2_})
            counts->assign(width_ + 2 * kPad, 0);
    }

    int32_t Run(const RowSink& sink) {
        for (uint32_t y = 0; y < height_; ++y) {
            const bool chainsCoded = y + 1 < height_; // nothing is carried below the last row
            std::fill(cpNext2_.begin(), cpNext2_.end(), 0);
            std::fill(chainNext_.begin(), chainNext_.end(), 0);
            uint32_t cc = y == 0 ? 0 : prev_[width_ - 1];
            for (uint32_t x = 0; x < width_; ++x) {
                if (chainNow_[x] < 0) {
                    cc = now_[x];
                    if (chainsCoded) Chain(x, cc);
                } else if (coder_.Bit(cpNow_[x + kPad])) {
                    CountChangePoint(x);
                    cc = Colour(x, cc);
                    now_[x] = cc;
                    if (chainsCoded) Chain(x, cc);
                } else {
                    now_[x] = cc;
                }
            }
            if (coder_.Broken() || bits_.BitsPastEnd() > kLookaheadBits) return SPI_BROKEN_DATA;
            sink(y, now_.data());
            std::swap(prev_, now_);
            std::swap(now_, next_); // the chain targets written while decoding this row
            chainNow_.swap(chainNext_);
            std::swap(cpNow_, cpNext_);
            std::swap(cpNext_, cpNext2_); // cleared at the next row's start
        }
        return SPI_OK;
    }

private:
    // A change point makes change points nearby more likely: two to the right, three below and
    // three two rows below.
    void CountChangePoint(uint32_t x) {
        const size_t i = x + kPad;
        ++cpNow_[i + 1];
        ++cpNow_[i + 2];
        for (size_t j = i - 1; j <= i + 1; ++j) {
            ++cpNext_[j];
            ++cpNext2_[j];
        }
    }

    // 0..255: eight prefix contexts, then up to seven suffix bits, least significant first.
    uint32_t SmallNumber(uint32_t context) {
        for (uint32_t k = 0; k < 8; ++k) {
            if (!coder_.Bit(context + k)) continue;
            uint32_t e = 0;
            for (uint32_t i = 0; i < k; ++i)
                e |= coder_.Bit(context + 8 + i) << i;
            return (1u << k) - 1 + e;
        }
        return 255;
    }

    // A component near `predicted`: small numbers alternate above and below it, larger ones run
    // towards the far end of the range.
    uint32_t Component(uint32_t context, uint32_t predicted) {
        const int64_t n = SmallNumber(context), p = predicted, mx = max_;
        int64_t v;
        if (p > mx / 2 ? n > 2 * (mx - p) : n > 2 * p)
            v = p > mx / 2 ? mx - n : n;
        else
            v = n % 2 ? p + (n + 1) / 2 : p - n / 2;
        return uint32_t(std::clamp<int64_t>(v, 0, mx));
    }

    uint32_t Clamp(int64_t v) const { return uint32_t(std::clamp<int64_t>(v, 0, max_)); }

    uint32_t Colour(uint32_t x, uint32_t left) {
        const uint32_t above = prev_[x];
        const uint32_t ur = above >> (2 * cb_), ug = (above >> cb_) & max_, ub = above & max_;
        // The cache row: the top three bits of each component of the pixel above.
        const int drop = cb_ > 3 ? cb_ - 3 : 0, keep = cb_ - drop;
        const uint32_t key = (ur >> drop) << (2 * keep) | (ug >> drop) << keep | (ub >> drop);
        auto& row = cache_[key];
        uint32_t& start = start_[key];
        if (coder_.Bit(hitContext_)) { // not in the cache
            hitContext_ = kHitAfterMiss;
            const uint32_t lr = left >> (2 * cb_), lg = (left >> cb_) & max_, lb = left & max_;
            const int64_t pr = (ur + lr) / 2, pg = (ug + lg) / 2, pb = (ub + lb) / 2;
            const int64_t g = Component(kGreen, uint32_t(pg));
            const uint32_t r = Component(kRed, Clamp(pr + g - pg));
            const uint32_t b = Component(kBlue, Clamp(pb + g - pg));
            start = (start + kCacheColumns - 1) % kCacheColumns;
            return row[start] = r << (2 * cb_) | uint32_t(g) << cb_ | b;
        }
        hitContext_ = kHitAfterHit;
        const uint32_t j = SmallNumber(kCacheIndex);
        const uint32_t m = start, half = (m + j / 2) % kCacheColumns, at = (m + j) % kCacheColumns;
        const uint32_t colour = row[at];
        row[at] = row[half];
        row[half] = row[m];
        row[m] = colour;
        return colour;
    }

    // Whether and where the change point at x continues one row down; the context depends on
    // how the chain arrived here.
    void Chain(uint32_t x, uint32_t colour) {
        const uint32_t base = kChain + kChainStride * uint32_t(-chainNow_[x]);
        if (coder_.Bit(base)) return;
        static constexpr int kMove[6] = {0, 0, -1, 1, -2, 2};
        int code = 1;
        while (code < 5 && !coder_.Bit(base + uint32_t(code)))
            ++code;
        const int64_t target = int64_t(x) + kMove[code];
        if (target < 0 || target >= int64_t(width_)) return;
        next_[size_t(target)] = colour;
        chainNext_[size_t(target)] = int8_t(-code);
    }

    spi::MsbBitReader bits_;
    ArithmeticDecoder coder_;
    uint32_t width_, height_;
    int cb_;
    uint32_t max_;
    std::vector<uint32_t> prev_, now_, next_;
    std::vector<int8_t> chainNow_, chainNext_; // -code of the arriving chain, 0 for none
    std::vector<uint8_t> cpNow_, cpNext_, cpNext2_;
    std::array<std::array<uint32_t, kCacheColumns>, kCacheRows> cache_{};
    std::array<uint32_t, kCacheRows> start_{};
    uint32_t hitContext_ = kHitAfterMiss;
};

} // namespace

int32_t DecodeArithmeticBlock(const Block& block, int componentBits, const RowSink& sink) {
    if (block.data.size() < kProbabilityTableBytes) return SPI_BROKEN_DATA;
    auto decoder = std::make_unique<ArithmeticBlockDecoder>(block, componentBits);
    return decoder->Run(sink);
}

} // namespace pic2
