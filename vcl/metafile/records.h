// Record types the player understands, and the GDI constants their parameters use.
#pragma once

#include <cstdint>

namespace vcl::metafile {

namespace wmf {
inline constexpr uint16_t kEof = 0x0000;
inline constexpr uint16_t kSaveDc = 0x001E;
inline constexpr uint16_t kCreatePalette = 0x00F7;
inline constexpr uint16_t kSetBkMode = 0x0102;
inline constexpr uint16_t kSetMapMode = 0x0103;
inline constexpr uint16_t kSetRop2 = 0x0104;
inline constexpr uint16_t kSetPolyFillMode = 0x0106;
inline constexpr uint16_t kSetTextCharExtra = 0x0108;
inline constexpr uint16_t kRestoreDc = 0x0127;
inline constexpr uint16_t kInvertRegion = 0x012A;
inline constexpr uint16_t kPaintRegion = 0x012B;
inline constexpr uint16_t kSelectClipRegion = 0x012C;
inline constexpr uint16_t kSelectObject = 0x012D;
inline constexpr uint16_t kSetTextAlign = 0x012E;
inline constexpr uint16_t kDibCreatePatternBrush = 0x0142;
inline constexpr uint16_t kDeleteObject = 0x01F0;
inline constexpr uint16_t kCreatePatternBrush = 0x01F9;
inline constexpr uint16_t kSetBkColor = 0x0201;
inline constexpr uint16_t kSetTextColor = 0x0209;
inline constexpr uint16_t kSetWindowOrg = 0x020B;
inline constexpr uint16_t kSetWindowExt = 0x020C;
inline constexpr uint16_t kSetViewportOrg = 0x020D;
inline constexpr uint16_t kSetViewportExt = 0x020E;
inline constexpr uint16_t kOffsetWindowOrg = 0x020F;
inline constexpr uint16_t kOffsetViewportOrg = 0x0211;
inline constexpr uint16_t kLineTo = 0x0213;
inline constexpr uint16_t kMoveTo = 0x0214;
inline constexpr uint16_t kOffsetClipRgn = 0x0220;
inline constexpr uint16_t kFillRegion = 0x0228;
inline constexpr uint16_t kFrameRegion = 0x0429;
inline constexpr uint16_t kCreatePenIndirect = 0x02FA;
inline constexpr uint16_t kCreateFontIndirect = 0x02FB;
inline constexpr uint16_t kCreateBrushIndirect = 0x02FC;
inline constexpr uint16_t kPolygon = 0x0324;
inline constexpr uint16_t kPolyline = 0x0325;
inline constexpr uint16_t kScaleWindowExt = 0x0410;
inline constexpr uint16_t kScaleViewportExt = 0x0412;
inline constexpr uint16_t kExcludeClipRect = 0x0415;
inline constexpr uint16_t kIntersectClipRect = 0x0416;
inline constexpr uint16_t kEllipse = 0x0418;
inline constexpr uint16_t kRectangle = 0x041B;
inline constexpr uint16_t kSetPixel = 0x041F;
inline constexpr uint16_t kTextOut = 0x0521;
inline constexpr uint16_t kPolyPolygon = 0x0538;
inline constexpr uint16_t kRoundRect = 0x061C;
inline constexpr uint16_t kPatBlt = 0x061D;
inline constexpr uint16_t kEscape = 0x0626;
inline constexpr uint16_t kCreateRegion = 0x06FF;
inline constexpr uint16_t kArc = 0x0817;
inline constexpr uint16_t kPie = 0x081A;
inline constexpr uint16_t kChord = 0x0830;
inline constexpr uint16_t kBitBlt = 0x0922;
inline constexpr uint16_t kDibBitBlt = 0x0940;
inline constexpr uint16_t kExtTextOut = 0x0A32;
inline constexpr uint16_t kStretchBlt = 0x0B23;
inline constexpr uint16_t kDibStretchBlt = 0x0B41;
inline constexpr uint16_t kSetDibToDev = 0x0D33;
inline constexpr uint16_t kStretchDib = 0x0F43;
} // namespace wmf

namespace emf {
inline constexpr uint32_t kHeader = 1;
inline constexpr uint32_t kPolyBezier = 2;
inline constexpr uint32_t kPolygon = 3;
inline constexpr uint32_t kPolyline = 4;
inline constexpr uint32_t kPolyBezierTo = 5;
inline constexpr uint32_t kPolylineTo = 6;
inline constexpr uint32_t kPolyPolyline = 7;
inline constexpr uint32_t kPolyPolygon = 8;
inline constexpr uint32_t kSetWindowExtEx = 9;
inline constexpr uint32_t kSetWindowOrgEx = 10;
inline constexpr uint32_t kSetViewportExtEx = 11;
inline constexpr uint32_t kSetViewportOrgEx = 12;
inline constexpr uint32_t kSetBrushOrgEx = 13;
inline constexpr uint32_t kEof = 14;
inline constexpr uint32_t kSetPixelV = 15;
inline constexpr uint32_t kSetMapMode = 17;
inline constexpr uint32_t kSetBkMode = 18;
inline constexpr uint32_t kSetPolyFillMode = 19;
inline constexpr uint32_t kSetRop2 = 20;
inline constexpr uint32_t kSetTextAlign = 22;
inline constexpr uint32_t kSetTextColor = 24;
inline constexpr uint32_t kSetBkColor = 25;
inline constexpr uint32_t kOffsetClipRgn = 26;
inline constexpr uint32_t kMoveToEx = 27;
inline constexpr uint32_t kExcludeClipRect = 29;
inline constexpr uint32_t kIntersectClipRect = 30;
inline constexpr uint32_t kScaleViewportExtEx = 31;
inline constexpr uint32_t kScaleWindowExtEx = 32;
inline constexpr uint32_t kSaveDc = 33;
inline constexpr uint32_t kRestoreDc = 34;
inline constexpr uint32_t kSetWorldTransform = 35;
inline constexpr uint32_t kModifyWorldTransform = 36;
inline constexpr uint32_t kSelectObject = 37;
inline constexpr uint32_t kCreatePen = 38;
inline constexpr uint32_t kCreateBrushIndirect = 39;
inline constexpr uint32_t kDeleteObject = 40;
inline constexpr uint32_t kAngleArc = 41;
inline constexpr uint32_t kEllipse = 42;
inline constexpr uint32_t kRectangle = 43;
inline constexpr uint32_t kRoundRect = 44;
inline constexpr uint32_t kArc = 45;
inline constexpr uint32_t kChord = 46;
inline constexpr uint32_t kPie = 47;
inline constexpr uint32_t kCreatePalette = 49;
inline constexpr uint32_t kLineTo = 54;
inline constexpr uint32_t kArcTo = 55;
inline constexpr uint32_t kSetArcDirection = 57;
inline constexpr uint32_t kSetMiterLimit = 58;
inline constexpr uint32_t kBeginPath = 59;
inline constexpr uint32_t kEndPath = 60;
inline constexpr uint32_t kCloseFigure = 61;
inline constexpr uint32_t kFillPath = 62;
inline constexpr uint32_t kStrokeAndFillPath = 63;
inline constexpr uint32_t kStrokePath = 64;
inline constexpr uint32_t kFlattenPath = 65;
inline constexpr uint32_t kWidenPath = 66;
inline constexpr uint32_t kSelectClipPath = 67;
inline constexpr uint32_t kAbortPath = 68;
inline constexpr uint32_t kGdiComment = 70;
inline constexpr uint32_t kFillRgn = 71;
inline constexpr uint32_t kPaintRgn = 74;
inline constexpr uint32_t kExtSelectClipRgn = 75;
inline constexpr uint32_t kBitBlt = 76;
inline constexpr uint32_t kStretchBlt = 77;
inline constexpr uint32_t kSetDiBitsToDevice = 80;
inline constexpr uint32_t kStretchDiBits = 81;
inline constexpr uint32_t kExtCreateFontIndirectW = 82;
inline constexpr uint32_t kExtTextOutA = 83;
inline constexpr uint32_t kExtTextOutW = 84;
inline constexpr uint32_t kPolyBezier16 = 85;
inline constexpr uint32_t kPolygon16 = 86;
inline constexpr uint32_t kPolyline16 = 87;
inline constexpr uint32_t kPolyBezierTo16 = 88;
inline constexpr uint32_t kPolylineTo16 = 89;
inline constexpr uint32_t kPolyPolyline16 = 90;
inline constexpr uint32_t kPolyPolygon16 = 91;
inline constexpr uint32_t kCreateMonoBrush = 93;
inline constexpr uint32_t kCreateDibPatternBrushPt = 94;
inline constexpr uint32_t kExtCreatePen = 95;
} // namespace emf

// Map modes.
enum MapMode : int {
    kMmText = 1,
    kMmLoMetric = 2,
    kMmHiMetric = 3,
    kMmLoEnglish = 4,
    kMmHiEnglish = 5,
    kMmTwips = 6,
    kMmIsotropic = 7,
    kMmAnisotropic = 8
};

// Text alignment flags.
inline constexpr uint32_t kTaUpdateCp = 1;
inline constexpr uint32_t kTaRight = 2;
inline constexpr uint32_t kTaCenter = 6;
inline constexpr uint32_t kTaBottom = 8;
inline constexpr uint32_t kTaBaseline = 24;
// Text output options.
inline constexpr uint32_t kEtoOpaque = 2;
inline constexpr uint32_t kEtoClipped = 4;

// Background modes.
inline constexpr int kTransparent = 1;
inline constexpr int kOpaque = 2;

// Polygon fill modes.
inline constexpr int kAlternate = 1;
inline constexpr int kWinding = 2;

// The binary raster operation that copies the pen.
inline constexpr int kR2CopyPen = 13;
inline constexpr int kR2Nop = 11;

// Arc direction.
inline constexpr int kAdCounterClockwise = 1;
inline constexpr int kAdClockwise = 2;

} // namespace vcl::metafile
