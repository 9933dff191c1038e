// The two memory handles a plug-in's decoding call delivers: locked for reading, then unlocked and
// freed in a fixed order, on every path.
#pragma once

#include "platform/dib_layout.h"
#include "platform/memhandle.h"

#include <cstddef>

namespace picture {

class DeliveredPicture {
public:
    DeliveredPicture(HGLOBAL32 bitmapInfo, HGLOBAL32 bits)
        : infoHandle_(bitmapInfo), bitsHandle_(bits) {}
    ~DeliveredPicture() { Release(); }
    DeliveredPicture(const DeliveredPicture&) = delete;
    DeliveredPicture& operator=(const DeliveredPicture&) = delete;

    // Locks the bits, then the information. False when either cannot be locked.
    bool Lock();
    // True when the information block holds at least a whole header.
    bool HasHeader() const { return info_ && infoBytes_ >= sizeof(DibInfoHeader); }
    const DibInfoHeader& Header() const { return *static_cast<const DibInfoHeader*>(info_); }

    const void* Info() const { return info_; }
    size_t InfoBytes() const { return infoBytes_; }
    const void* Bits() const { return bits_; }
    size_t BitsBytes() const { return bitsBytes_; }

    // Unlocks the bits, then the information; frees the bits, then the information.
    void Release();

private:
    HGLOBAL32 infoHandle_;
    HGLOBAL32 bitsHandle_;
    void* info_ = nullptr;
    void* bits_ = nullptr;
    size_t infoBytes_ = 0;
    size_t bitsBytes_ = 0;
    bool released_ = false;
};

// Frees a picture-information record's text handle unless it was freed already.
class TextInfoGuard {
public:
    explicit TextInfoGuard(HGLOBAL32 handle) : handle_(handle) {}
    ~TextInfoGuard() { Free(); }
    TextInfoGuard(const TextInfoGuard&) = delete;
    TextInfoGuard& operator=(const TextInfoGuard&) = delete;
    void Free() {
        if (handle_) GlobalFree(handle_);
        handle_ = 0;
    }

private:
    HGLOBAL32 handle_;
};

} // namespace picture
