#include "picture/delivered_picture.h"

namespace picture {

bool DeliveredPicture::Lock() {
    bits_ = GlobalLock(bitsHandle_);
    if (bits_) bitsBytes_ = GlobalSize(bitsHandle_);
    info_ = GlobalLock(infoHandle_);
    if (info_) infoBytes_ = GlobalSize(infoHandle_);
    return bits_ && info_;
}

void DeliveredPicture::Release() {
    if (released_) return;
    released_ = true;
    if (bits_) GlobalUnlock(bitsHandle_);
    if (info_) GlobalUnlock(infoHandle_);
    bits_ = info_ = nullptr;
    if (bitsHandle_) GlobalFree(bitsHandle_);
    if (infoHandle_) GlobalFree(infoHandle_);
}

} // namespace picture
