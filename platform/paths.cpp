#include "platform/paths.h"

namespace platform {

bool IsDBCSLeadByte(uint8_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

namespace {

// Walks the path once and reports the last separator and the last dot after it.
struct Scan {
    size_t nameStart = 0;
    size_t lastDot = std::string_view::npos;
};

Scan scan(std::string_view path, const PathSyntax& syntax) {
    Scan result;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<uint8_t>(path[i]);
        if (syntax.doubleByte && IsDBCSLeadByte(byte) && i + 1 < path.size()) {
            ++i; // the trail byte belongs to this character
            continue;
        }
        if (syntax.separators.find(path[i]) != std::string_view::npos) {
            result.nameStart = i + 1;
            result.lastDot = std::string_view::npos;
        } else if (path[i] == '.') {
            result.lastDot = i;
        }
    }
    return result;
}

} // namespace

size_t FileNameStart(std::string_view path, const PathSyntax& syntax) {
    return scan(path, syntax).nameStart;
}

size_t ExtensionStart(std::string_view path, const PathSyntax& syntax) {
    return scan(path, syntax).lastDot;
}

std::string ExtractFileExt(std::string_view path, const PathSyntax& syntax) {
    const size_t dot = ExtensionStart(path, syntax);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string ExtractFilePath(std::string_view path, const PathSyntax& syntax) {
    return std::string(path.substr(0, FileNameStart(path, syntax)));
}

std::string ExtractFileName(std::string_view path, const PathSyntax& syntax) {
    return std::string(path.substr(FileNameStart(path, syntax)));
}

std::string ExtractShellFolder(std::string_view path, const PathSyntax& syntax) {
    std::string folder = ExtractFilePath(path, syntax);
    // Only a trailing folder separator is dropped; a drive's colon ("C:") stays.
    if (folder.empty() || folder.back() == ':') return folder;
    // Keep it when the whole character before it is a separator too, or when it begins the path.
    const std::string_view head(folder.data(), folder.size() - 1);
    if (FileNameStart(head, syntax) != head.size()) folder.pop_back();
    return folder;
}

std::string UpperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

} // namespace platform
