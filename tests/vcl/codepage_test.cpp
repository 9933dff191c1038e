// Display decoding of file-system names.
#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayName, KeepsUtf8AndDecodesCodePage932Otherwise) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain.bmp", "plain.bmp"},
        {"画像.bmp", "画像.bmp"},                       // valid UTF-8 stays
        {"\x83\x65\x83\x58\x83\x67.jpg", "テスト.jpg"}, // code page 932
        {"\x95\x5c\x8e\xa6.pic", "表示.pic"},           // trail byte 0x5C
        {"\xb6\xc0\xb6\xc5", "ｶﾀｶﾅ"},                   // half-width katakana
        {"a\x81", "a\xEF\xBF\xBD"},                     // a lead byte cut off
        {"\xff"
         "b",
         "\xEF\xBF\xBD"
         "b"}, // no such byte in the code page
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(platform::DisplayName(bytes), shown);
}

TEST(IsValidUtf8, RejectsOverlongSurrogatesAndCutSequences) {
    EXPECT_TRUE(platform::IsValidUtf8("ascii"));
    EXPECT_TRUE(platform::IsValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(platform::IsValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(platform::IsValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(platform::IsValidUtf8("\xE3\x81"));         // cut off
    EXPECT_FALSE(platform::IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
}

} // namespace
