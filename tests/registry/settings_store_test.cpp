#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "hive_env.h"
#include "platform/registry.h"
#include "settings/settings_store.h"
#include "vcl/sysutils.h"

namespace {

using namespace std::string_literals;
using registry_test::HiveEnv;

// What the browser window's start-up took from the store, in the order of its steps.
struct BrowserStart {
    std::vector<std::string> captions;
    std::optional<settings::WindowPosition> position;
    std::optional<int> filter;
    bool completed = false;
};

BrowserStart RunBrowserStart() {
    BrowserStart start;
    start.completed = settings::ReadAtStartup([&](settings::SettingsKey& key) {
        for (int slot = 1; slot <= settings::kDirectorySlots; ++slot) {
            start.captions.push_back(key.ReadDirectory(slot));
        }
        start.position = key.ReadPosition();
        start.filter = key.ReadFilter();
    });
    return start;
}

struct DialogStart {
    std::optional<int> interval;
    std::optional<bool> fromFirst, loop;
};

DialogStart RunDialogStart() {
    DialogStart start;
    settings::ReadAtStartup([&](settings::SettingsKey& key) {
        start.interval = key.ReadInterval();
        start.fromFirst = key.ReadStartFromFirst();
        start.loop = key.ReadLoop();
    });
    return start;
}

class SettingsStore : public HiveEnv {
protected:
    void Store(const std::string& name, uint32_t type, const std::string& bytes) {
        HiveEnv::Store("Software\\Quillat", name, type, bytes);
    }
    platform::RegValue Stored(const std::string& name) {
        return HiveEnv::Stored("Software\\Quillat", name);
    }
};

TEST_F(SettingsStore, FirstRun) {
    const BrowserStart browser = RunBrowserStart();
    EXPECT_FALSE(browser.completed);
    EXPECT_EQ(browser.captions, std::vector<std::string>(5, ""));
    EXPECT_FALSE(browser.position); // fails at x: the window opens centred
    EXPECT_FALSE(browser.filter);
    EXPECT_EQ(registry_test::ReadFile(HiveFile()),
              "# zorvane registry hive 1\n[Software]\n[Software/Quillat]\n"); // created, empty

    const DialogStart dialog = RunDialogStart();
    EXPECT_FALSE(dialog.interval);
    EXPECT_FALSE(dialog.fromFirst);
    EXPECT_FALSE(dialog.loop);
    EXPECT_EQ(settings::LoadDirectory(3), "");
}

TEST_F(SettingsStore, SavedSettingsComeBackAtTheNextStart) {
    settings::SaveSettings({4, 5, true, true, 100, 50});
    const std::pair<const char*, std::string> stored[] = {
        {"filter", "\4\0\0\0"s}, {"spin", "\5\0\0\0"s}, {"ra", "\1\0\0\0"s},
        {"ch", "\1\0\0\0"s},     {"x", "\x64\0\0\0"s},  {"y", "\x32\0\0\0"s},
    };
    for (const auto& [name, bytes] : stored) {
        EXPECT_EQ(Stored(name), (platform::RegValue{platform::kRegDword, bytes})) << name;
    }

    const BrowserStart browser = RunBrowserStart();
    EXPECT_TRUE(browser.completed);
    ASSERT_TRUE(browser.position);
    EXPECT_EQ(browser.position->left, 100);
    EXPECT_EQ(browser.position->top, 50);
    EXPECT_EQ(browser.filter, 4);
    const DialogStart dialog = RunDialogStart();
    EXPECT_EQ(dialog.interval, 5);
    EXPECT_EQ(dialog.fromFirst, true);
    EXPECT_EQ(dialog.loop, true);

    // Saving again replaces every value; false is stored as 0.
    settings::SaveSettings({0, 60, false, false, -8, -30000});
    EXPECT_EQ(Stored("ra").data, "\0\0\0\0"s);
    EXPECT_EQ(Stored("x").data, "\xF8\xFF\xFF\xFF"); // two's complement
    const BrowserStart again = RunBrowserStart();
    ASSERT_TRUE(again.position);
    EXPECT_EQ(again.position->left, -8);
    EXPECT_EQ(again.position->top, -30000);
    EXPECT_EQ(RunDialogStart().fromFirst, false);
}

TEST_F(SettingsStore, BooleansReadAnyNonZeroAsTrue) {
    Store("spin", platform::kRegDword, "\x63\0\0\0"s); // 99: the spin edit pulls it to 60
    Store("ra", platform::kRegDword, "\0\x01\0\0"s);
    Store("ch", platform::kRegDword, "\xFF\xFF\xFF\xFF");
    const DialogStart dialog = RunDialogStart();
    EXPECT_EQ(dialog.interval, 99);
    EXPECT_EQ(dialog.fromFirst, true);
    EXPECT_EQ(dialog.loop, true);
}

TEST_F(SettingsStore, PartialDataEndsTheStartUpAtTheFirstFailure) {
    struct Case {
        const char* label;
        std::vector<std::pair<std::string, platform::RegValue>> stored;
        size_t captions;
        bool position, filter;
    };
    const platform::RegValue dword{platform::kRegDword, "\7\0\0\0"s};
    const platform::RegValue text{platform::kRegSz, "/p"};
    const Case cases[] = {
        {"x without y", {{"x", dword}, {"filter", dword}}, 5, false, false},
        {"x stored as text", {{"x", text}, {"y", dword}, {"filter", dword}}, 5, false, false},
        {"filter missing", {{"x", dword}, {"y", dword}}, 5, true, false},
        {"filter of 3 bytes",
         {{"x", dword}, {"y", dword}, {"filter", {4, "\1\0\0"s}}},
         5,
         true,
         false},
        {"DIR2 stored as a number",
         {{"DIR1", text}, {"DIR2", dword}, {"x", dword}},
         1,
         false,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(HiveFolder());
        for (const auto& [name, value] : c.stored)
            Store(name, value.type, value.data);
        const BrowserStart start = RunBrowserStart();
        EXPECT_FALSE(start.completed);
        EXPECT_EQ(start.captions.size(), c.captions);
        EXPECT_EQ(start.position.has_value(), c.position);
        EXPECT_EQ(start.filter.has_value(), c.filter);
    }
}

TEST_F(SettingsStore, DirectorySlots) {
    EXPECT_EQ(settings::SaveDirectory(3, "/home/u/写真"), "/home/u/写真");
    EXPECT_EQ(Stored("DIR3"), (platform::RegValue{platform::kRegSz, "/home/u/写真"}));
    EXPECT_EQ(settings::SaveDirectory(3, "/"), "/"); // saved again: replaced
    EXPECT_EQ(settings::LoadDirectory(3), "/");
    EXPECT_EQ(RunBrowserStart().captions, (std::vector<std::string>{"", "", "/", "", ""}));

    // Written by another program with a terminating zero, or as an expandable text.
    Store("DIR1", platform::kRegSz, "C:\\PIC\0"s);
    Store("DIR4", platform::kRegExpandSz, "/x\0"s);
    EXPECT_EQ(settings::LoadDirectory(1), "C:\\PIC");
    EXPECT_EQ(settings::LoadDirectory(4), "/x");

    Store("DIR2", platform::kRegDword, "\1\0\0\0"s);
    try {
        settings::LoadDirectory(2);
        ADD_FAILURE() << "a number read as a directory";
    } catch (const vcl::ERegistryException& e) {
        EXPECT_EQ(e.Message(), "'DIR2' のﾃﾞｰﾀ型が不正です");
    }
    EXPECT_THROW(settings::DirectoryValueName(0), std::out_of_range);
    EXPECT_THROW(settings::DirectoryValueName(6), std::out_of_range);
}

TEST_F(SettingsStore, RefusedWritesRaiseTheirFailure) {
    registry_test::WriteFile(HiveFolder(), "a file where the folder belongs");
    try {
        settings::SaveSettings({1, 2, true, false, 3, 4});
        ADD_FAILURE() << "the save did not fail";
    } catch (const vcl::ERegistryException& e) {
        EXPECT_EQ(e.Message(), "'filter' の設定に失敗しました"); // the first write, and no more
    }
    try {
        settings::SaveDirectory(5, "/p");
        ADD_FAILURE() << "the save did not fail";
    } catch (const vcl::ERegistryException& e) {
        EXPECT_EQ(e.Message(), "'DIR5' の設定に失敗しました");
    }
    // Start-up reads find nothing: the captions read as empty, then x fails.
    const BrowserStart start = RunBrowserStart();
    EXPECT_EQ(start.captions.size(), 5u);
    EXPECT_FALSE(start.position);
}

TEST_F(SettingsStore, StartUpGuardEndsAtAnyFailureOfTheProgram) {
    std::vector<int> ran;
    EXPECT_FALSE(settings::ReadAtStartup([&](settings::SettingsKey&) {
        ran.push_back(1);
        throw vcl::EInOutError(2); // a step of the window, not a read
        ran.push_back(2);
    }));
    EXPECT_EQ(ran, std::vector<int>{1});
}

} // namespace
