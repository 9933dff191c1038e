// Timing a plug-in's GetPicture as the host calls it: bytes in memory, both handles delivered and
// freed. Best of several runs, since other work shares the machine.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "plugins/spi.h"

namespace benchsupport {

struct DecodeTiming {
    double bestMs = 0;
    int32_t width = 0, height = 0;
    int32_t rc = 0; // the first failure ends the runs

    double megapixels() const { return double(width) * height / 1e6; }
    double megapixelsPerSecond() const { return megapixels() / (bestMs / 1000); }
};

inline DecodeTiming TimeGetPicture(SpiGetPictureFn getPicture, const std::vector<uint8_t>& bytes,
                                   int runs) {
    DecodeTiming result;
    for (int run = 0; run < runs; ++run) {
        HGLOBAL32 info = 0, bits = 0;
        const auto start = std::chrono::steady_clock::now();
        result.rc = getPicture(reinterpret_cast<const char*>(bytes.data()), int32_t(bytes.size()),
                               SPI_INPUT_MEMORY, &info, &bits, nullptr, 0);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (result.rc != SPI_OK) return result;
        const auto* header = static_cast<const DibInfoHeader*>(GlobalLock(info));
        result.width = header->biWidth;
        result.height = header->biHeight;
        GlobalUnlock(info);
        GlobalFree(info);
        GlobalFree(bits);
        if (run == 0 || ms < result.bestMs) result.bestMs = ms;
    }
    return result;
}

} // namespace benchsupport
