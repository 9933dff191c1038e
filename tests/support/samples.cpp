#include "tests/support/samples.h"

#include <sstream>

namespace testsupport {

bool IsTaggedBroken(const std::filesystem::path& sample) {
    std::ifstream manifest(SamplesDir() / "MANIFEST.tsv");
    const std::string name = sample.filename().string();
    std::string line;
    while (std::getline(manifest, line)) {
        if (line.find(name) == std::string::npos) continue;
        return line.find("BROKEN") != std::string::npos;
    }
    return false;
}

} // namespace testsupport
