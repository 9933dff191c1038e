// The two file layouts: header fields the player needs and the checked record chain.
#pragma once

#include "vcl/metafile/document.h"

#include <QRect>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vcl::metafile {

// One record of the chain: its type and where its parameters lie in the file.
struct RecordRef {
    uint32_t type;
    uint32_t offset; // first parameter byte
    uint32_t size;   // parameter bytes
};

struct WmfHeader {
    bool placeable = false;
    QRect bounds; // placeable: the picture's bounds in logical units (right/bottom exclusive)
    uint16_t unitsPerInch = 0;
    uint16_t objectCount = 0;
};

struct EmfHeader {
    QRect bounds; // inclusive, reference-device pixels
    QRect frame;  // inclusive, 0.01 mm
    uint32_t handleCount = 0;
    int32_t devicePixelsX = 0, devicePixelsY = 0;
    int32_t deviceMillimetersX = 0, deviceMillimetersY = 0;
};

LoadStatus ParseWmf(std::span<const uint8_t> file, WmfHeader& header,
                    std::vector<RecordRef>& records, std::string& reason);
LoadStatus ParseEmf(std::span<const uint8_t> file, EmfHeader& header,
                    std::vector<RecordRef>& records, std::string& reason);

inline constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
inline constexpr uint32_t kEmfSignature = 0x464D4520u; // " EMF"

} // namespace vcl::metafile
