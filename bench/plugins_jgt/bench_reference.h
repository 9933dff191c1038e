// The libraries' own decoders in this process, doing the work a plug-in does: read the file and
// decode it into memory rows (no DIB, no memory handles).
#pragma once

#include <cstdint>
#include <filesystem>

namespace bench {

// Each returns a checksum of what it decoded, so the work cannot be optimised away.
uint64_t LibjpegDecode(const std::filesystem::path& path, int scaleDenominator);
uint64_t GiflibDecode(const std::filesystem::path& path);
uint64_t LibtiffDecode(const std::filesystem::path& path);

} // namespace bench
