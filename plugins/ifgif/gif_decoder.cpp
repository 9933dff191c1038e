#include "plugins/ifgif/gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "plugins/common/spi_density.h"

namespace ifgif {

namespace {

constexpr int kBitsPerPixel = 8;
constexpr uint32_t kMaxColours = 256;
constexpr int kNoTransparency = -1;
constexpr char kSignature[] = "GIF"; // giflib accepts any version after it
constexpr size_t kSignatureBytes = 3;
// The pixel aspect byte means a width-to-height ratio of (byte + 15) / 64.
constexpr unsigned kAspectOffset = 15;
constexpr unsigned kAspectScale = 64;
// Interlaced rows come in four passes: their first rows and steps.
constexpr int kPassStart[] = {0, 4, 2, 1};
constexpr int kPassStep[] = {8, 8, 4, 2};

// The input as giflib reads it; remembers whether a read asked for more than is left.
struct Reader {
    Bytes bytes;
    size_t position = 0;
    bool ranOut = false;
};

int ReadBytes(GifFileType* gif, GifByteType* buffer, int wanted) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t left = r->bytes.size() - r->position;
    size_t n = wanted > 0 ? size_t(wanted) : 0;
    if (n > left) {
        n = left;
        r->ranOut = true;
    }
    std::memcpy(buffer, r->bytes.data() + r->position, n);
    r->position += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// An open file positioned at the first frame's pixel data.
struct FirstFrame {
    std::unique_ptr<GifFileType, GifCloser> gif;
    int transparentIndex = kNoTransparency;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
};

int32_t StructureFailure(const Reader& r) {
    return r.ranOut ? SPI_FILE_READ_ERROR : SPI_BROKEN_DATA;
}

int32_t CheckSignature(Bytes bytes) {
    if (bytes.empty()) return SPI_FILE_READ_ERROR;
    const size_t n = std::min(bytes.size(), kSignatureBytes);
    if (std::memcmp(bytes.data(), kSignature, n) != 0) return SPI_NOT_SUPPORTED;
    return bytes.size() < kSignatureBytes ? SPI_FILE_READ_ERROR : SPI_OK;
}

// Skips one extension, remembering the transparent index of a graphic control block.
int32_t SkipExtension(GifFileType* gif, const Reader& r, int& transparentIndex) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return StructureFailure(r);
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        GraphicsControlBlock gcb{};
        DGifExtensionToGCB(block[0], block + 1, &gcb);
        transparentIndex = gcb.TransparentColor;
    }
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return StructureFailure(r);
    }
    return SPI_OK;
}

// Opens the file and reads records up to the first frame's descriptor.
int32_t OpenFirstFrame(Reader& r, FirstFrame& frame) {
    if (const int32_t rc = CheckSignature(r.bytes); rc != SPI_OK) return rc;
    int error = 0;
    frame.gif.reset(DGifOpen(&r, ReadBytes, &error));
    if (!frame.gif)
        return error == D_GIF_ERR_NOT_GIF_FILE ? SPI_NOT_SUPPORTED : StructureFailure(r);
    GifFileType* gif = frame.gif.get();
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) return StructureFailure(r);
        if (type == EXTENSION_RECORD_TYPE) {
            if (const int32_t rc = SkipExtension(gif, r, frame.transparentIndex); rc != SPI_OK)
                return rc;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) return SPI_BROKEN_DATA; // no frame at all
        if (DGifGetImageDesc(gif) == GIF_ERROR) return StructureFailure(r);
        break;
    }
    const GifImageDesc& d = gif->Image;
    frame.screenWidth = gif->SWidth;
    frame.screenHeight = gif->SHeight;
    // A screen without a size is taken to be just large enough for the frame.
    if (frame.screenWidth <= 0 || frame.screenHeight <= 0) {
        frame.screenWidth = d.Left + d.Width;
        frame.screenHeight = d.Top + d.Height;
    }
    return spi::CheckDimensions(frame.screenWidth, frame.screenHeight, kBitsPerPixel);
}

const ColorMapObject* FrameColourTable(const GifFileType* gif) {
    const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    return map && map->ColorCount > 0 && map->Colors ? map : nullptr;
}

// Fills the colour table: the frame's own, with black for indices beyond it, or, without one, a
// black-and-white or grey table large enough for the indices used.
uint32_t FillPalette(const ColorMapObject* map, unsigned highestIndex, DibRgbQuad* palette) {
    uint32_t entries;
    if (map) {
        const uint32_t tableEntries = std::min<uint32_t>(uint32_t(map->ColorCount), kMaxColours);
        entries = std::max<uint32_t>(tableEntries, highestIndex + 1);
        for (uint32_t i = 0; i < entries; ++i) {
            const GifColorType c = i < tableEntries ? map->Colors[i] : GifColorType{0, 0, 0};
            palette[i] = DibRgbQuad{c.Blue, c.Green, c.Red, 0};
        }
        return entries;
    }
    entries = 2;
    while (entries <= highestIndex)
        entries *= 2;
    for (uint32_t i = 0; i < entries; ++i) {
        const auto v = uint8_t(i * 255 / (entries - 1));
        palette[i] = DibRgbQuad{v, v, v, 0};
    }
    return entries;
}

// Where the frame lands on the screen: the visible columns of each of its rows.
struct Placement {
    int32_t top = 0;
    int32_t left = 0;
    int32_t columns = 0; // visible columns from the frame's left edge, 0 when none
};

Placement Place(const GifImageDesc& d, int32_t screenWidth) {
    Placement p;
    p.top = d.Top;
    p.left = d.Left;
    const int32_t right = std::min<int32_t>(d.Left + d.Width, screenWidth);
    p.columns = std::max<int32_t>(0, right - d.Left);
    return p;
}

// Copies the visible part of a frame row; returns the highest index copied when asked to
// (a full table needs no check).
unsigned CopyRow(const GifPixelType* line, const Placement& p, int transparentIndex,
                 bool trackHighest, uint8_t* screenRow) {
    const GifPixelType* src = line;
    uint8_t* dst = screenRow + p.left;
    unsigned highest = 0;
    if (transparentIndex == kNoTransparency) {
        std::memcpy(dst, src, size_t(p.columns));
        if (trackHighest)
            for (int32_t x = 0; x < p.columns; ++x)
                highest = std::max<unsigned>(highest, src[x]);
        return highest;
    }
    for (int32_t x = 0; x < p.columns; ++x) {
        if (src[x] == transparentIndex) continue;
        dst[x] = src[x];
        highest = std::max<unsigned>(highest, src[x]);
    }
    return highest;
}

} // namespace

int32_t ReadGifInfo(Bytes bytes, SpiPictureInfo& info) {
    Reader r{bytes};
    FirstFrame frame;
    if (const int32_t rc = OpenFirstFrame(r, frame); rc != SPI_OK) return rc;
    info = SpiPictureInfo{};
    info.width = frame.screenWidth;
    info.height = frame.screenHeight;
    const unsigned aspect = frame.gif->AspectByte;
    // Pixels aspect:64 wide to high have densities 64 (across) to aspect (down).
    const spi::Density d =
        aspect ? spi::ReducedDensity(kAspectScale, aspect + kAspectOffset) : spi::Density{};
    info.xDensity = d.x;
    info.yDensity = d.y;
    info.bitsPerPixel = kBitsPerPixel;
    return SPI_OK;
}

int32_t DecodeGif(Bytes bytes, spi::Progress progress, spi::DibOutput& out) {
    Reader r{bytes};
    FirstFrame frame;
    if (const int32_t rc = OpenFirstFrame(r, frame); rc != SPI_OK) return rc;
    GifFileType* gif = frame.gif.get();
    const GifImageDesc& d = gif->Image;
    // Room for every index a frame can use; biClrUsed tells how many are meant.
    if (const int32_t rc =
            out.Allocate(frame.screenWidth, frame.screenHeight, kBitsPerPixel, kMaxColours);
        rc != SPI_OK)
        return rc;
    const ColorMapObject* map = FrameColourTable(gif);
    const unsigned tableEntries = map ? unsigned(map->ColorCount) : 0;
    const unsigned background =
        unsigned(gif->SBackGroundColor) < tableEntries ? unsigned(gif->SBackGroundColor) : 0;
    // Also where the frame covers the screen: rows its data never reaches show the background.
    if (background != 0)
        std::memset(out.bits(), int(background), out.stride() * size_t(out.height()));
    unsigned highest = background;
    const bool trackHighest = tableEntries < kMaxColours;

    const Placement place = Place(d, frame.screenWidth);
    std::vector<GifPixelType> line(size_t(std::max(d.Width, 1)));
    const int passes = d.Interlace ? 4 : 1;
    int32_t decoded = 0;
    bool intact = true;
    for (int pass = 0; pass < passes && intact; ++pass) {
        const int start = d.Interlace ? kPassStart[pass] : 0;
        const int step = d.Interlace ? kPassStep[pass] : 1;
        for (int y = start; y < d.Height; y += step) {
            const int32_t screenY = place.top + y;
            // Rows below the screen of a frame that is not interlaced need not be decoded.
            if (!d.Interlace && screenY >= frame.screenHeight) break;
            if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR) {
                intact = false; // keep the rows decoded so far
                break;
            }
            if (screenY < frame.screenHeight && place.columns > 0)
                highest = std::max(highest, CopyRow(line.data(), place, frame.transparentIndex,
                                                    trackHighest, out.row(screenY)));
            if (!progress.Report(++decoded, d.Height)) return SPI_ABORTED;
        }
    }
    out.header()->biClrUsed = FillPalette(map, highest, out.palette());
    return SPI_OK;
}

} // namespace ifgif
