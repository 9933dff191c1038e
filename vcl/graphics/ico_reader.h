// Our own reader of icon (.ico) and cursor (.cur) files: the directory, the choice of the entry
// to show, and its BMP or PNG image.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "vcl/graphics/bmp_reader.h"

namespace vcl::imageio {

// The entry an icon is shown with: the largest one, of those the deepest, of those the first in
// the directory. Sizes and depths are taken from the entries' own headers (directories often
// say 0). When that entry cannot be read, the next best one that can is shown. `out` is
// Format_ARGB32 when the image has transparency, else Format_RGB32.
ReadStatus ReadIco(std::span<const uint8_t> file, QImage& out, std::string* reason = nullptr);

// The number of entries of a readable directory, else 0.
size_t IcoEntryCount(std::span<const uint8_t> file);

// One entry by its place in the directory.
ReadStatus ReadIcoEntry(std::span<const uint8_t> file, size_t index, QImage& out,
                        std::string* reason = nullptr);

} // namespace vcl::imageio
