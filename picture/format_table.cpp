#include "picture/format_table.h"

#include <array>

namespace picture {
namespace {

constexpr std::array<std::string_view, 4> kBuiltIn{".BMP", ".ICO", ".WMF", ".EMF"};

// Tested in this order; the first match decides.
constexpr std::array<PluginFormat, 9> kPlugins{{
    {".JPG", 1, "ifjpeg.spi", "JPG"},
    {".JPE", 1, "ifjpeg.spi", "JPG"},
    {".GIF", 2, "ifgif.spi", "GIF"},
    {".TIF", 3, "iftiff.spi", "TIFF"},
    {".PIC", 4, "ifpic.spi", "PIC"},
    {".P2", 5, "ifpic2.spi", "PIC2"},
    {".MAG", 6, "ifmag.spi", "MAG"},
    {".Q4", 7, "ifxld4.spi", "XLD4"},
    {".PI", 8, "ifpi.spi", "PI"},
}};

} // namespace

bool IsBuiltInExtension(std::string_view upperExtension) {
    for (std::string_view ext : kBuiltIn)
        if (ext == upperExtension) return true;
    return false;
}

const PluginFormat* FindPluginFormat(std::string_view upperExtension) {
    for (const PluginFormat& format : kPlugins)
        if (format.extension == upperExtension) return &format;
    return nullptr;
}

std::string_view PluginResultText(int32_t resultCode) {
    switch (resultCode) {
    case 2:
        return kUnknownFormatText;
    case 3:
        return "データが壊れている";
    case 4:
        return "メモリーが確保出来ない";
    case 5:
        return "メモリーエラー";
    case 6:
        return "ファイルリードエラー";
    default:
        return "その他のエラー";
    }
}

std::string PluginMissingText(const PluginFormat& format) {
    return "IF" + std::string(format.label) + ".SPI not found";
}

} // namespace picture
