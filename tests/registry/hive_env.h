// A private configuration folder for one test: XDG_CONFIG_HOME points at a fresh temporary
// folder while the fixture lives, so the hive file starts absent.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace registry_test {

class HiveEnv : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path ConfigHome() const { return root_; }
    std::filesystem::path HiveFolder() const { return root_ / "zorvane"; }
    std::filesystem::path HiveFile() const { return HiveFolder() / "registry-HKCU.txt"; }
    // Files set aside next to the hive.
    std::vector<std::filesystem::path> SetAsideFiles() const;

private:
    std::filesystem::path root_;
};

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& bytes);

} // namespace registry_test
