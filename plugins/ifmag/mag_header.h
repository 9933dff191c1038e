// The MAG (MAKI02) file header: signature, text area, the 32-byte header and its palette.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace mag {

inline constexpr size_t kSignatureBytes = 8;
inline constexpr size_t kHeaderBytes = 32;
inline constexpr uint8_t kTextEnd = 0x1A;
inline constexpr uint8_t kMode200Lines = 0x01;
inline constexpr uint8_t kMode256Colours = 0x80;
inline constexpr uint8_t kMachineMsx = 0x03;

struct Header {
    size_t start = 0; // the header's first byte; its offsets count from here
    uint8_t machine = 0;
    uint8_t machineFlags = 0;
    uint8_t screenMode = 0;
    uint16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0; // inclusive corners on the saving screen
    uint32_t flagAOffset = 0;
    uint32_t flagBOffset = 0;
    uint32_t flagBSize = 0;
    uint32_t pixelOffset = 0;
    uint32_t pixelSize = 0;

    int bitsPerPixel() const { return screenMode & kMode256Colours ? 8 : 4; }
    uint32_t paletteEntries() const { return screenMode & kMode256Colours ? 256 : 16; }
    int32_t width() const { return int32_t(x2) - int32_t(x1) + 1; }
    int32_t height() const { return int32_t(y2) - int32_t(y1) + 1; }
    // Pixels of a 200-line picture are twice as tall as wide.
    uint16_t xDensity() const { return screenMode & kMode200Lines ? 2 : 1; }
    uint16_t yDensity() const { return 1; }
    size_t paletteOffset() const { return start + kHeaderBytes; }

    // The stored area is widened to whole flag units: one flag byte stands for four data bytes,
    // 8 pixels of 16 colours or 4 of 256.
    size_t pixelsPerByte() const { return bitsPerPixel() == 4 ? 2 : 1; }
    size_t leftByte() const { return (x1 / pixelsPerByte()) & ~size_t(3); }
    size_t bytesPerRow() const { return (((x2 / pixelsPerByte()) + 4) & ~size_t(3)) - leftByte(); }
    size_t flagsPerRow() const { return bytesPerRow() / 4; }
    size_t cropLeft() const { return x1 - leftByte() * pixelsPerByte(); } // pixels before x1
    // Flag A ends where flag B begins; in a file that puts it last, at the end of the file.
    uint64_t flagASize(uint64_t fileSize) const {
        return flagBOffset > flagAOffset
                   ? flagBOffset - flagAOffset
                   : fileSize - std::min<uint64_t>(fileSize, start + flagAOffset);
    }
};

// Whether the bytes begin with the MAG signature.
bool HasSignature(std::span<const uint8_t> head);

// Parses and checks the header of a whole file: SPI_NOT_SUPPORTED for another format (or an MSX
// colour mode that is no palette picture), SPI_NO_MEMORY beyond the plug-in limits,
// SPI_FILE_READ_ERROR when the file ends before the palette, before a data stream begins or
// inside the first half of the flags, SPI_BROKEN_DATA for inverted corners or a declared flag
// area far too small for the picture (as a hostile header claiming a huge picture has).
int32_t ReadHeader(std::span<const uint8_t> file, Header& header);

} // namespace mag
