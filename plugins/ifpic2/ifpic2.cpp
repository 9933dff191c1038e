// ifpic2.spi: PIC2 pictures.
#include "plugins/common/spi_input.h"
#include "plugins/ifpic/spi_entry.h"
#include "plugins/ifpic2/pic2_decoder.h"

namespace {

const char* const kInfo[] = {"00IN", "Zorvane PIC2 plug-in 1.01", "*.p2", "PIC2"};

} // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t infoNumber, char* buffer, int32_t bufferLength) {
    return spi::CopyInfoString(kInfo, int32_t(std::size(kInfo)), infoNumber, buffer, bufferLength);
}

SPI_EXPORT int32_t IsSupported(const char* /*fileName*/, uintptr_t data) {
    return pic::Guarded([&] {
        const std::vector<uint8_t> head = spi::SniffHead(data);
        return int32_t(pic2::LooksLikePic2({head.data(), head.size()}));
    });
}

SPI_EXPORT int32_t GetPictureInfo(const char* source, int32_t offsetOrLength, uint32_t flag,
                                  SpiPictureInfo* info) {
    return pic::RunGetPictureInfo(pic2::ReadInfo, source, offsetOrLength, flag, info);
}

SPI_EXPORT int32_t GetPicture(const char* source, int32_t offsetOrLength, uint32_t flag,
                              HGLOBAL32* bitmapInfo, HGLOBAL32* bits, SpiProgressCallback progress,
                              int32_t progressData) {
    return pic::RunGetPicture(pic2::Decode, source, offsetOrLength, flag, bitmapInfo, bits,
                              progress, progressData);
}

// No reduced decoding: the host asks for previews of JPEG pictures only.
SPI_EXPORT int32_t GetPreview(const char*, int32_t, uint32_t, HGLOBAL32*, HGLOBAL32*,
                              SpiProgressCallback, int32_t) {
    return SPI_NOT_IMPLEMENTED;
}

} // extern "C"
