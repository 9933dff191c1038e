// The script that the test plug-ins follow: what each call returns, and a record of every call.
// A shared library that the test executable and every test plug-in link, so the script outlives
// the loading and releasing of a plug-in for each picture.
#pragma once

#include "plugins/spi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace spiscript {

struct Call {
    std::string plugin; // file stem: "ifjpeg"
    std::string entry;  // "GetPictureInfo", "GetPicture", "GetPreview", "load", "unload"
    std::string source;
    int32_t offset = 0;
    uint32_t flag = 0;
    bool progressIsNull = true;
    int32_t progressData = 0;
};

struct InfoReply {
    int32_t result = SPI_OK;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t xDensity = 1;
    uint16_t yDensity = 1;
    bool withTextInfo = false; // allocate a text-information handle the caller must free
};

struct PictureReply {
    int32_t result = SPI_OK;
    int32_t width = 1;
    int32_t height = 1; // negative: top-down rows
    uint16_t bitCount = 24;
    uint32_t clrUsed = 0;
    // Colour table entries written, or -1 for as many as the header implies (capped at 256).
    int32_t tableEntries = -1;
    // Every pixel: the colour (24/32 bits) or the index (8 bits or less), 0x00RRGGBB.
    uint32_t pixel = 0x00336699;
    // Replaces the information or bits handle delivered when non-zero (bad handles, short blocks).
    HGLOBAL32 infoHandle = 0;
    HGLOBAL32 bitsHandle = 0;
    // Bytes of the information block when > 0 (to deliver a block shorter than a header).
    int32_t infoBytes = 0;
};

// Forgets every reply and call.
SPI_EXPORT void Reset();
// Replies are used first in, first out, per plug-in and entry point. An unscripted call returns
// SPI_INTERNAL_ERROR.
SPI_EXPORT void QueueInfo(const std::string& plugin, InfoReply reply);
SPI_EXPORT void QueuePicture(const std::string& plugin, const std::string& entry,
                             PictureReply reply);
SPI_EXPORT const std::vector<Call>& Calls();
// Runs inside every decoding call, before it answers (to look at the caller meanwhile).
SPI_EXPORT void SetDuringCall(std::function<void(const Call&)> hook);

// The test plug-ins' side.
SPI_EXPORT int32_t OnGetPictureInfo(const char* plugin, const char* source, int32_t offset,
                                    uint32_t flag, SpiPictureInfo* info);
SPI_EXPORT int32_t OnGetPicture(const char* plugin, const char* entry, const char* source,
                                int32_t offset, uint32_t flag, HGLOBAL32* bitmapInfo,
                                HGLOBAL32* bits, SpiProgressCallback progress, int32_t data);
SPI_EXPORT void OnLibraryEvent(const char* plugin, const char* event);

} // namespace spiscript
