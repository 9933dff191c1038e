// The limits that keep a hostile metafile from exhausting time or memory, with their units.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vcl::metafile {

// Records played from one file; real pictures have a few thousand.
inline constexpr size_t kMaxRecords = 1'000'000;
// Wall-clock budget for one Play call, in milliseconds.
inline constexpr int64_t kMaxPlayMilliseconds = 3000;
// Saved device contexts kept at once; deeper SaveDC records are ignored.
inline constexpr size_t kMaxSavedStates = 1024;
// Object-table slots a WMF may use, and the highest EMF handle index accepted.
inline constexpr size_t kMaxWmfObjects = 65535;
inline constexpr uint32_t kMaxEmfHandles = 1u << 20;
// Points in one poly record beyond which it is not drawn (the record sizes bound them already).
inline constexpr size_t kMaxPolyPoints = 4'000'000;
// Pixels of one embedded bitmap (width x height) that are decoded.
inline constexpr uint64_t kMaxBitmapPixels = 64ull * 1024 * 1024;
// Side of a pattern brush bitmap, in pixels.
inline constexpr int kMaxPatternSide = 1024;
// Largest picture side that Size() reports, in pixels; larger pictures are scaled down to it.
inline constexpr int kMaxPictureSide = 16384;
// Screen resolution the picture's own size is given in, in dots per inch.
inline constexpr double kScreenDpi = 96.0;
// Text height in device pixels beyond which glyphs are not drawn (they would be wider than any
// screen and cost seconds each to rasterise).
inline constexpr double kMaxTextPixels = 8192.0;
// Characters in one text record that are drawn.
inline constexpr size_t kMaxTextChars = 8192;
// Path elements a clip may have before it is reduced to its bounding box.
inline constexpr size_t kMaxClipElements = 4096;
// Widest pen drawn, in device pixels (Qt refuses far wider ones); wider pens are drawn this wide.
inline constexpr double kMaxPenPixels = 16384;
// Dashes of one outline beyond which it is drawn solid.
inline constexpr double kMaxDashes = 100000;
// Device coordinates beyond this magnitude are taken as garbage and the shape is not drawn.
inline constexpr double kMaxDeviceCoordinate = 1.0e7;

} // namespace vcl::metafile
