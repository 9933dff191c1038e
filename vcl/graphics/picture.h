// The picture object of an image control: holds one graphic or none, loads files by extension
// and tells its owner when its content changes.
#pragma once

#include "vcl/graphics/graphic.h"

#include <functional>
#include <memory>
#include <string>

namespace vcl {

class TBitmap;

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    ~TPicture();

    // The graphic held, or null.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Keeps its own copy of the graphic (pixels shared until either side changes them); null
    // empties the picture.
    void SetGraphic(const TGraphic* graphic);
    // Takes the graphic itself.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The bitmap held, or null when the graphic is not a bitmap.
    TBitmap* Bitmap() const;

    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // Chooses the reader by the upper-cased extension: ".BMP" bitmap, ".ICO" and ".CUR" icon,
    // ".WMF" and ".EMF" metafile. Raises EInvalidGraphic for another extension or invalid
    // content, EFOpenError when the file cannot be opened, EReadError when it cannot be read or
    // ends before its header. On failure the picture is unchanged.
    void LoadFromFile(const std::string& fileName);

    // Raised after the graphic was replaced, emptied, or changed itself. Sender is the picture.
    std::function<void(TPicture* sender)> OnChange;

    // Counts every change: a drawing cache made from one state of the picture is stale as soon as
    // this moves on.
    uint64_t ChangeCount() const { return changes_; }

private:
    void Adopt(std::unique_ptr<TGraphic> graphic);
    void Changed();

    std::unique_ptr<TGraphic> graphic_;
    uint64_t changes_ = 0;
};

} // namespace vcl
