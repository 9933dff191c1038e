// Our own reader of BMP files (and of the DIBs inside icons): it validates every header against
// the file's length, tells a file that ends early from one whose content is invalid, and hands
// the rows to the same pixel transfer that serves the plug-ins.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vcl::imageio {

// Truncated: the file ends before its headers, colour table or pixel data end.
// Invalid: the content is not a picture we can read (or is beyond the size limits).
enum class ReadStatus { Ok, Truncated /* the file ends before its header */, Invalid };

// Sizes beyond which a picture is refused before anything is allocated.
inline constexpr int64_t kMaxImageSide = 32768;                  // pixels
inline constexpr uint64_t kMaxImagePixels = uint64_t(256) << 20; // 256 Mpixel

// A whole BMP file. `out` becomes Format_ARGB32 when the picture has transparency, else
// Format_RGB32; it is left untouched unless the result is Ok. `reason` says what was wrong.
ReadStatus ReadBmp(std::span<const uint8_t> file, QImage& out, std::string* reason = nullptr);

// How a DIB without a file header is read.
struct DibOptions {
    // Icon and cursor images: the header's height counts the colour rows and the AND mask rows
    // that follow them; the mask gives transparency (a 32-bit image with any non-zero alpha
    // byte uses its alpha instead).
    bool iconMask = false;
};

// A DIB that begins with its information header, as icons store it: the colour table follows
// the header and the pixel rows follow the colour table.
ReadStatus ReadDib(std::span<const uint8_t> dib, const DibOptions& options, QImage& out,
                   std::string* reason = nullptr);

// An embedded picture ("PNG", "JPEG") through Qt's decoders, with their diagnostics kept off
// the console. Null when it does not decode.
QImage DecodeEmbedded(std::span<const uint8_t> data, const char* format);

} // namespace vcl::imageio
