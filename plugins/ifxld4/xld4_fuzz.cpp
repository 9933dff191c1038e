// Fuzz target: the XLD4 (.Q4) decoder on arbitrary bytes, as GetPicture runs it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "plugins/ifxld4/xld4_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    spi::Guarded([&] {
        spi::DibOutput out;
        return xld4::Decode(bytes, spi::Progress(), out);
    });
    return 0;
}
