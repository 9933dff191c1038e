// Text of the metafile's own era: byte strings in the font's character set, and face names that
// this system spells differently.
#pragma once

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace vcl::metafile {

// Character-set numbers of the font records.
inline constexpr uint8_t kShiftJisCharset = 128;
inline constexpr uint8_t kSymbolCharset = 2;

// Decodes `bytes` in the code page of `charset`. `bytesPerChar`, when given, receives for every
// UTF-16 unit of the result how many input bytes it stands for (0 for the second half of a pair),
// so that spacing arrays given per byte can be folded onto characters.
QString DecodeText(std::span<const uint8_t> bytes, uint8_t charset,
                   std::vector<int>* bytesPerChar = nullptr);

// The installed family that stands in for a face name of the file.
QString MapFaceName(const QString& face, uint8_t charset);

} // namespace vcl::metafile

namespace vcl::metafile {

// Whether the face is the classic symbol font, whose byte codes stand for Greek letters and
// mathematical signs rather than Latin ones.
bool IsSymbolFace(const QString& face);

// Replaces the symbol font's codes (0x20-0xFF, or the same in the private range U+F020-U+F0FF)
// by the Unicode characters they show.
QString MapSymbolCodes(const QString& text);

} // namespace vcl::metafile
