// The abstract picture content a TPicture holds: a bitmap, an icon or a metafile.
#pragma once

#include "platform/palette.h"

#include <QRect>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class QPainter;

namespace vcl {

class TGraphic {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;
    virtual ~TGraphic() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }

    // Draws the graphic scaled into the rectangle.
    virtual void Draw(QPainter& painter, const QRect& rect) const = 0;

    // Reads the file: EFOpenError when it cannot be opened, EReadError when it cannot be read or
    // ends before the format's header, EInvalidGraphic for content that is not this format.
    // The graphic is unchanged when it fails.
    void LoadFromFile(const std::string& fileName);
    virtual void LoadFromBytes(std::span<const uint8_t> bytes) = 0;

    // Graphics without a palette answer null and ignore a palette given to them.
    virtual platform::HPALETTE Palette() const { return nullptr; }
    virtual void SetPalette(platform::HPALETTE) {}

    // An independent copy; pixel data is shared until one of them changes it.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;

    // Raised after the content or the size changed.
    std::function<void(TGraphic* sender)> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange(this);
    }
};

// Largest picture file read into memory, in bytes; bigger files are refused as invalid rather
// than exhausting memory.
inline constexpr uint64_t kMaxPictureFileBytes = uint64_t{1} << 30;

// The whole file's bytes; raises EFOpenError or EReadError.
std::vector<uint8_t> ReadPictureFile(const std::string& fileName);

} // namespace vcl
