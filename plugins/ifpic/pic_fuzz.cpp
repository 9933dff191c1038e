// Fuzz target: the PIC decoder on arbitrary bytes, through the same calls the entry points make.
#include "plugins/ifpic/pic_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const pic::Bytes bytes(data, size);
    (void)pic::LooksLikePic(bytes.substr(0, 2048));
    SpiPictureInfo info{};
    (void)pic::ReadInfo(bytes, info);
    spi::DibOutput out;
    (void)pic::Decode(bytes, out);
    return 0;
}
