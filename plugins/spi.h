/* The picture plug-in contract: entry points, the picture-information record and result codes.
   A plug-in is a shared object with a fixed file name (ifjpeg.spi, ...). It never throws, never
   prints and never exits; every failure is a result code. */
#ifndef ZORVANE_PLUGINS_SPI_H
#define ZORVANE_PLUGINS_SPI_H

#include <stdint.h>

#include "platform/dib_layout.h"
#include "platform/memhandle.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes of every entry point. */
enum {
    SPI_NOT_IMPLEMENTED = -1,
    SPI_OK = 0,
    SPI_ABORTED = 1,         /* the progress callback asked to stop */
    SPI_NOT_SUPPORTED = 2,   /* not this plug-in's format */
    SPI_BROKEN_DATA = 3,     /* the format is right, the content is not */
    SPI_NO_MEMORY = 4,       /* memory could not be allocated, or the picture is too large */
    SPI_MEMORY_ERROR = 5,    /* a memory handle could not be locked */
    SPI_FILE_READ_ERROR = 6, /* the file could not be opened or read, or ends too early */
    SPI_RESERVED = 7,
    SPI_INTERNAL_ERROR = 8
};

/* Input flag, low three bits: the first argument names a file, or points at the file's bytes
   in memory (then the second argument is their count). */
enum { SPI_INPUT_FILE = 0, SPI_INPUT_MEMORY = 1, SPI_INPUT_MASK = 7 };

#pragma pack(push, 1)
/* Picture information, 26 bytes. */
typedef struct SpiPictureInfo {
    int32_t left; /* placement of the picture */
    int32_t top;
    int32_t width; /* pixels */
    int32_t height;
    uint16_t xDensity; /* horizontal density of the pixels */
    uint16_t yDensity; /* vertical density */
    int16_t bitsPerPixel;
    HGLOBAL32 textInfo; /* text information (comments), 0 when there is none; the caller frees it */
} SpiPictureInfo;
#pragma pack(pop)

/* Progress: called with (done, total, data); a nonzero return asks the plug-in to stop. */
typedef int32_t (*SpiProgressCallback)(int32_t done, int32_t total, int32_t data);

/* GetPluginInfo(n): 0 the interface version "00IN"; 1 the plug-in's name and version; 2k+2 the
   file patterns of format k ("*.jpg;*.jpe"); 2k+3 its description. Returns the bytes written
   (without the terminating zero, which is always written when it fits), 0 past the end. */
typedef int32_t (*SpiGetPluginInfoFn)(int32_t infoNumber, char* buffer, int32_t bufferLength);
/* IsSupported: nonzero when the file is in this plug-in's format. `data` is either a file
   descriptor (values below 0x10000) or a pointer to at least the first 2 KiB of the file. */
typedef int32_t (*SpiIsSupportedFn)(const char* fileName, uintptr_t data);
/* GetPictureInfo(name or bytes, offset or byte count, flag, record). */
typedef int32_t (*SpiGetPictureInfoFn)(const char* source, int32_t offsetOrLength, uint32_t flag,
                                       SpiPictureInfo* info);
/* GetPicture / GetPreview: deliver two unlocked handles, the bitmap information (header and
   colour table) and the pixel rows, which the caller frees. */
typedef int32_t (*SpiGetPictureFn)(const char* source, int32_t offsetOrLength, uint32_t flag,
                                   HGLOBAL32* bitmapInfo, HGLOBAL32* bits,
                                   SpiProgressCallback progress, int32_t progressData);

#define SPI_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
}
#endif

#endif
