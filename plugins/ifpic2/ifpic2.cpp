// ifpic2.spi: PIC2 pictures.
#include "plugins/common/spi_entry.h"
#include "plugins/ifpic2/pic2_decoder.h"

namespace {

const char* const kInfo[] = {"00IN", "Zorvane PIC2 plug-in 1.01", "*.p2", "PIC2"};

bool LooksLikePic2(std::span<const uint8_t> head) {
    return pic2::LooksLikePic2({head.data(), head.size()});
}

const auto kDecode = spi::WithStartAndEndProgress(pic2::Decode);

} // namespace

SPI_PLUGIN_ENTRY_POINTS(kInfo, LooksLikePic2, pic2::ReadInfo, kDecode)
SPI_PLUGIN_WITHOUT_PREVIEW()
