#include <gtest/gtest.h>

#include "platform/registry_hive.h"

namespace {

using platform::ParseHive;
using platform::RegHive;
using platform::RegValue;
using platform::SerializeHive;

using namespace std::string_literals;

struct ValueCase {
    const char* label;
    RegValue value;
    const char* line; // the value's line in the file, for the forms a person reads
};

// Bytes that a text format loses easily: zeros, line breaks, quotes, backslashes, code page 932
// whose trail byte equals "\" (0x95 0x5C), a lone lead byte, and UTF-8 that should stay readable.
const ValueCase kValueCases[] = {
    {"plain text", {platform::kRegSz, "/home/u/pics"}, R"("v"=sz:"/home/u/pics")"},
    {"empty text", {platform::kRegSz, ""}, R"("v"=sz:"")"},
    {"terminating zero", {platform::kRegSz, "C:\\PIC\0"s}, R"("v"=sz:"C:\\PIC\x00")"},
    {"inner zero", {platform::kRegSz, "a\0b"s}, R"("v"=sz:"a\x00b")"},
    {"quotes and breaks", {platform::kRegSz, "\"x\"\n\r\t"}, R"("v"=sz:"\"x\"\x0a\x0d\x09")"},
    {"cp932 trail backslash", {platform::kRegSz, "C:\\\x95\x5C"}, R"("v"=sz:"C:\\\x95\\")"},
    {"lone lead byte", {platform::kRegSz, "\x82"}, R"("v"=sz:"\x82")"},
    {"UTF-8 stays readable", {platform::kRegSz, "/写真/ü"}, R"("v"=sz:"/写真/ü")"},
    {"overlong UTF-8 escaped", {platform::kRegSz, "\xC0\xAF"}, R"("v"=sz:"\xc0\xaf")"},
    {"surrogate escaped", {platform::kRegSz, "\xED\xA0\x80"}, R"("v"=sz:"\xed\xa0\x80")"},
    {"expandable text", {platform::kRegExpandSz, "%HOME%/x"}, R"("v"=expand_sz:"%HOME%/x")"},
    {"dword", {platform::kRegDword, "\x04\0\0\0"s}, R"("v"=dword:00000004)"},
    {"negative dword", {platform::kRegDword, "\xF6\xFF\xFF\xFF"}, R"("v"=dword:fffffff6)"},
    {"short dword", {platform::kRegDword, "\x01\x02\x03"}, R"("v"=type(4):01 02 03)"},
    {"empty dword", {platform::kRegDword, ""}, R"("v"=type(4):)"},
    {"binary", {platform::kRegBinary, "\x00\xFF\x10"s}, R"("v"=binary:00 ff 10)"},
    {"empty binary", {platform::kRegBinary, ""}, R"("v"=binary:)"},
    {"type none", {platform::kRegNone, "ab"}, R"("v"=type(0):61 62)"},
    {"largest type", {0xFFFFFFFFu, "\x01"}, R"("v"=type(4294967295):01)"},
};

RegHive OneValue(const std::string& key, const std::string& name, const RegValue& value) {
    RegHive hive;
    platform::EnsureKeyPath(hive, key);
    hive.keys[key][name] = value;
    return hive;
}

TEST(HiveFormat, EveryValueKindRoundTripsAndReads) {
    for (const auto& c : kValueCases) {
        SCOPED_TRACE(c.label);
        const RegHive hive = OneValue("K", "v", c.value);
        const std::string text = SerializeHive(hive);
        EXPECT_NE(text.find("\n"s + c.line + "\n"), std::string::npos) << text;
        const auto parsed = ParseHive(text);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, hive);
    }
}

TEST(HiveFormat, NamesAndKeyPartsKeepEveryByte) {
    // Key parts may hold the file's own separator, brackets and any byte but "\\" and zero; names
    // may hold anything but a zero.
    const std::string key = "Soft/ware\\[x]\\\x95\x40\x7F\\ü";
    const std::string names[] = {"", "a=b", "\"q\"", "line\nbreak", "\x95\x5C", "x]y"};
    RegHive hive;
    platform::EnsureKeyPath(hive, key);
    for (const auto& name : names)
        hive.keys[key][name] = {platform::kRegSz, name};
    const auto parsed = ParseHive(SerializeHive(hive));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, hive);
    EXPECT_EQ(parsed->keys.size(), 4u); // the parents are there too
}

TEST(HiveFormat, KeyPathsUseSlashesInTheFile) {
    RegHive hive;
    platform::EnsureKeyPath(hive, "Software\\Quillat");
    EXPECT_EQ(SerializeHive(hive), "# zorvane registry hive 1\n[Software]\n[Software/Quillat]\n");
}

TEST(HiveFormat, NamesCompareWithoutAsciiCase) {
    const auto parsed = ParseHive("# zorvane registry hive 1\n[Software/Quillat]\n"
                                  "\"Filter\"=dword:00000001\n");
    ASSERT_TRUE(parsed);
    const auto key = parsed->keys.find("SOFTWARE\\quillat");
    ASSERT_NE(key, parsed->keys.end());
    ASSERT_TRUE(key->second.contains("filter"));
    EXPECT_EQ(key->second.begin()->first, "Filter");               // the stored spelling stays
    EXPECT_FALSE(platform::RegNamesEqual("\x82\xA0", "\x82\xC0")); // only ASCII letters fold
}

TEST(HiveFormat, CommentsBlankLinesAndCrLfAreAccepted) {
    const auto parsed = ParseHive("# zorvane registry hive 1\r\n\r\n# note\r\n[K]\r\n"
                                  "\"v\"=sz:\"a\"\r\n");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->keys.at("K").at("v"), (RegValue{platform::kRegSz, "a"}));
}

TEST(HiveFormat, MalformedTextIsRejected) {
    const std::string head = "# zorvane registry hive 1\n";
    const std::pair<const char*, std::string> cases[] = {
        {"empty file", ""},
        {"no signature", "[K]\n"},
        {"other version", "# zorvane registry hive 2\n[K]\n"},
        {"value before any key", head + "\"v\"=dword:00000001\n"},
        {"key declared twice", head + "[K]\n[k]\n"},
        {"value named twice", head + "[K]\n\"v\"=binary:\n\"V\"=binary:\n"},
        {"empty key part", head + "[a//b]\n"},
        {"unclosed key line", head + "[K\n"},
        {"text after key line", head + "[K] x\n"},
        {"unknown line", head + "K\n"},
        {"unknown escape", head + "[K]\n\"v\"=sz:\"\\n\"\n"},
        {"short hex escape", head + "[K]\n\"v\"=sz:\"\\x4\"\n"},
        {"unterminated text", head + "[K]\n\"v\"=sz:\"abc\n"},
        {"text after value", head + "[K]\n\"v\"=sz:\"a\"b\n"},
        {"no equals sign", head + "[K]\n\"v\"sz:\"a\"\n"},
        {"zero in a name", head + "[K]\n\"a\\x00\"=binary:\n"},
        {"zero in a key part", head + "[a\\x00]\n"},
        {"dword too short", head + "[K]\n\"v\"=dword:0000001\n"},
        {"dword not hex", head + "[K]\n\"v\"=dword:0000000g\n"},
        {"hex bytes run together", head + "[K]\n\"v\"=binary:0102\n"},
        {"trailing space in hex", head + "[K]\n\"v\"=binary:01 \n"},
        {"unknown type word", head + "[K]\n\"v\"=qword:01\n"},
        {"type with leading zero", head + "[K]\n\"v\"=type(04):01\n"},
        {"type above 32 bits", head + "[K]\n\"v\"=type(4294967296):01\n"},
        {"type not a number", head + "[K]\n\"v\"=type(x):01\n"},
        {"key part too long", head + "[" + std::string(256, 'a') + "]\n"},
    };
    for (const auto& [label, text] : cases) {
        SCOPED_TRACE(label);
        EXPECT_FALSE(ParseHive(text));
    }
}

TEST(HiveFormat, ValueAtTheRootRoundTrips) {
    const RegHive hive = OneValue("", "v", {platform::kRegDword, "\1\0\0\0"s});
    const std::string text = SerializeHive(hive);
    EXPECT_NE(text.find("\n[]\n"), std::string::npos);
    const auto parsed = ParseHive(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, hive);
}

} // namespace
