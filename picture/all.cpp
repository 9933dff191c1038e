#include "picture/all.h"

namespace picture {

TAll::TAll(vcl::TComponent* owner) : vcl::TImage(owner) {
    SetAutoSize(true);
    pictureName_.clear();
}

void TAll::SetPictureName(const std::string& pictureName) {
    pictureName_ = pictureName;
    if (pictureName_.empty()) {
        error_ = kLoadOk;
        Picture()->SetGraphic(nullptr);
        return;
    }
    Picture()->SetGraphic(nullptr);
    LoadPicture();
}

void TAll::SetPreView(bool preView) {
    preView_ = preView;
    if (!pictureName_.empty()) LoadPicture();
}

} // namespace picture
