// The GIF plug-in's entry points.
#include <cstdint>
#include <cstring>
#include <span>

#include "plugins/common/spi_entry.h"
#include "plugins/ifgif/gif_decoder.h"

namespace {

const char* const kPluginInfo[] = {
    "00IN",
    "Zorvane GIF plug-in 1.01",
    "*.gif",
    "GIF picture",
};

bool IsGifSignature(std::span<const uint8_t> head) {
    return head.size() >= 6 && (std::memcmp(head.data(), "GIF87a", 6) == 0 ||
                                std::memcmp(head.data(), "GIF89a", 6) == 0);
}

} // namespace

SPI_PLUGIN_ENTRY_POINTS(kPluginInfo, IsGifSignature, ifgif::ReadGifInfo, ifgif::DecodeGif)
