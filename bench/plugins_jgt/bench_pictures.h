// The benchmark's pictures: one 4000 × 3000 scene written as baseline and progressive JPEG,
// 256-colour GIF and TIFF (RGB with LZW, and 8-bit palette), made once and kept in a folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct BenchPicture {
    std::string label;
    std::filesystem::path path;
};

// Writes the missing files into `folder`; returns them all.
std::vector<BenchPicture> EnsurePictures(const std::filesystem::path& folder);

} // namespace bench
