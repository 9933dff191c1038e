// Fuzz target: the XLD4 (.Q4) decoder on arbitrary bytes, as GetPicture runs it.
#include "plugins/common/spi_fuzz.h"
#include "plugins/ifxld4/xld4_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    spi::fuzz::CallDecoder({data, size}, xld4::Decode);
    return 0;
}
