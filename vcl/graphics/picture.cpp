#include "vcl/graphics/picture.h"

#include "platform/paths.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/icon.h"
#include "vcl/graphics/metafile_graphic.h"
#include "vcl/sysutils.h"

namespace vcl {
namespace {

std::unique_ptr<TGraphic> GraphicForExtension(const std::string& fileName) {
    const std::string ext = platform::UpperCaseAscii(platform::ExtractFileExt(fileName));
    if (ext == ".BMP") return std::make_unique<TBitmap>();
    if (ext == ".ICO" || ext == ".CUR") return std::make_unique<TIcon>();
    if (ext == ".WMF" || ext == ".EMF") return std::make_unique<TMetafile>();
    throw EInvalidGraphic(Format("不明な画像ファイルの拡張子です (%s)", ext.c_str()));
}

} // namespace

TPicture::~TPicture() {
    if (graphic_) graphic_->OnChange = nullptr;
}

void TPicture::SetGraphic(const TGraphic* graphic) {
    Adopt(graphic ? graphic->Clone() : nullptr);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    Adopt(std::move(graphic));
}

TBitmap* TPicture::Bitmap() const {
    return dynamic_cast<TBitmap*>(graphic_.get());
}

void TPicture::LoadFromFile(const std::string& fileName) {
    std::unique_ptr<TGraphic> graphic = GraphicForExtension(fileName);
    graphic->LoadFromFile(fileName);
    Adopt(std::move(graphic));
}

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic) {
    if (graphic_) graphic_->OnChange = nullptr;
    graphic_ = std::move(graphic);
    if (graphic_) graphic_->OnChange = [this](TGraphic*) { Changed(); };
    Changed();
}

void TPicture::Changed() {
    ++changes_;
    if (OnChange) OnChange(this);
}

} // namespace vcl
