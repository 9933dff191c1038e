#include "platform/registry_hive.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace platform {

namespace {

constexpr std::string_view kSignature = "# zorvane registry hive 1";
constexpr char kFileKeySeparator = '/';
constexpr char kPathSeparator = '\\';
constexpr char kHexDigits[] = "0123456789abcdef";

unsigned char Fold(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// Length of the valid UTF-8 sequence starting at text[i], or 0 when there is none.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length;
    unsigned char min2 = 0x80, max2 = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) min2 = 0xA0; // overlong
        if (lead == 0xED) max2 = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) min2 = 0x90; // overlong
        if (lead == 0xF4) max2 = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < min2 || byte(i + 1) > max2) return 0;
    for (size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

void AppendHexByte(std::string& out, unsigned char c) {
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0xF];
}

// Escapes bytes for a quoted text or a key part; `alsoEscape` lists the extra printable bytes
// that must not stand as they are.
void AppendEscaped(std::string& out, std::string_view text, std::string_view alsoEscape) {
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += char(c);
            ++i;
        } else if (c >= 0x20 && c < 0x7F && alsoEscape.find(char(c)) == std::string_view::npos) {
            out += char(c);
            ++i;
        } else if (const size_t n = c >= 0x80 ? Utf8SequenceLength(text, i) : 0; n > 0) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += "\\x";
            AppendHexByte(out, c);
            ++i;
        }
    }
}

void AppendHexBytes(std::string& out, std::string_view data) {
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) out += ' ';
        AppendHexByte(out, static_cast<unsigned char>(data[i]));
    }
}

void AppendValue(std::string& out, const std::string& name, const RegValue& value) {
    out += '"';
    AppendEscaped(out, name, "");
    out += "\"=";
    switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
        out += value.type == kRegSz ? "sz:\"" : "expand_sz:\"";
        AppendEscaped(out, value.data, "");
        out += '"';
        return;
    case kRegDword:
        if (value.data.size() == 4) {
            out += "dword:";
            for (int i = 3; i >= 0; --i)
                AppendHexByte(out, static_cast<unsigned char>(value.data[i]));
            return;
        }
        break;
    case kRegBinary:
        out += "binary:";
        AppendHexBytes(out, value.data);
        return;
    default:
        break;
    }
    out += "type(" + std::to_string(value.type) + "):";
    AppendHexBytes(out, value.data);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one escape whose backslash has just been consumed: \\, \" or \xHH.
std::optional<char> ReadEscape(std::string_view line, size_t& pos) {
    if (pos >= line.size()) return std::nullopt;
    const char e = line[pos++];
    if (e == '\\' || e == '"') return e;
    if (e != 'x' || pos + 2 > line.size()) return std::nullopt;
    const int hi = HexValue(line[pos]), lo = HexValue(line[pos + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    pos += 2;
    return char(hi << 4 | lo);
}

// Reads an escaped text from `line` at `pos` up to the first unescaped `end`; leaves `pos` just
// after it.
std::optional<std::string> ReadEscaped(std::string_view line, size_t& pos, char end) {
    std::string out;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == end) return out;
        if (c != '\\') {
            out += c;
            continue;
        }
        const auto escaped = ReadEscape(line, pos);
        if (!escaped) return std::nullopt;
        out += *escaped;
    }
    return std::nullopt;
}

// "hh hh hh" (or nothing) to bytes.
std::optional<std::string> ParseHexBytes(std::string_view text) {
    std::string out;
    if (text.empty()) return out;
    if ((text.size() + 1) % 3 != 0) return std::nullopt;
    out.reserve((text.size() + 1) / 3);
    for (size_t i = 0; i < text.size(); i += 3) {
        const int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        if (i + 2 < text.size() && text[i + 2] != ' ') return std::nullopt;
        out += char(hi << 4 | lo);
    }
    return out;
}

std::optional<RegValue> ParseQuotedData(uint32_t type, std::string_view rest) {
    size_t pos = 1;
    if (rest.empty() || rest[0] != '"') return std::nullopt;
    auto text = ReadEscaped(rest, pos, '"');
    if (!text || pos != rest.size()) return std::nullopt;
    return RegValue{type, std::move(*text)};
}

std::optional<RegValue> ParseData(std::string_view data) {
    const auto startsWith = [&](std::string_view prefix) {
        if (data.substr(0, prefix.size()) != prefix) return false;
        data.remove_prefix(prefix.size());
        return true;
    };
    if (startsWith("sz:")) return ParseQuotedData(kRegSz, data);
    if (startsWith("expand_sz:")) return ParseQuotedData(kRegExpandSz, data);
    if (startsWith("dword:")) {
        if (data.size() != 8) return std::nullopt;
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) {
            const int hi = HexValue(data[2 * i]), lo = HexValue(data[2 * i + 1]);
            if (hi < 0 || lo < 0) return std::nullopt;
            bytes[3 - i] = char(hi << 4 | lo);
        }
        return RegValue{kRegDword, std::move(bytes)};
    }
    uint32_t type = kRegBinary;
    if (startsWith("type(")) {
        const size_t close = data.find("):");
        if (close == std::string_view::npos || close == 0 || close > 10) return std::nullopt;
        const auto digits = data.substr(0, close);
        if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), type);
        if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
        data.remove_prefix(close + 2);
    } else if (!startsWith("binary:")) {
        return std::nullopt;
    }
    auto bytes = ParseHexBytes(data);
    if (!bytes) return std::nullopt;
    return RegValue{type, std::move(*bytes)};
}

// "[a/b]" to the "\\"-joined path "a\\b".
std::optional<std::string> ParseKeyLine(std::string_view line) {
    if (line == "[]") return std::string(); // the root, when a value is stored there
    std::string path;
    size_t pos = 1;
    for (size_t depth = 1;; ++depth) {
        std::string part;
        while (pos < line.size() && line[pos] != kFileKeySeparator && line[pos] != ']') {
            const char c = line[pos++];
            if (c != '\\') {
                part += c;
                continue;
            }
            const auto escaped = ReadEscape(line, pos);
            if (!escaped) return std::nullopt;
            part += *escaped;
        }
        if (pos >= line.size() || !IsValidKeyPart(part) || depth > kRegMaxKeyDepth) {
            return std::nullopt;
        }
        if (!path.empty()) path += kPathSeparator;
        path += part;
        if (line[pos++] == ']') break;
    }
    if (pos != line.size()) return std::nullopt;
    return path;
}

} // namespace

bool RegNameLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return Fold(static_cast<unsigned char>(x)) < Fold(static_cast<unsigned char>(y));
    });
}

bool RegNamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Fold(static_cast<unsigned char>(x)) == Fold(static_cast<unsigned char>(y));
           });
}

bool IsValidKeyPart(std::string_view part) {
    return !part.empty() && part.size() <= kRegMaxKeyPartBytes &&
           part.find(kPathSeparator) == std::string_view::npos &&
           part.find('\0') == std::string_view::npos;
}

bool EnsureKeyPath(RegHive& hive, const std::string& path) {
    bool added = false;
    for (size_t end = path.find(kPathSeparator);; end = path.find(kPathSeparator, end + 1)) {
        added |= hive.keys.try_emplace(path.substr(0, end)).second;
        if (end == std::string::npos) break;
    }
    return added;
}

std::string SerializeHive(const RegHive& hive) {
    std::string out(kSignature);
    out += '\n';
    for (const auto& [path, values] : hive.keys) {
        out += '[';
        size_t start = 0;
        while (true) {
            const size_t end = path.find(kPathSeparator, start);
            AppendEscaped(out, std::string_view(path).substr(start, end - start), "/[]");
            if (end == std::string::npos) break;
            out += kFileKeySeparator;
            start = end + 1;
        }
        out += "]\n";
        for (const auto& [name, value] : values) {
            AppendValue(out, name, value);
            out += '\n';
        }
    }
    return out;
}

std::optional<RegHive> ParseHive(std::string_view text) {
    if (text.size() > kRegMaxHiveFileBytes) return std::nullopt;
    RegHive hive;
    std::set<std::string, RegNameLess> declared;
    RegValueMap* current = nullptr;
    bool first = true;
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1); // edited on another system
        if (first) {
            if (line != kSignature) return std::nullopt;
            first = false;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            auto path = ParseKeyLine(line);
            if (!path || !declared.insert(*path).second) return std::nullopt;
            EnsureKeyPath(hive, *path);
            current = &hive.keys.find(*path)->second;
            continue;
        }
        if (line[0] != '"' || !current) return std::nullopt;
        size_t pos = 1;
        auto name = ReadEscaped(line, pos, '"');
        if (!name || name->size() > kRegMaxValueNameBytes ||
            name->find('\0') != std::string::npos || pos >= line.size() || line[pos] != '=') {
            return std::nullopt;
        }
        auto value = ParseData(line.substr(pos + 1));
        if (!value || value->data.size() > kRegMaxValueDataBytes) return std::nullopt;
        if (!current->emplace(std::move(*name), std::move(*value)).second) return std::nullopt;
    }
    if (first) return std::nullopt; // an empty file is not a hive we wrote
    return hive;
}

} // namespace platform
