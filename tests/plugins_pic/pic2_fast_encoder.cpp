// The fast (P2SF) block coding, written in two passes: first where the change points and chains
// go, then the bits, since a run length must count pixels whose kind later chains decide.
#include <random>

#include "tests/plugins_pic/pic2_encoder.h"
#include "tests/support/bit_writer.h"

namespace pictest {

using testsupport::BitWriter;

namespace {

enum Kind : uint8_t { kPlain, kChained, kChange };
constexpr int kNoChain = 99;
constexpr uint64_t kEscape = 1023;

void PutLength(BitWriter& w, uint64_t v) {
    int k = 0;
    while ((uint64_t(1) << (k + 1)) - 1 <= v)
        ++k; // v in [2^k - 1, 2^(k+1) - 2]
    for (int i = 0; i < k; ++i)
        w.PutBit(1);
    w.PutBit(0);
    if (k) w.Put(uint32_t(v - ((uint64_t(1) << k) - 1)), k);
}

void PutChain(BitWriter& w, int d) {
    switch (d) {
    case kNoChain:
        w.Put(0b0, 1);
        break;
    case 0:
        w.Put(0b11, 2);
        break;
    case -1:
        w.Put(0b1011, 4);
        break;
    case -2:
        w.Put(0b1010, 4);
        break;
    case 1:
        w.Put(0b1001, 4);
        break;
    case 2:
        w.Put(0b1000, 4);
        break;
    }
}

} // namespace

std::vector<uint8_t> EncodeFastBlock(const Pic2Block& block, int cb,
                                     const Pic2EncodeOptions& options) {
    const uint32_t w = block.width, h = block.height;
    const size_t n = size_t(w) * h;
    const std::vector<uint32_t>& v = block.values;
    std::mt19937 random(options.seed);

    // Pass 1: the kind of every pixel and the chain step taken from it.
    std::vector<uint8_t> kind(n, kPlain), marked(n, 0);
    std::vector<int> step(n, kNoChain);
    uint32_t cc = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t x = uint32_t(i % w), y = uint32_t(i / w);
        if (marked[i]) {
            kind[i] = kChained;
        } else if (v[i] != cc) {
            kind[i] = kChange;
        } else {
            continue;
        }
        cc = v[i];
        if (!options.chains || y + 1 >= h ||
            (options.skipChainOneIn && random() % options.skipChainOneIn == 0))
            continue;
        std::vector<int> candidates;
        for (int d : {0, -1, 1, -2, 2}) {
            const int64_t tx = int64_t(x) + d;
            if (tx < 0 || tx >= int64_t(w)) continue;
            const size_t t = i + w + size_t(int64_t(d));
            if (!marked[t] && v[t] == cc) candidates.push_back(d);
        }
        if (candidates.empty()) continue;
        const int d =
            options.randomChainSteps ? candidates[random() % candidates.size()] : candidates[0];
        step[i] = d;
        marked[i + w + size_t(int64_t(d))] = 1;
    }

    // The next change point at or after each pixel, and how many plain and chained pixels lie
    // before each pixel.
    std::vector<size_t> nextChange(n + 1, n);
    for (size_t i = n; i-- > 0;)
        nextChange[i] = kind[i] == kChange ? i : nextChange[i + 1];
    std::vector<uint64_t> plainBefore(n + 1, 0), chainedBefore(n + 1, 0);
    for (size_t i = 0; i < n; ++i) {
        plainBefore[i + 1] = plainBefore[i] + (kind[i] == kPlain);
        chainedBefore[i + 1] = chainedBefore[i] + (kind[i] == kChained);
    }

    // Pass 2: the bits, in the order the decoder reads them.
    BitWriter out;
    uint64_t escapeLeft = 0;
    auto putLength = [&](size_t from) {
        const size_t to = nextChange[from];
        if (options.escapes && chainedBefore[to] - chainedBefore[from] >= kEscape) {
            PutLength(out, kEscape);
            escapeLeft = kEscape;
            return;
        }
        const uint64_t plain = plainBefore[to] - plainBefore[from];
        PutLength(out, plain >= kEscape ? plain + 1 : plain);
    };
    std::vector<std::vector<uint32_t>> cache(256, std::vector<uint32_t>(64, 0));
    std::vector<uint32_t> start(256, 0);
    const uint32_t m = (1u << cb) - 1;
    const int depth = 3 * cb;
    putLength(0);
    cc = 0;
    for (size_t i = 0; i < n; ++i) {
        if (kind[i] == kChained) {
            PutChain(out, step[i]);
            if (escapeLeft && --escapeLeft == 0) putLength(i + 1);
        } else if (kind[i] == kChange) {
            const uint32_t r = cc >> (2 * cb), g = (cc >> cb) & m, b = cc & m;
            const uint32_t grb = g << (2 * cb) | r << cb | b;
            const uint32_t key = depth > 8 ? grb >> (depth - 8) : grb;
            int found = -1;
            for (int j = 0; j < 64 && found < 0; ++j)
                if (cache[key][(start[key] + j) % 64] == v[i]) found = j;
            if (found >= 0) {
                out.PutBit(1);
                out.Put(uint32_t(found), 6);
            } else {
                out.PutBit(0);
                start[key] = (start[key] + 63) % 64;
                cache[key][start[key]] = v[i];
                const uint32_t vr = v[i] >> (2 * cb), vg = (v[i] >> cb) & m, vb = v[i] & m;
                out.Put(vg << (2 * cb) | vr << cb | vb, depth);
            }
            PutChain(out, step[i]);
            putLength(i + 1);
        }
        if (kind[i] != kPlain) cc = v[i];
    }
    return out.bytes();
}

} // namespace pictest
