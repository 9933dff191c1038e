#include <gtest/gtest.h>

#include "platform/paths.h"

namespace {

using platform::kDosPathSyntax;
using platform::kPosixPathSyntax;

struct PathCase {
    const char* path;
    platform::PathSyntax syntax;
    const char* folder;
    const char* name;
    const char* ext;
};

// "\x95\x5C" is a code page 932 character whose trail byte equals the backslash.
const PathCase kCases[] = {
    {"C:\\PIC\\A.GIF", kDosPathSyntax, "C:\\PIC\\", "A.GIF", ".GIF"},
    {"C:\\A.B\\FILE", kDosPathSyntax, "C:\\A.B\\", "FILE", ""},
    {"C:FILE.JPG", kDosPathSyntax, "C:", "FILE.JPG", ".JPG"},
    {"C:\\\x95\x5C.jpg", kDosPathSyntax, "C:\\", "\x95\x5C.jpg", ".jpg"},
    {"C:\\\x95\x5C", kDosPathSyntax, "C:\\", "\x95\x5C", ""},
    {"C:\\DIR\\a.tar.gz", kDosPathSyntax, "C:\\DIR\\", "a.tar.gz", ".gz"},
    {"/home/u/a.b/file", kPosixPathSyntax, "/home/u/a.b/", "file", ""},
    {"/home/u/pic.Jpg", kPosixPathSyntax, "/home/u/", "pic.Jpg", ".Jpg"},
    {"/p/\x95/x.mag", kPosixPathSyntax, "/p/\x95/", "x.mag", ".mag"},
    {"/p/\x82\xA0.pi", kPosixPathSyntax, "/p/", "\x82\xA0.pi", ".pi"},
    // UTF-8 names: E5 86 99 would swallow the following "/" if scanned as code page 932.
    {"/\xE5\x86\x99/x.jpg", kPosixPathSyntax, "/\xE5\x86\x99/", "x.jpg", ".jpg"},
    {"/p/.hidden", kPosixPathSyntax, "/p/", ".hidden", ".hidden"},
    {"", kPosixPathSyntax, "", "", ""},
    {"name.", kPosixPathSyntax, "", "name.", "."},
    // A lead byte at the very end has no trail byte; it stays an ordinary byte.
    {"/p/a.b\x95", kPosixPathSyntax, "/p/", "a.b\x95", ".b\x95"},
};

TEST(PathParts, SplitByCharacters) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(platform::ExtractFilePath(c.path, c.syntax), c.folder);
        EXPECT_EQ(platform::ExtractFileName(c.path, c.syntax), c.name);
        EXPECT_EQ(platform::ExtractFileExt(c.path, c.syntax), c.ext);
    }
}

TEST(PathParts, DotInsideADoubleByteCharacterIsNotAnExtension) {
    // 0x81 0x2E: a lead byte followed by a byte that equals ".".
    EXPECT_EQ(platform::ExtractFileExt("C:\\a\x81.b", kDosPathSyntax), "");
}

TEST(PathParts, ShellFolder) {
    const struct {
        const char* path;
        platform::PathSyntax syntax;
        const char* folder;
    } cases[] = {
        {"C:\\pics\\cat.JPG", kDosPathSyntax, "C:\\pics"},
        {"C:\\cat.JPG", kDosPathSyntax, "C:\\"},
        {"\\\\server\\share\\cat.JPG", kDosPathSyntax, "\\\\server\\share"},
        {"C:cat.JPG", kDosPathSyntax, "C:"},
        {"cat.JPG", kDosPathSyntax, ""},
        {"", kDosPathSyntax, ""},
        // The trail byte 0x5C of the folder name is not a separator, so the real one is dropped.
        {"C:\\\x95\x5C\\a.bmp", kDosPathSyntax, "C:\\\x95\x5C"},
        {"/home/u/cat.jpg", kPosixPathSyntax, "/home/u"},
        {"/cat.jpg", kPosixPathSyntax, "/"},
        {"//cat.jpg", kPosixPathSyntax, "//"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(platform::ExtractShellFolder(c.path, c.syntax), c.folder);
    }
}

TEST(PathParts, UpperCaseOnlyAsciiLetters) {
    EXPECT_EQ(platform::UpperCaseAscii(".jpg"), ".JPG");
    EXPECT_EQ(platform::UpperCaseAscii(".J\x82\xA0z"), ".J\x82\xA0Z");
    EXPECT_EQ(platform::UpperCaseAscii("\xE4\xF6"), "\xE4\xF6");
}

TEST(LeadBytes, Cp932Ranges) {
    for (int b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(platform::IsDBCSLeadByte(uint8_t(b)), lead) << b;
    }
}

} // namespace
