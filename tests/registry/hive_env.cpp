#include "hive_env.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace registry_test {

void HiveEnv::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvane-registry-XXXXXX");
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
}

void HiveEnv::TearDown() {
    unsetenv("XDG_CONFIG_HOME");
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::vector<std::filesystem::path> HiveEnv::SetAsideFiles() const {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(HiveFolder(), ec)) {
        if (entry.path().filename().string().find(".corrupt-") != std::string::npos) {
            found.push_back(entry.path());
        }
    }
    return found;
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

void HiveEnv::Store(const std::string& keyPath, const std::string& name, uint32_t type,
                    const std::string& bytes) {
    platform::RegKey key = platform::kRegNoKey;
    ASSERT_EQ(platform::RegCreateKeyEx(platform::kHkeyCurrentUser, keyPath, &key),
              platform::kRegSuccess);
    ASSERT_EQ(platform::RegSetValueEx(key, name, type, bytes), platform::kRegSuccess);
    platform::RegCloseKey(key);
}

platform::RegValue HiveEnv::Stored(const std::string& keyPath, const std::string& name) {
    platform::RegKey key = platform::kRegNoKey;
    platform::RegValue value;
    EXPECT_EQ(platform::RegOpenKeyEx(platform::kHkeyCurrentUser, keyPath, &key),
              platform::kRegSuccess);
    EXPECT_EQ(platform::RegQueryValueEx(key, name, &value.type, &value.data), platform::kRegSuccess)
        << name;
    platform::RegCloseKey(key);
    return value;
}

} // namespace registry_test
