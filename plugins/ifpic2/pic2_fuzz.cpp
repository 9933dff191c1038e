// Fuzz target: the PIC2 decoder on arbitrary bytes, through the same calls the entry points make.
#include "plugins/common/spi_fuzz.h"
#include "plugins/ifpic2/pic2_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    spi::fuzz::CallWholeFileDecoder(pic2::Bytes(data, size), pic2::LooksLikePic2, pic2::ReadInfo,
                                    pic2::Decode);
    return 0;
}
