// Opening a file in the application the desktop associates with its type.
#pragma once

#include <string>

namespace platform {

// The program that opens files for the desktop; found on PATH.
inline constexpr const char* kOpenCommand = "xdg-open";

// Starts `kOpenCommand file` detached, with `folder` as its working directory (the caller's own
// when `folder` is empty or cannot be entered). Returns at once; the opener's outcome is its own.
// Returns false only when the opener could not be started at all.
bool ShellOpen(const std::string& file, const std::string& folder);

} // namespace platform
