// A whole file to the icon reader: the chosen entry, then every entry on its own.
#include <cstddef>
#include <cstdint>

#include "fuzz/image_checks.h"
#include "vcl/graphics/ico_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    QImage image;
    CheckReaderResult(vcl::imageio::ReadIco(bytes, image), image);
    const size_t entries = vcl::imageio::IcoEntryCount(bytes);
    for (size_t i = 0; i < entries && i < 16; ++i) {
        QImage entry;
        CheckReaderResult(vcl::imageio::ReadIcoEntry(bytes, i, entry), entry);
    }
    return 0;
}
