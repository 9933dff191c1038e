#include "platform/screen.h"

#include <atomic>
#include <mutex>
#include <unordered_set>

namespace platform {
namespace {

std::atomic<int> screenBits{kDefaultScreenBitsPerPixel};

struct ScreenContexts {
    std::mutex mutex;
    std::unordered_set<HDC> live;
};

ScreenContexts& Screens() {
    static ScreenContexts contexts;
    return contexts;
}

} // namespace

int ScreenBitsPerPixel() {
    return screenBits.load();
}

void SetScreenBitsPerPixel(int bitsPerPixel) {
    if (bitsPerPixel >= 1) screenBits.store(bitsPerPixel);
}

HDC GetDC(const void* window) {
    if (window) return nullptr;
    auto* dc = new DeviceContext("screen");
    std::lock_guard lock(Screens().mutex);
    Screens().live.insert(dc);
    return dc;
}

int ReleaseDC(const void*, HDC dc) {
    if (!dc) return 0;
    {
        std::lock_guard lock(Screens().mutex);
        if (Screens().live.erase(dc) == 0) return 0;
    }
    delete dc;
    return 1;
}

size_t LiveScreenContexts() {
    std::lock_guard lock(Screens().mutex);
    return Screens().live.size();
}

int GetDeviceCaps(HDC dc, int index) {
    if (!dc) return 0;
    switch (index) {
    case BITSPIXEL:
        return ScreenBitsPerPixel();
    case PLANES:
        return 1;
    default:
        return 0;
    }
}

} // namespace platform
