// Fuzz target: the MAG decoder (header and data) on arbitrary bytes, as GetPicture runs it.
#include "plugins/common/spi_fuzz.h"
#include "plugins/ifmag/mag_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    spi::fuzz::CallDecoder({data, size}, mag::Decode);
    return 0;
}
