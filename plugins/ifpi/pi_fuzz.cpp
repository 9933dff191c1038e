// Fuzz target: the Pi decoder on arbitrary bytes, as GetPicture runs it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "plugins/ifpi/pi_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    spi::Guarded([&] {
        spi::DibOutput out;
        return pi::Decode(bytes, spi::Progress(), out);
    });
    return 0;
}
