#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "hive_env.h"
#include "platform/registry.h"

namespace {

using namespace std::string_literals;
using namespace platform;
using registry_test::HiveEnv;
using registry_test::ReadFile;
using registry_test::WriteFile;

class RegistryApi : public HiveEnv {
protected:
    RegKey Create(const char* path, RegDisposition* disposition = nullptr) {
        RegKey key = kRegNoKey;
        EXPECT_EQ(RegCreateKeyEx(kHkeyCurrentUser, path, &key, disposition), kRegSuccess);
        return key;
    }
};

TEST_F(RegistryApi, HiveFileFollowsTheConfigurationFolder) {
    EXPECT_EQ(RegHiveFilePath(), HiveFile().string());
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    const char* home = getenv("HOME");
    if (home && home[0] == '/') {
        EXPECT_EQ(RegHiveFilePath(), std::string(home) + "/.config/zorvane/registry-HKCU.txt");
    }
}

TEST_F(RegistryApi, CreateOpenAndDisposition) {
    RegKey key = kRegNoKey;
    EXPECT_EQ(RegOpenKeyEx(kHkeyCurrentUser, "Software\\Quillat", &key), kRegNotFound);
    EXPECT_FALSE(std::filesystem::exists(HiveFile())); // opening creates nothing

    RegDisposition disposition;
    const RegKey created = Create("Software\\Quillat", &disposition);
    EXPECT_EQ(disposition, RegDisposition::CreatedNewKey);
    EXPECT_EQ(ReadFile(HiveFile()), "# zorvane registry hive 1\n[Software]\n[Software/Quillat]\n");
    const RegKey again = Create("software\\QUILLAT", &disposition);
    EXPECT_EQ(disposition, RegDisposition::OpenedExistingKey);
    EXPECT_EQ(RegOpenKeyEx(kHkeyCurrentUser, "Software", &key), kRegSuccess);
    for (RegKey k : {created, again, key})
        EXPECT_EQ(RegCloseKey(k), kRegSuccess);
}

TEST_F(RegistryApi, BadArgumentsAndHandles) {
    RegKey key = kRegNoKey;
    for (const char* path : {"\\Software", "Software\\", "a\\\\b"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(RegCreateKeyEx(kHkeyCurrentUser, path, &key), kRegBadPathName);
    }
    EXPECT_EQ(RegCreateKeyEx(kHkeyCurrentUser, std::string(256, 'k'), &key), kRegBadPathName);
    EXPECT_EQ(RegCreateKeyEx(kHkeyCurrentUser, "K", nullptr), kRegInvalidParameter);
    const RegKey open = Create("K");
    EXPECT_EQ(RegSetValueEx(open, "a\0b"s, kRegSz, "x"), kRegInvalidParameter);
    EXPECT_EQ(RegCloseKey(open), kRegSuccess);
    // A closed handle and one never issued both fail without touching the hive.
    for (RegKey stale : {open, RegKey(12345), kRegNoKey}) {
        EXPECT_EQ(RegSetValueEx(stale, "v", kRegSz, "x"), kRegInvalidHandle);
        EXPECT_EQ(RegQueryValueEx(stale, "v", nullptr, nullptr), kRegInvalidHandle);
        EXPECT_EQ(RegCloseKey(stale), kRegInvalidHandle);
    }
}

TEST_F(RegistryApi, ValuesKeepTypeAndBytesThroughTheFile) {
    const RegValue values[] = {
        {kRegSz, "a\0b\0"s}, {kRegExpandSz, "%x%"}, {kRegDword, "\1\2\3\4"},
        {kRegDword, "\1"},   {kRegBinary, ""},      {kRegBinary, std::string(70000, '\xA5')},
        {7, "\n\r\"\\"},     {kRegNone, ""},        {0xFFFFFFFF, "\0"s},
    };
    const RegKey key = Create("Software\\Types");
    for (size_t i = 0; i < std::size(values); ++i) {
        ASSERT_EQ(RegSetValueEx(key, "v" + std::to_string(i), values[i].type, values[i].data),
                  kRegSuccess);
    }
    RegCloseKey(key);
    const RegKey reopened = Create("Software\\Types");
    for (size_t i = 0; i < std::size(values); ++i) {
        SCOPED_TRACE(i);
        RegValue got;
        ASSERT_EQ(RegQueryValueEx(reopened, "v" + std::to_string(i), &got.type, &got.data),
                  kRegSuccess);
        EXPECT_EQ(got, values[i]);
    }
    EXPECT_EQ(RegQueryValueEx(reopened, "absent", nullptr, nullptr), kRegNotFound);
    RegCloseKey(reopened);
}

TEST_F(RegistryApi, ReplacingAValueKeepsTheOthers) {
    const RegKey key = Create("K");
    ASSERT_EQ(RegSetValueEx(key, "a", kRegSz, "1"), kRegSuccess);
    ASSERT_EQ(RegSetValueEx(key, "b", kRegSz, "2"), kRegSuccess);
    ASSERT_EQ(RegSetValueEx(key, "A", kRegDword, "\5\0\0\0"s), kRegSuccess);
    RegValue a, b;
    ASSERT_EQ(RegQueryValueEx(key, "a", &a.type, &a.data), kRegSuccess);
    ASSERT_EQ(RegQueryValueEx(key, "b", &b.type, &b.data), kRegSuccess);
    EXPECT_EQ(a, (RegValue{kRegDword, "\5\0\0\0"s}));
    EXPECT_EQ(b, (RegValue{kRegSz, "2"}));
    RegCloseKey(key);
}

TEST_F(RegistryApi, CorruptOrUnreadableHiveIsKeptAsideAndStartsFresh) {
    const std::pair<const char*, std::string> cases[] = {
        {"garbage", "\x89PNG\r\n\x1a\n"},
        {"cut in the middle of a line", "# zorvane registry hive 1\n[K]\n\"v\"=sz:\"ab"},
        {"empty file", ""},
    };
    for (const auto& [label, bytes] : cases) {
        SCOPED_TRACE(label);
        std::filesystem::remove_all(HiveFolder());
        WriteFile(HiveFile(), bytes);
        RegKey key = kRegNoKey;
        EXPECT_EQ(RegOpenKeyEx(kHkeyCurrentUser, "K", &key), kRegNotFound); // as on a first run
        const auto aside = SetAsideFiles();
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(ReadFile(aside[0]), bytes); // kept byte for byte
        EXPECT_FALSE(std::filesystem::exists(HiveFile()));
        key = Create("K");
        EXPECT_EQ(RegSetValueEx(key, "v", kRegSz, "new"), kRegSuccess);
        RegCloseKey(key);
    }

    // A second bad file in the same second does not replace the first one set aside.
    WriteFile(HiveFile(), "first");
    RegKey key = kRegNoKey;
    RegOpenKeyEx(kHkeyCurrentUser, "K", &key);
    WriteFile(HiveFile(), "second");
    RegOpenKeyEx(kHkeyCurrentUser, "K", &key);
    std::set<std::string> kept;
    for (const auto& file : SetAsideFiles())
        kept.insert(ReadFile(file));
    EXPECT_TRUE(kept.contains("first"));
    EXPECT_TRUE(kept.contains("second"));

    // A folder where the file belongs cannot be read: set aside too.
    std::filesystem::remove_all(HiveFolder());
    std::filesystem::create_directories(HiveFile());
    key = Create("K");
    EXPECT_EQ(RegSetValueEx(key, "v", kRegSz, "x"), kRegSuccess);
    EXPECT_TRUE(std::filesystem::is_regular_file(HiveFile()));
    EXPECT_EQ(SetAsideFiles().size(), 1u);
    RegCloseKey(key);
}

TEST_F(RegistryApi, WriteRecreatesAKeyTheFileLost) {
    const RegKey key = Create("Software\\Quillat");
    std::filesystem::remove(HiveFile()); // removed by hand while the program runs
    EXPECT_EQ(RegSetValueEx(key, "x", kRegDword, "\1\0\0\0"s), kRegSuccess);
    RegValue got;
    EXPECT_EQ(RegQueryValueEx(key, "x", &got.type, &got.data), kRegSuccess);
    EXPECT_EQ(got.data, "\1\0\0\0"s);
    RegCloseKey(key);
}

TEST_F(RegistryApi, UnwritableFolderFailsWithoutTouchingTheConfiguration) {
    WriteFile(ConfigHome() / "file", "x");
    setenv("XDG_CONFIG_HOME", (ConfigHome() / "file").c_str(), 1);
    RegKey key = kRegNoKey;
    EXPECT_NE(RegCreateKeyEx(kHkeyCurrentUser, "K", &key), kRegSuccess);
    EXPECT_EQ(key, kRegNoKey);
    EXPECT_EQ(ReadFile(ConfigHome() / "file"), "x");
}

} // namespace
