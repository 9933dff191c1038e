// A whole file to the BMP reader, and the same bytes as a bare icon DIB.
#include <cstddef>
#include <cstdint>

#include "fuzz/image_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    QImage image;
    CheckReaderResult(vcl::imageio::ReadBmp(bytes, image), image);
    if (size > 14) {
        QImage dib;
        CheckReaderResult(vcl::imageio::ReadDib(bytes.subspan(14), {.iconMask = true}, dib), dib);
    }
    return 0;
}
