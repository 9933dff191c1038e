// ifpic.spi: X68000-family PIC pictures.
#include "plugins/common/spi_entry.h"
#include "plugins/ifpic/pic_decoder.h"

namespace {

const char* const kInfo[] = {"00IN", "Zorvane PIC plug-in 1.01", "*.pic", "X68000 PIC"};

bool LooksLikePic(std::span<const uint8_t> head) {
    return pic::LooksLikePic({head.data(), head.size()});
}

const auto kDecode = spi::WithStartAndEndProgress(pic::Decode);

} // namespace

SPI_PLUGIN_ENTRY_POINTS(kInfo, LooksLikePic, pic::ReadInfo, kDecode)
SPI_PLUGIN_WITHOUT_PREVIEW()
