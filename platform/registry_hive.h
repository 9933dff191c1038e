// One registry hive in memory and its text file format.
//
// The file is meant to be read and diffed by a person:
//
//   # zorvane registry hive 1
//   [Software]
//   [Software/Quillat]
//   "DIR1"=sz:"/home/me/pictures"
//   "filter"=dword:00000004
//   "blob"=binary:01 02 ff
//   "other"=type(7):61 00
//
// The first line is the signature. A key line holds the key's path from the hive's root, its
// parts joined by "/". A value line belongs to the key line above it: the quoted name, "=", and
// the data in one of these forms:
//   sz:"text"          type 1, the bytes exactly (a stored terminating zero shows as \x00)
//   expand_sz:"text"   type 2, likewise
//   dword:hhhhhhhh     type 4 with exactly 4 bytes, the little-endian number in 8 hex digits
//   binary:hh hh ...   type 3, the bytes in hex
//   type(N):hh hh ...  any other type N (decimal), or a type above whose bytes the short forms
//                      cannot hold (a dword of another size than 4)
// In quoted texts and in key parts, printable ASCII and valid UTF-8 sequences stand as they are;
// every other byte (controls, code page 932 bytes) and "\" and "\"" are written as \xHH or \\ and
// \"; key parts also escape "/", "[" and "]". Blank lines and lines starting with "#" are ignored.
// Anything else is a corrupt file: the parser never guesses.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Registry value types. Any 32-bit number is a valid type; these are the ones with a name.
enum RegValueType : uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
};

struct RegValue {
    uint32_t type = kRegNone;
    std::string data; // the value's bytes exactly
    bool operator==(const RegValue&) const = default;
};

// Key and value names compare without regard to the case of ASCII letters, as the registry
// programs were written for; the spelling first stored is kept.
struct RegNameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
bool RegNamesEqual(std::string_view a, std::string_view b);

using RegValueMap = std::map<std::string, RegValue, RegNameLess>;
// Keyed by the full path from the root, parts joined by "\". Every key's parent is present too.
using RegKeyMap = std::map<std::string, RegValueMap, RegNameLess>;

struct RegHive {
    RegKeyMap keys;
    bool operator==(const RegHive&) const = default;
};

// Limits that keep a hostile or runaway hive file from exhausting memory.
inline constexpr size_t kRegMaxKeyPartBytes = 255;
inline constexpr size_t kRegMaxKeyDepth = 512;
inline constexpr size_t kRegMaxValueNameBytes = 16383;
inline constexpr size_t kRegMaxValueDataBytes = 1024 * 1024;
inline constexpr size_t kRegMaxHiveFileBytes = 64 * 1024 * 1024;

// The text of the hive, as written to its file.
std::string SerializeHive(const RegHive& hive);
// The hive held by a file's text, or nothing when the text is not a well-formed hive.
std::optional<RegHive> ParseHive(std::string_view text);

// Adds the key and every missing parent; a path of "\"-joined parts, already validated.
// True when something was added.
bool EnsureKeyPath(RegHive& hive, const std::string& path);

// True for a part of a key path: 1 to kRegMaxKeyPartBytes bytes, no "\" and no zero byte.
bool IsValidKeyPart(std::string_view part);

} // namespace platform
