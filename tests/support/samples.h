// The optional collection of real sample pictures beside the project. Tests that use it skip,
// saying why, when it is absent.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testsupport {

inline std::filesystem::path SamplesDir() {
    return ZORVANE_SAMPLES_DIR;
}

inline bool HaveSamples() {
    return std::filesystem::is_directory(SamplesDir() / "files");
}

// Every regular file of samples/files/<format>, sorted.
inline std::vector<std::filesystem::path> SampleFiles(const std::string& format) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(SamplesDir() / "files" / format, ec))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether the manifest tags the sample as deliberately malformed.
bool IsTaggedBroken(const std::filesystem::path& sample);

} // namespace testsupport

#define ZORVANE_REQUIRE_SAMPLES()                                                                  \
    do {                                                                                           \
        if (!testsupport::HaveSamples())                                                           \
            GTEST_SKIP() << "sample pictures not found at " << testsupport::SamplesDir();          \
    } while (0)
