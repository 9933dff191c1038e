// Small generated pictures for PIC2 tests, as pixel values R << 2c | G << c | B.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace pictest {

enum class Pattern { FewColours, Gradient, Shapes, Noise, Stripes };

inline std::vector<uint32_t> MakeValues(Pattern pattern, uint32_t w, uint32_t h, int cb,
                                        uint32_t seed) {
    std::mt19937 random(seed);
    const uint32_t m = (1u << cb) - 1;
    auto pack = [&](uint32_t r, uint32_t g, uint32_t b) {
        return (r & m) << (2 * cb) | (g & m) << cb | (b & m);
    };
    std::vector<uint32_t> colours;
    for (int i = 0; i < 5; ++i)
        colours.push_back(pack(random(), random(), random()));
    std::vector<uint32_t> v(size_t(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t& p = v[size_t(y) * w + x];
            switch (pattern) {
            case Pattern::FewColours:
                p = colours[random() % colours.size()];
                break;
            case Pattern::Gradient:
                p = pack(x * (m + 1) / w, y * (m + 1) / h, (x + y) * (m + 1) / (w + h));
                break;
            case Pattern::Shapes: {
                const int64_t dx = int64_t(x) - w / 2, dy = int64_t(y) - h / 2;
                const bool disc = 4 * (dx * dx + dy * dy) < int64_t(w) * w / 2;
                const bool stripe = ((x + 2 * y) / 5) % 2 == 0;
                const bool back = (int64_t(x) - 2 * int64_t(y)) / 7 % 2 == 0;
                p = colours[disc ? 0 : stripe ? 1 : back ? 2 : 3];
                break;
            }
            case Pattern::Noise:
                p = pack(random(), random(), random());
                break;
            case Pattern::Stripes:
                p = colours[x % 2];
                break;
            }
        }
    return v;
}

// An n-bit component widened to 8 bits by repeating its bits.
inline uint32_t Widen(uint32_t v, int n) {
    uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += n)
        out = (out << n) | v;
    return (out >> ((8 + n - 1) / n * n - 8)) & 0xFF;
}

inline uint32_t ValueToRgb(uint32_t v, int cb) {
    const uint32_t m = (1u << cb) - 1;
    return Widen(v >> (2 * cb), cb) << 16 | Widen((v >> cb) & m, cb) << 8 | Widen(v & m, cb);
}

} // namespace pictest
