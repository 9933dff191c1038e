// The arithmetic-coded (P2SS) block coding. The model runs once, recording every (context, bit)
// decision; the probability table is then fitted to those decisions and the bits are coded.
#include <algorithm>
#include <array>
#include <random>

#include "tests/plugins_pic/pic2_encoder.h"
#include "tests/support/bit_writer.h"

namespace pictest {

using testsupport::BitWriter;
using testsupport::PutBe16;

namespace {

struct Decision {
    uint8_t context;
    uint8_t bit;
};

class Model {
public:
    Model(const Pic2Block& block, int cb, const Pic2EncodeOptions& options)
        : b_(block), w_(block.width), h_(block.height), cb_(cb), max_((1 << cb) - 1),
          options_(options), random_(options.seed), prev_(w_, 0), now_(w_, 0), next_(w_, 0),
          flNow_(w_, 0), flNext_(w_, 0), cpNow_(w_, 0), cpNext_(w_, 0), cpNext2_(w_, 0) {}

    std::vector<Decision> Run() {
        for (uint32_t y = 0; y < h_; ++y) {
            std::fill(cpNext2_.begin(), cpNext2_.end(), 0);
            std::fill(flNext_.begin(), flNext_.end(), 0);
            uint32_t cc = y == 0 ? 0 : prev_[w_ - 1];
            for (uint32_t x = 0; x < w_; ++x) {
                const uint32_t v = b_.values[size_t(y) * w_ + x];
                if (flNow_[x] < 0) {
                    cc = now_[x];
                    if (y + 1 < h_) Chain(x, y, cc);
                    continue;
                }
                const bool change = v != cc || std::uniform_real_distribution<>(0, 1)(random_) <
                                                   options_.extraChangePoints;
                Put(cpNow_[x], change);
                if (!change) {
                    now_[x] = cc;
                    continue;
                }
                auto bump = [](std::vector<int>& c, int64_t i) {
                    if (i >= 0 && i < int64_t(c.size())) ++c[size_t(i)];
                };
                bump(cpNow_, int64_t(x) + 1);
                bump(cpNow_, int64_t(x) + 2);
                for (int64_t i = int64_t(x) - 1; i <= int64_t(x) + 1; ++i) {
                    bump(cpNext_, i);
                    bump(cpNext2_, i);
                }
                Colour(x, cc, v);
                cc = v;
                now_[x] = v;
                if (y + 1 < h_) Chain(x, y, cc);
            }
            std::swap(prev_, now_);
            std::swap(now_, next_);
            std::swap(flNow_, flNext_);
            std::swap(cpNow_, cpNext_);
            std::swap(cpNext_, cpNext2_);
        }
        return decisions_;
    }

private:
    void Put(int context, bool bit) { decisions_.push_back({uint8_t(context), uint8_t(bit)}); }

    // 0..255 in contexts c..c+14.
    void PutSmall(int c, int n) {
        if (n == 255) {
            for (int k = 0; k < 8; ++k)
                Put(c + k, 0);
            return;
        }
        int k = 0;
        while ((1 << (k + 1)) - 1 <= n)
            ++k;
        for (int i = 0; i < k; ++i)
            Put(c + i, 0);
        Put(c + k, 1);
        const int e = n - ((1 << k) - 1);
        for (int i = 0; i < k; ++i)
            Put(c + 8 + i, (e >> i) & 1);
    }

    int NumDecodesTo(int n, int pred) const {
        int v;
        if (pred > max_ / 2 ? n > 2 * (max_ - pred) : n > 2 * pred)
            v = pred > max_ / 2 ? max_ - n : n;
        else
            v = n % 2 ? pred + (n + 1) / 2 : pred - n / 2;
        return std::clamp(v, 0, max_);
    }

    void PutComponent(int c, int pred, int value) {
        for (int n = 0; n < 256; ++n)
            if (NumDecodesTo(n, pred) == value) return PutSmall(c, n);
    }

    void Colour(uint32_t x, uint32_t left, uint32_t v) {
        const uint32_t u = prev_[x];
        const int ur = int(u >> (2 * cb_)), ug = int(u >> cb_) & max_, ub = int(u) & max_;
        const int keep = std::min(cb_, 3), drop = cb_ - keep;
        const uint32_t key =
            uint32_t((ur >> drop) << (2 * keep) | (ug >> drop) << keep | (ub >> drop));
        auto& row = cache_[key];
        uint32_t& m = pos_[key];
        int found = -1;
        for (int j = 0; j < 32 && found < 0; ++j)
            if (row[(m + uint32_t(j)) % 32] == v) found = j;
        if (found >= 0) {
            Put(hitContext_, 0);
            hitContext_ = 15;
            PutSmall(17, found);
            const uint32_t j = uint32_t(found), i = (m + j / 2) % 32, jj = (m + j) % 32;
            const uint32_t c = row[jj];
            row[jj] = row[i];
            row[i] = row[m];
            row[m] = c;
            return;
        }
        Put(hitContext_, 1);
        hitContext_ = 16;
        const int lr = int(left >> (2 * cb_)), lg = int(left >> cb_) & max_, lb = int(left) & max_;
        const int pr = (ur + lr) / 2, pg = (ug + lg) / 2, pb = (ub + lb) / 2;
        const int r = int(v >> (2 * cb_)), g = int(v >> cb_) & max_, b = int(v) & max_;
        PutComponent(32, pg, g);
        PutComponent(48, std::clamp(pr + g - pg, 0, max_), r);
        PutComponent(64, std::clamp(pb + g - pg, 0, max_), b);
        m = (m + 31) % 32;
        row[m] = v;
    }

    void Chain(uint32_t x, uint32_t y, uint32_t c) {
        const int base = 80 + 6 * -flNow_[x];
        std::vector<int> codes; // 1 down, 2 left, 3 right, 4 two left, 5 two right
        static constexpr int kMove[6] = {0, 0, -1, 1, -2, 2};
        if (options_.chains &&
            !(options_.skipChainOneIn && random_() % options_.skipChainOneIn == 0))
            for (int code = 1; code <= 5; ++code) {
                const int64_t tx = int64_t(x) + kMove[code];
                if (tx < 0 || tx >= int64_t(w_) || flNext_[size_t(tx)] != 0) continue;
                if (b_.values[size_t(y + 1) * w_ + size_t(tx)] == c) codes.push_back(code);
            }
        if (codes.empty()) {
            Put(base, 1);
            return;
        }
        const int code = options_.randomChainSteps ? codes[random_() % codes.size()] : codes[0];
        Put(base, 0);
        for (int k = 1; k < code; ++k)
            Put(base + k, 0);
        if (code < 5) Put(base + code, 1);
        const size_t tx = size_t(int64_t(x) + kMove[code]);
        next_[tx] = c;
        flNext_[tx] = -code;
    }

    const Pic2Block& b_;
    uint32_t w_, h_;
    int cb_, max_;
    const Pic2EncodeOptions& options_;
    std::mt19937 random_;
    std::vector<uint32_t> prev_, now_, next_;
    std::vector<int> flNow_, flNext_, cpNow_, cpNext_, cpNext2_;
    std::array<std::array<uint32_t, 32>, 512> cache_{};
    std::array<uint32_t, 512> pos_{};
    int hitContext_ = 16;
    std::vector<Decision> decisions_;
};

class ArithmeticEncoder {
public:
    explicit ArithmeticEncoder(const std::array<uint16_t, 128>& p) {
        for (uint32_t i = 0; i < split_.size(); ++i)
            split_[i] = std::max<uint32_t>(1, ((i >> 7) + 128) * p[i & 127] / 256);
    }
    void Encode(uint32_t context, uint32_t bit) {
        const uint32_t t = split_[((range_ >> 8) & 0x7F) * 128 + context];
        if (bit) {
            low_ += t;
            range_ -= t;
        } else {
            range_ = t;
        }
        if (low_ >= 0x10000) { // carry into what is already written
            low_ -= 0x10000;
            size_t i = bits_.size() - 1;
            while (bits_[i])
                bits_[i--] = 0;
            bits_[i] = 1;
        }
        while (range_ < 0x8000) {
            range_ <<= 1;
            bits_.push_back(uint8_t((low_ >> 15) & 1));
            low_ = (low_ << 1) & 0xFFFF;
        }
    }
    std::vector<uint8_t> Finish() {
        for (int i = 15; i >= 0; --i)
            bits_.push_back(uint8_t((low_ >> i) & 1));
        BitWriter w;
        for (uint8_t b : bits_)
            w.PutBit(b);
        return w.bytes();
    }

private:
    std::array<uint32_t, 128 * 128> split_;
    uint32_t range_ = 0xFFFF;
    uint32_t low_ = 0;
    std::vector<uint8_t> bits_;
};

} // namespace

std::vector<uint8_t> EncodeArithmeticBlock(const Pic2Block& block, int cb,
                                           const Pic2EncodeOptions& options) {
    const std::vector<Decision> decisions = Model(block, cb, options).Run();
    // Probability of a 0 in each context, as seen, kept away from certainty.
    std::array<uint64_t, 128> zeros{}, total{};
    for (const Decision& d : decisions) {
        zeros[d.context] += d.bit == 0;
        ++total[d.context];
    }
    std::array<uint16_t, 128> p{};
    for (int c = 0; c < 128; ++c)
        p[c] = total[c] ? uint16_t(std::clamp<uint64_t>(65536 * zeros[c] / total[c], 256, 65280))
                        : 0x8000;
    if (options.extremeProbabilities)
        for (int c = 0; c < 128; ++c)
            p[c] = c % 2 ? 65535 : 0;
    ArithmeticEncoder coder(p);
    for (const Decision& d : decisions)
        coder.Encode(d.context, d.bit);
    std::vector<uint8_t> out;
    for (uint16_t v : p)
        PutBe16(out, v);
    const std::vector<uint8_t> coded = coder.Finish();
    out.insert(out.end(), coded.begin(), coded.end());
    return out;
}

} // namespace pictest
