// Small hand-made BMP and icon files for the reader tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace imageio_test {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
inline void Set32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}
inline void Append(Bytes& b, const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
}

// An information header of `size` bytes (12 for the core header); masks go to offset 40 of
// headers of 52 bytes and more.
struct DibSpec {
    uint32_t size = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bpp = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    std::vector<uint32_t> masks = {}; // inside the header when size >= 52
};

inline Bytes InfoHeader(const DibSpec& s) {
    Bytes b;
    Put32(b, s.size);
    if (s.size == 12) {
        Put16(b, uint16_t(s.width));
        Put16(b, uint16_t(s.height));
        Put16(b, s.planes);
        Put16(b, s.bpp);
        return b;
    }
    Put32(b, uint32_t(s.width));
    Put32(b, uint32_t(s.height));
    Put16(b, s.planes);
    Put16(b, s.bpp);
    Put32(b, s.compression);
    Put32(b, 0);    // size of the image
    Put32(b, 2835); // pixels per metre
    Put32(b, 2835);
    Put32(b, s.clrUsed);
    Put32(b, 0);
    b.resize(s.size, 0);
    if (s.size >= 52)
        for (size_t i = 0; i < s.masks.size(); ++i)
            Set32(b, 40 + 4 * i, s.masks[i]);
    return b;
}

// A whole file: header, then `table` (colour entries or masks, as bytes), then the pixels.
// bfOffBits is where the pixels begin unless `offBits` says otherwise.
inline Bytes BmpFile(const DibSpec& s, const Bytes& table, const Bytes& pixels,
                     int64_t offBits = -1) {
    const Bytes info = InfoHeader(s);
    Bytes b{'B', 'M'};
    const uint32_t dataAt = uint32_t(14 + info.size() + table.size());
    Put32(b, uint32_t(dataAt + pixels.size()));
    Put32(b, 0);
    Put32(b, offBits < 0 ? dataAt : uint32_t(offBits));
    Append(b, info);
    Append(b, table);
    Append(b, pixels);
    return b;
}

// Colour entries blue, green, red, 0 from 0xRRGGBB values.
inline Bytes Quads(std::initializer_list<uint32_t> colours) {
    Bytes b;
    for (uint32_t c : colours)
        Put32(b, c & 0xFFFFFF);
    return b;
}

inline Bytes Words(std::initializer_list<uint32_t> words) {
    Bytes b;
    for (uint32_t w : words)
        Put32(b, w);
    return b;
}

} // namespace imageio_test
