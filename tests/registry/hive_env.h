// A private configuration folder for one test: XDG_CONFIG_HOME points at a fresh temporary
// folder while the fixture lives, so the hive file starts absent.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry.h"

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

    // Raw access to a key, as another program or an older version would write and read it,
    // bypassing the typed reads and writes.
    void Store(const std::string& keyPath, const std::string& name, uint32_t type,
               const std::string& bytes);
    platform::RegValue Stored(const std::string& keyPath, const std::string& name);

private:
    std::filesystem::path root_;
};

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& bytes);

} // namespace registry_test
