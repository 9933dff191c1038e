// Fuzz target: the MAG decoder (header and data) on arbitrary bytes, as GetPicture runs it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "plugins/ifmag/mag_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    spi::Guarded([&] {
        spi::DibOutput out;
        return mag::Decode(bytes, spi::Progress(), out);
    });
    return 0;
}
