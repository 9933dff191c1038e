#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "hive_env.h"
#include "platform/registry.h"
#include "vcl/registry.h"
#include "vcl/sysutils.h"

namespace {

using namespace std::string_literals;
using registry_test::HiveEnv;
using vcl::ERegistryException;
using vcl::TRegistry;

class TRegistryTest : public HiveEnv {
protected:
    void Store(const std::string& name, uint32_t type, const std::string& bytes) {
        HiveEnv::Store("Software\\T", name, type, bytes);
    }
    platform::RegValue Stored(const std::string& name) {
        return HiveEnv::Stored("Software\\T", name);
    }
    void OpenT(TRegistry& reg) { ASSERT_TRUE(reg.OpenKey("\\Software\\T", true)); }
};

// The message of the ERegistryException `action` raises, or "(no failure)".
std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ERegistryException& e) {
        return e.Message();
    }
    return "(no failure)";
}

TEST_F(TRegistryTest, ReadStringByStoredTypeAndBytes) {
    struct Case {
        const char* label;
        uint32_t type;
        std::string bytes;
        std::string text; // or the failure text
    };
    const Case cases[] = {
        {"written without zero", platform::kRegSz, "/a/b", "/a/b"},
        {"written with zero", platform::kRegSz, "/a/b\0"s, "/a/b"},
        {"text stops at first zero", platform::kRegSz, "/a\0/b\0"s, "/a"},
        {"only a zero", platform::kRegSz, "\0"s, ""},
        {"cp932 bytes kept", platform::kRegSz, "C:\\\x95\x5C", "C:\\\x95\x5C"},
        {"expandable, not expanded", platform::kRegExpandSz, "$HOME/x\0"s, "$HOME/x"},
        {"empty of another type", platform::kRegDword, "", ""},
        {"dword", platform::kRegDword, "\4\0\0\0"s, "'v' のﾃﾞｰﾀ型が不正です"},
        {"binary", platform::kRegBinary, "abc", "'v' のﾃﾞｰﾀ型が不正です"},
        {"unnamed type", 42, "abc", "'v' のﾃﾞｰﾀ型が不正です"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Store("v", c.type, c.bytes);
        TRegistry reg;
        OpenT(reg);
        std::string got;
        const std::string failure = FailureOf([&] { got = reg.ReadString("v"); });
        EXPECT_EQ(failure == "(no failure)" ? got : failure, c.text);
    }
}

TEST_F(TRegistryTest, ReadIntegerAndBoolByStoredTypeAndBytes) {
    struct Case {
        const char* label;
        uint32_t type;
        std::string bytes;
        int number;
        const char* failure; // null when the read succeeds
    };
    const char* wrongType = "'n' のﾃﾞｰﾀ型が不正です";
    const Case cases[] = {
        {"little-endian", platform::kRegDword, "\x04\x01\0\0"s, 0x104, nullptr},
        {"two's complement", platform::kRegDword, "\xF6\xFF\xFF\xFF", -10, nullptr},
        {"most negative", platform::kRegDword, "\0\0\0\x80"s, INT32_MIN, nullptr},
        {"zero", platform::kRegDword, "\0\0\0\0"s, 0, nullptr},
        {"three bytes", platform::kRegDword, "\1\0\0"s, 0, wrongType},
        {"eight bytes", platform::kRegDword, "\1\0\0\0\0\0\0\0"s, 0, wrongType},
        {"empty dword", platform::kRegDword, "", 0, wrongType},
        {"text of a number", platform::kRegSz, "5", 0, wrongType},
        {"four binary bytes", platform::kRegBinary, "\1\0\0\0"s, 0, wrongType},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Store("n", c.type, c.bytes);
        TRegistry reg;
        OpenT(reg);
        int number = 0;
        bool flag = false;
        const std::string failure = FailureOf([&] { number = reg.ReadInteger("n"); });
        const std::string boolFailure = FailureOf([&] { flag = reg.ReadBool("n"); });
        EXPECT_EQ(failure, c.failure ? c.failure : "(no failure)");
        EXPECT_EQ(boolFailure, failure);
        if (!c.failure) {
            EXPECT_EQ(number, c.number);
            EXPECT_EQ(flag, c.number != 0);
        }
    }
}

TEST_F(TRegistryTest, AbsentValues) {
    TRegistry reg;
    OpenT(reg);
    EXPECT_EQ(reg.ReadString("missing"), ""); // not a failure
    EXPECT_FALSE(reg.ValueExists("missing"));
    EXPECT_EQ(FailureOf([&] { reg.ReadInteger("missing"); }), "'missing' の読み込みに失敗しました");
    EXPECT_EQ(FailureOf([&] { reg.ReadBool("missing"); }), "'missing' の読み込みに失敗しました");
}

TEST_F(TRegistryTest, WritesStoreTheTypedEncodings) {
    {
        TRegistry reg;
        OpenT(reg);
        reg.WriteString("s", "C:\\\x95\x5C");
        reg.WriteString("e", "");
        reg.WriteInteger("i", -2);
        reg.WriteInteger("big", 0x01020304);
        reg.WriteBool("t", true);
        reg.WriteBool("f", false);
        EXPECT_TRUE(reg.ValueExists("e"));
    }
    const std::pair<const char*, platform::RegValue> expected[] = {
        {"s", {platform::kRegSz, "C:\\\x95\x5C"}}, // no terminating zero
        {"e", {platform::kRegSz, ""}},
        {"i", {platform::kRegDword, "\xFE\xFF\xFF\xFF"}},
        {"big", {platform::kRegDword, "\x04\x03\x02\x01"}},
        {"t", {platform::kRegDword, "\1\0\0\0"s}},
        {"f", {platform::kRegDword, "\0\0\0\0"s}},
    };
    for (const auto& [name, value] : expected) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Stored(name), value);
    }
}

TEST_F(TRegistryTest, RefusedWritesNameTheValue) {
    TRegistry closed; // no key open
    EXPECT_EQ(FailureOf([&] { closed.WriteInteger("spin", 5); }), "'spin' の設定に失敗しました");
    EXPECT_EQ(closed.ReadString("x"), "");
    EXPECT_FALSE(closed.ValueExists("x"));

    TRegistry reg;
    OpenT(reg);
    const std::string tooLarge(platform::kRegMaxValueDataBytes + 1, 'a');
    EXPECT_EQ(FailureOf([&] { reg.WriteString("DIR1", tooLarge); }), "'DIR1' の設定に失敗しました");
    // The folder replaced by a plain file while the key is open: nothing can be written.
    std::filesystem::rename(HiveFolder(), ConfigHome() / "moved");
    registry_test::WriteFile(HiveFolder(), "not a folder");
    EXPECT_EQ(FailureOf([&] { reg.WriteBool("ch", true); }), "'ch' の設定に失敗しました");
}

TEST_F(TRegistryTest, KeyThatCannotBeOpenedLooksEmpty) {
    registry_test::WriteFile(HiveFolder(), "a file where the folder belongs");
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("\\Software\\T", true));
    EXPECT_EQ(reg.CurrentKey(), platform::kRegNoKey);
    EXPECT_EQ(reg.ReadString("DIR1"), "");
    EXPECT_EQ(FailureOf([&] { reg.ReadInteger("x"); }), "'x' の読み込みに失敗しました");
    EXPECT_EQ(FailureOf([&] { reg.WriteString("DIR1", "/"); }), "'DIR1' の設定に失敗しました");
}

TEST_F(TRegistryTest, OpenKeyPaths) {
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("\\Software\\T", false)); // absent, not created
    EXPECT_TRUE(reg.OpenKey("\\Software\\T", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\T");
    EXPECT_TRUE(reg.OpenKey("Sub\\", true)); // relative to the open key, trailing "\" ignored
    EXPECT_EQ(reg.CurrentPath(), "Software\\T\\Sub");
    EXPECT_TRUE(reg.OpenKey("\\Software", false)); // from the root again
    EXPECT_EQ(reg.CurrentPath(), "Software");
    EXPECT_FALSE(reg.OpenKey("\\a\\\\b", true)); // an empty part
    EXPECT_EQ(reg.CurrentPath(), "Software");    // the open key stays
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentKey(), platform::kRegNoKey);
    EXPECT_TRUE(reg.OpenKey("Software\\T\\Sub", false)); // no key open: from the root
}

} // namespace
