// Transfer of device-independent bitmap rows into a device bitmap: the one pixel conversion that
// serves both the pictures plug-ins deliver and the BMP/ICO files we read ourselves.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/dib_layout.h"

namespace platform {

// Compression values beyond those of dib_layout.h that the transfer understands.
inline constexpr uint32_t kDibCompressionAlphaBitfields = 6; // four masks: red, green, blue, alpha

// A device bitmap's pixels: top-down rows of 32-bit values 0xAARRGGBB (the layout of
// QImage::Format_RGB32/ARGB32), with its stride in bytes.
struct PixelTarget {
    uint32_t* pixels;
    size_t strideBytes;
    int32_t width;
    int32_t height;
};

// Like SetDIBits with DIB_RGB_COLORS: `info` is a DibInfoHeader followed by its colour table
// (or three/four bitfield masks), `infoBytes` how many bytes of it are readable; `bits`/`bitsBytes`
// the rows. startScan/scanLines count rows from the bottom of the picture. 1, 4, 8, 16, 24 and
// 32 bits per pixel, BI_RGB and BI_BITFIELDS, bottom-up (positive height) and top-down
// (negative height). Returns the rows transferred, 0 on a bad header or short buffer; never reads
// outside the given buffers. Alpha: 0xFF unless `keepAlpha` and a 32-bit alpha mask/channel.
//
// Details:
// - `bits` holds the band of rows startScan .. startScan + scanLines - 1 (counted from the bottom
//   of the picture, in either orientation), stored in the DIB's own order: bottom row first for a
//   positive height, top row first for a negative one. scanLines beyond the picture's top are
//   ignored, so passing a negative height converted to unsigned transfers the whole picture.
// - The DIB's top-left pixel lands on the target's top-left; what falls outside is clipped.
//   Clipping does not change the count returned: it is the number of band rows read.
// - Header sizes 40, 52, 56, 108 and 124. Masks follow a 40-byte header and lie inside the
//   larger ones (offset 40; the alpha mask at 52 from 56 bytes on, or after the three masks of a
//   40-byte header with kDibCompressionAlphaBitfields). Masks must be contiguous runs of bits.
// - 2 bits per pixel is accepted as well. The colour table has biClrUsed entries, or 2^bpp when
//   that is 0, at most 2^bpp; all of them must be readable. An index beyond it gives black.
// - 16 bits with BI_RGB is 5-5-5; every channel narrower than 8 bits is widened by repeating
//   its bits (0x1F -> 0xFF), one wider than 8 bits keeps its top 8.
// - The last row needs no padding after its last pixel.
// - With `keepAlpha`, a 32-bit BI_RGB picture keeps its fourth byte, a bitfield picture its
//   alpha mask (16 or 32 bits); without, or without alpha, every pixel is opaque.
int SetDIBits(const PixelTarget& target, uint32_t startScan, uint32_t scanLines, const void* bits,
              size_t bitsBytes, const void* info, size_t infoBytes, bool keepAlpha = false);

} // namespace platform
