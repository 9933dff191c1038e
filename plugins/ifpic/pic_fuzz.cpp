// Fuzz target: the PIC decoder on arbitrary bytes, through the same calls the entry points make.
#include "plugins/common/spi_fuzz.h"
#include "plugins/ifpic/pic_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    spi::fuzz::CallWholeFileDecoder(pic::Bytes(data, size), pic::LooksLikePic, pic::ReadInfo,
                                    pic::Decode);
    return 0;
}
