// Fuzz target: the Pi decoder on arbitrary bytes, as GetPicture runs it. A few bits of stream can
// legitimately fill a picture of the largest allowed size, which is slow under the sanitizers; such
// headers are only parsed, so that the fuzzer spends its time on the stream.
#include "plugins/common/spi_fuzz.h"
#include "plugins/ifpi/pi_decoder.h"

namespace {
constexpr uint64_t kLargestDecodedPixels = uint64_t(1) << 22;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    pi::Header header;
    if (pi::ReadHeader(bytes, header) == SPI_OK &&
        uint64_t(header.width) * header.height > kLargestDecodedPixels)
        return 0;
    spi::fuzz::CallDecoder(bytes, pi::Decode);
    return 0;
}
