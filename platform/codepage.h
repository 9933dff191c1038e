// Turning file-system bytes into text to show. Names are kept as bytes everywhere; only the
// display decodes them: as UTF-8 when they are valid UTF-8, otherwise as code page 932 (old
// Japanese archives unpacked on Linux keep their names in it).
#pragma once

#include <string>
#include <string_view>

namespace platform {

bool IsValidUtf8(std::string_view bytes);

// Code page 932 bytes as UTF-8. A byte that is not part of any character of the code page shows
// as U+FFFD and decoding goes on after it.
std::string DecodeCp932(std::string_view bytes);

// The UTF-8 text to show for file-system bytes.
std::string DisplayName(std::string_view bytes);

} // namespace platform
