// Which loader reads a picture, chosen by the upper-cased extension of its path, and the reason
// texts of the load failures.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace picture {

struct PluginFormat {
    std::string_view extension; // upper-cased, with its dot
    int32_t kind;               // 1 to 8
    std::string_view library;   // bare file name
    std::string_view label;     // names the library in the "not found" reason
};

// ".BMP", ".ICO", ".WMF" and ".EMF": read by the class library's picture object.
bool IsBuiltInExtension(std::string_view upperExtension);
// The plug-in row for the extension, or null when no plug-in reads it.
const PluginFormat* FindPluginFormat(std::string_view upperExtension);

// The reason shown for a plug-in call's non-zero result code.
std::string_view PluginResultText(int32_t resultCode);
inline constexpr std::string_view kUnknownFormatText = "未知のフォーマット";
inline constexpr std::string_view kUnsupportedExtensionText = "サポートされない拡張子";
// "IF" + label + ".SPI not found".
std::string PluginMissingText(const PluginFormat& format);

} // namespace picture
