// The pane's load operation: the extension decides the loader; the plug-in paths decode into a
// bitmap, build a palette for an 8-bit screen and correct the aspect of PIC and PIC2 pictures.
// Every plug-in library and memory handle is released on every path, exceptions included.
#include "picture/all.h"
#include "picture/delivered_picture.h"
#include "picture/format_table.h"
#include "picture/parent_form.h"

#include "platform/dib.h"
#include "platform/dynlib.h"
#include "platform/palette.h"
#include "platform/paths.h"
#include "plugins/spi.h"
#include "vcl/dialogs.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/sysutils.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace picture {
namespace {

// Offset of the picture data tried again when offset 0 fails (files with a 128-byte prefix).
constexpr int32_t kRetryOffset = 128;
constexpr uint32_t kFlagFileOnDisk = SPI_INPUT_FILE;

// Each dimension of a preview is a quarter, rounded up.
int32_t QuarterRoundedUp(int32_t dimension) {
    return dimension / 4 + (dimension % 4 != 0 ? 1 : 0);
}

int ClampToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

// All rows of the delivered picture into the bitmap, its top-left on the bitmap's; what the rows
// do not reach is white, as in a newly sized bitmap.
void TransferRows(vcl::TBitmap& bitmap, const DeliveredPicture& delivered) {
    const DibInfoHeader& header = delivered.Header();
    const int rows = platform::SetDIBits(bitmap.Handle(), 0, static_cast<uint32_t>(header.biHeight),
                                         delivered.Bits(), delivered.BitsBytes(), delivered.Info(),
                                         delivered.InfoBytes());
    const QRect covered =
        rows > 0 ? QRect(0, 0, header.biWidth, ClampToInt(std::abs(int64_t{header.biHeight})))
                 : QRect();
    bitmap.FillOutside(covered, qRgb(255, 255, 255));
}

struct EntryPoints {
    SpiGetPictureInfoFn getPictureInfo = nullptr;
    SpiGetPictureFn getPicture = nullptr;
    SpiGetPictureFn getPreview = nullptr;
};

} // namespace

// Runs one LoadPicture on a pane; the pane's fields are its state.
class LoadOperation {
public:
    explicit LoadOperation(TAll& pane) : pane_(pane) {}
    void Run();

private:
    void ShowFailure(std::string_view reason);
    void FailUnsupported();
    void FailPluginMissing(const PluginFormat& format);
    void FailPluginCall(int32_t result);
    bool LookUpEntryPoints();
    void JpegPath();
    void BitmapPath();
    void CorrectAspect(const vcl::TBitmap& decoded);
    platform::HPALETTE BuildPalette(const DeliveredPicture& delivered);

    TAll& pane_;
    std::unique_ptr<platform::ScopedLibrary> library_;
    EntryPoints entries_;
};

void LoadOperation::ShowFailure(std::string_view reason) {
    vcl::ShowMessage(
        vcl::Format("%s [%s]", std::string(reason).c_str(), pane_.pictureName_.c_str()));
}

void LoadOperation::FailUnsupported() {
    pane_.error_ = kLoadUnsupportedExtension;
    ShowFailure(kUnsupportedExtensionText);
    pane_.pictureName_.clear();
    pane_.preView_ = false;
    pane_.orgWidth_ = 0;
    pane_.orgHeight_ = 0;
}

void LoadOperation::FailPluginMissing(const PluginFormat& format) {
    ShowFailure(PluginMissingText(format));
    pane_.error_ = kLoadPluginMissing;
    pane_.pictureName_.clear();
}

void LoadOperation::FailPluginCall(int32_t result) {
    pane_.error_ = result;
    ShowFailure(PluginResultText(result));
    pane_.pictureName_.clear();
    library_.reset();
}

void LoadOperation::Run() {
    pane_.error_ = kLoadOk;
    const std::string ext = platform::UpperCaseAscii(platform::ExtractFileExt(pane_.pictureName_));
    const PluginFormat* format = nullptr;
    if (IsBuiltInExtension(ext)) {
        pane_.pluginKind_ = 0;
        try {
            pane_.Picture()->LoadFromFile(pane_.pictureName_);
        } catch (const vcl::EInvalidGraphic&) {
            pane_.error_ = kLoadInvalidContent;
            ShowFailure(kUnknownFormatText);
            pane_.pictureName_.clear();
            return;
        }
    } else if ((format = FindPluginFormat(ext))) {
        pane_.pluginKind_ = format->kind;
        library_ = std::make_unique<platform::ScopedLibrary>(std::string(format->library));
    } else {
        FailUnsupported();
        return;
    }
    if (pane_.pluginKind_ != 1) {
        pane_.preView_ = false;
        pane_.orgWidth_ = 0;
        pane_.orgHeight_ = 0;
    }
    if (pane_.pluginKind_ == 0) return;
    if (!*library_) {
        library_.reset();
        FailPluginMissing(*format);
        return;
    }
    if (!LookUpEntryPoints()) {
        // Calling anything else in its place could run code of a library released earlier.
        FailPluginCall(kLoadPluginIncomplete);
        return;
    }
    if (pane_.pictureName_.find('\0') != std::string::npos) {
        // The plug-in would open the name cut at the zero: another file.
        FailPluginCall(SPI_FILE_READ_ERROR);
        return;
    }
    if (pane_.pluginKind_ == 1)
        JpegPath();
    else
        BitmapPath();
}

bool LoadOperation::LookUpEntryPoints() {
    const int32_t kind = pane_.pluginKind_;
    const bool withInfo = kind == 1 || kind == 4 || kind == 5;
    if (withInfo) entries_.getPictureInfo = library_->entry<SpiGetPictureInfoFn>("GetPictureInfo");
    if (kind == 1) entries_.getPreview = library_->entry<SpiGetPictureFn>("GetPreview");
    entries_.getPicture = library_->entry<SpiGetPictureFn>("GetPicture");
    if (!entries_.getPicture) return false;
    if (withInfo && !entries_.getPictureInfo) return false;
    if (kind == 1 && !entries_.getPreview) return false;
    return true;
}

void LoadOperation::JpegPath() {
    // The path is passed whole; the plug-in reads it up to its terminating zero.
    const char* name = pane_.pictureName_.c_str();
    SpiPictureInfo info{};
    int32_t offset = 0;
    int32_t result = entries_.getPictureInfo(name, 0, kFlagFileOnDisk, &info);
    if (result != 0) {
        info = SpiPictureInfo{};
        result = entries_.getPictureInfo(name, kRetryOffset, kFlagFileOnDisk, &info);
        if (result == 0) offset = kRetryOffset;
    }
    if (result != 0) {
        FailPluginCall(result);
        return;
    }
    TextInfoGuard textInfo(info.textInfo);
    vcl::TBitmap bitmap;
    pane_.orgWidth_ = info.width;
    pane_.orgHeight_ = info.height;
    if (pane_.preView_)
        bitmap.SetSizeForTransfer(QuarterRoundedUp(info.width), QuarterRoundedUp(info.height));
    else
        bitmap.SetSizeForTransfer(info.width, info.height);
    textInfo.Free();

    HGLOBAL32 infoHandle = 0;
    HGLOBAL32 bitsHandle = 0;
    SpiGetPictureFn decode = pane_.preView_ ? entries_.getPreview : entries_.getPicture;
    result = decode(name, offset, kFlagFileOnDisk, &infoHandle, &bitsHandle, nullptr, 0);
    if (result != 0) {
        FailPluginCall(result);
        return;
    }
    DeliveredPicture delivered(infoHandle, bitsHandle);
    if (!delivered.Lock() || !delivered.HasHeader()) {
        delivered.Release();
        FailPluginCall(delivered.Info() && delivered.Bits() ? SPI_BROKEN_DATA : SPI_MEMORY_ERROR);
        return;
    }
    // No palette is built on this path, so the transfer needs nothing of the pane's drawing
    // surface: fetching it would only allocate a blank bitmap of the pane's size.
    TransferRows(bitmap, delivered);
    delivered.Release();
    pane_.Picture()->SetGraphic(&bitmap);
    library_.reset();
}

platform::HPALETTE LoadOperation::BuildPalette(const DeliveredPicture& delivered) {
    const DibInfoHeader& header = delivered.Header();
    uint32_t colours = header.biClrUsed;
    if (colours == 0) {
        if (header.biBitCount == 8)
            colours = 256;
        else if (header.biBitCount == 4)
            colours = 16;
        else if (header.biBitCount == 1)
            colours = 2;
    }
    // Never read past the colour table the plug-in delivered, nor beyond a palette's size.
    const size_t tableStart =
        header.biSize >= sizeof(DibInfoHeader) && header.biSize <= delivered.InfoBytes()
            ? header.biSize
            : sizeof(DibInfoHeader);
    const size_t readable = (delivered.InfoBytes() - tableStart) / sizeof(DibRgbQuad);
    colours =
        static_cast<uint32_t>(std::min<size_t>({colours, readable, platform::kMaxPaletteEntries}));
    if (colours == 0) return nullptr;

    platform::LogPalette logPalette;
    logPalette.palVersion = platform::kLogPaletteVersion;
    logPalette.palPalEntry.resize(colours);
    const auto* table = static_cast<const uint8_t*>(delivered.Info()) + tableStart;
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t* quad = table + i * sizeof(DibRgbQuad);
        logPalette.palPalEntry[i] = {quad[2], quad[1], quad[0], 0};
    }
    return platform::CreatePalette(logPalette);
}

void LoadOperation::BitmapPath() {
    const char* name = pane_.pictureName_.c_str();
    HGLOBAL32 infoHandle = 0;
    HGLOBAL32 bitsHandle = 0;
    int32_t result =
        entries_.getPicture(name, 0, kFlagFileOnDisk, &infoHandle, &bitsHandle, nullptr, 0);
    if (result == SPI_NOT_SUPPORTED) {
        infoHandle = bitsHandle = 0;
        result = entries_.getPicture(name, kRetryOffset, kFlagFileOnDisk, &infoHandle, &bitsHandle,
                                     nullptr, 0);
    }
    if (result != 0) {
        FailPluginCall(result);
        return;
    }
    DeliveredPicture delivered(infoHandle, bitsHandle);
    if (!delivered.Lock() || !delivered.HasHeader()) {
        const bool locked = delivered.Info() && delivered.Bits();
        delivered.Release();
        FailPluginCall(locked ? SPI_BROKEN_DATA : SPI_MEMORY_ERROR);
        return;
    }
    const DibInfoHeader& header = delivered.Header();
    vcl::TBitmap bitmap;
    // A top-down picture (negative height) is as high as the magnitude of its height.
    bitmap.SetSizeForTransfer(header.biWidth, ClampToInt(std::abs(int64_t{header.biHeight})));

    bool eightBitScreen = false;
    {
        platform::ScopedScreenDC screen;
        eightBitScreen = platform::GetDeviceCaps(screen.get(), platform::BITSPIXEL) == 8;
    }
    platform::HPALETTE palette;
    platform::HPALETTE displaced;
    if (header.biBitCount <= 8 && eightBitScreen) palette = BuildPalette(delivered);
    if (palette) {
        platform::HDC surface = pane_.Canvas()->Handle();
        displaced = platform::SelectPalette(surface, palette, false);
        platform::RealizePalette(surface);
        bitmap.SetPalette(palette);
    }
    TransferRows(bitmap, delivered);
    delivered.Release();
    pane_.Picture()->SetGraphic(&bitmap);
    if (pane_.pluginKind_ == 4 || pane_.pluginKind_ == 5) CorrectAspect(bitmap);
    if (palette) {
        if (vcl::TCanvas* formCanvas = ParentFormCanvas(pane_)) {
            platform::HDC form = formCanvas->Handle();
            platform::SelectPalette(form, palette, false);
            platform::RealizePalette(form);
            platform::SelectPalette(form, displaced, false);
        }
    }
    library_.reset();
}

void LoadOperation::CorrectAspect(const vcl::TBitmap& decoded) {
    SpiPictureInfo info{};
    // Always offset 0, whatever the decoding needed.
    const int32_t result =
        entries_.getPictureInfo(pane_.pictureName_.c_str(), 0, kFlagFileOnDisk, &info);
    // A failed call leaves the densities undefined: the picture stays as decoded.
    if (result != 0) return;
    TextInfoGuard textInfo(info.textInfo);
    const int64_t x = info.xDensity;
    const int64_t y = info.yDensity;
    if (x == 1 && y == 1) return;
    if (x == 0 || y == 0) return; // unusable as divisors
    vcl::TBitmap corrected;
    if (x < y)
        corrected.SetSize(ClampToInt(decoded.Width() * y / x), decoded.Height());
    else
        corrected.SetSize(decoded.Width(), ClampToInt(decoded.Height() * x / y));
    corrected.Canvas()->StretchDraw(QRect(0, 0, corrected.Width(), corrected.Height()), &decoded);
    corrected.SetPalette(decoded.Palette());
    pane_.Picture()->SetGraphic(&corrected);
}

void TAll::LoadPicture() {
    LoadOperation(*this).Run();
}

} // namespace picture
