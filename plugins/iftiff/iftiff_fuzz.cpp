// Fuzz target: the plug-in's entry points on arbitrary bytes in memory.
#include "plugins/common/spi_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    spi::fuzz::CallEntryPoints(data, size, GetPictureInfo, {GetPicture});
    return 0;
}
