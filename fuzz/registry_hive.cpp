// Parses arbitrary bytes as a registry hive file. A text that parses must write back to a text
// that parses to the same hive, and that text must be stable.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry_hive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto hive = platform::ParseHive(text);
    if (!hive) return 0;
    const std::string written = platform::SerializeHive(*hive);
    const auto reread = platform::ParseHive(written);
    if (!reread || !(*reread == *hive) || platform::SerializeHive(*reread) != written) std::abort();
    return 0;
}
