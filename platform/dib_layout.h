/* Device-independent bitmap layout: the header and colour table that plug-ins deliver and that the
   BMP reader finds on disk. Plain C so that plug-ins can include it. Little-endian, byte-packed. */
#ifndef ZORVANE_PLATFORM_DIB_LAYOUT_H
#define ZORVANE_PLATFORM_DIB_LAYOUT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)

/* The 40-byte information header. A positive height means the rows are stored bottom-up. */
typedef struct DibInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} DibInfoHeader;

/* One colour-table entry: blue, green, red, reserved. */
typedef struct DibRgbQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
} DibRgbQuad;

#pragma pack(pop)

enum {
    DIB_COMPRESSION_RGB = 0,
    DIB_COMPRESSION_RLE8 = 1,
    DIB_COMPRESSION_RLE4 = 2,
    DIB_COMPRESSION_BITFIELDS = 3
};

/* Bytes in one stored row: rows are padded to a multiple of four bytes. */
static inline uint64_t DibRowStride(uint32_t width, uint32_t bitsPerPixel) {
    return (((uint64_t)width * bitsPerPixel + 31u) / 32u) * 4u;
}

#ifdef __cplusplus
}
#endif

#endif
