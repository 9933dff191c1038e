// Path parts of byte-string paths. A path is scanned character by character in its code page, so
// the trail byte of a double-byte character is never taken for a separator or a dot.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Code page 932 lead bytes: 0x81-0x9F and 0xE0-0xFC.
bool IsDBCSLeadByte(uint8_t byte);

struct PathSyntax {
    std::string_view separators; // every byte that ends a folder part
    bool doubleByte;             // scan as code page 932
};

inline constexpr PathSyntax kDosPathSyntax{"\\:", true};
// "/" and "." are below every code page 932 trail byte (0x40 and up) and never occur inside a UTF-8
// sequence, so a byte scan splits both kinds of names correctly; a code page 932 scan would instead
// swallow the byte after a UTF-8 continuation byte that looks like a lead byte.
inline constexpr PathSyntax kPosixPathSyntax{"/", false};
// The syntax of this machine's paths.
inline constexpr PathSyntax kNativePathSyntax = kPosixPathSyntax;

// Index one past the last separator (0 when there is none).
size_t FileNameStart(std::string_view path, const PathSyntax& syntax = kNativePathSyntax);
// Index of the last dot after the last separator, or npos.
size_t ExtensionStart(std::string_view path, const PathSyntax& syntax = kNativePathSyntax);

// ".jpg" for "/a.b/c.jpg"; empty when the name has no dot.
std::string ExtractFileExt(std::string_view path, const PathSyntax& syntax = kNativePathSyntax);
// The folder with its trailing separator: "/a/b/" for "/a/b/c.jpg".
std::string ExtractFilePath(std::string_view path, const PathSyntax& syntax = kNativePathSyntax);
// The name after the last separator: "c.jpg".
std::string ExtractFileName(std::string_view path, const PathSyntax& syntax = kNativePathSyntax);

// The folder to hand to the shell: the folder part without its trailing separator, except that
// the separator stays when it directly follows a colon or another separator, or begins the path,
// so that "C:\", "\\server\share" and "/" stay roots.
std::string ExtractShellFolder(std::string_view path, const PathSyntax& syntax = kNativePathSyntax);

// Upper-cases the ASCII letters a-z only; every other byte is kept.
std::string UpperCaseAscii(std::string_view text);

} // namespace platform
