// Fuzz target: the PIC2 decoder on arbitrary bytes, through the same calls the entry points make.
#include "plugins/ifpic2/pic2_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const pic2::Bytes bytes(data, size);
    (void)pic2::LooksLikePic2(bytes.substr(0, 2048));
    SpiPictureInfo info{};
    (void)pic2::ReadInfo(bytes, info);
    spi::DibOutput out;
    (void)pic2::Decode(bytes, out);
    return 0;
}
