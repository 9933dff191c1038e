#include "tests/support/spi_host.h"

#include <algorithm>
#include <cstring>

namespace testsupport {

size_t DeliveredDib::stride() const {
    return size_t(DibRowStride(uint32_t(header.biWidth), header.biBitCount));
}

unsigned DeliveredDib::Index(int32_t x, int32_t y) const {
    const uint8_t* row = bits.data() + stride() * size_t(height() - 1 - y);
    switch (header.biBitCount) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
    default:
        return row[x];
    }
}

uint32_t DeliveredDib::Bgr(int32_t x, int32_t y) const {
    if (header.biBitCount <= 8) return RgbOf(palette.at(Index(x, y)));
    const uint8_t* p = bits.data() + stride() * size_t(height() - 1 - y) + size_t(x) * 3;
    return Rgb(p[2], p[1], p[0]);
}

DeliveredDib TakeDib(int32_t rc, HGLOBAL32 infoHandle, HGLOBAL32 bitsHandle) {
    DeliveredDib p;
    p.rc = rc;
    if (rc != SPI_OK) {
        p.handlesOnFailure = infoHandle != 0 || bitsHandle != 0;
        return p;
    }
    p.handlesWereUnlocked = GlobalLockCount(infoHandle) == 0 && GlobalLockCount(bitsHandle) == 0;
    p.infoHandleBytes = GlobalSize(infoHandle);
    p.bitsHandleBytes = GlobalSize(bitsHandle);
    const auto* info = static_cast<const uint8_t*>(GlobalLock(infoHandle));
    const auto* bits = static_cast<const uint8_t*>(GlobalLock(bitsHandle));
    p.locked = info && bits;
    if (info && p.infoHandleBytes >= sizeof(DibInfoHeader)) {
        std::memcpy(&p.header, info, sizeof p.header);
        const size_t room = (p.infoHandleBytes - sizeof(DibInfoHeader)) / sizeof(DibRgbQuad);
        const size_t n = std::min<size_t>(p.header.biClrUsed, room);
        p.palette.resize(n);
        if (n) std::memcpy(p.palette.data(), info + sizeof(DibInfoHeader), n * sizeof(DibRgbQuad));
    }
    if (bits) p.bits.assign(bits, bits + p.bitsHandleBytes);
    GlobalUnlock(bitsHandle);
    GlobalUnlock(infoHandle);
    const bool bitsFreed = GlobalFree(bitsHandle) == 0;
    const bool infoFreed = GlobalFree(infoHandle) == 0;
    p.freed = bitsFreed && infoFreed;
    return p;
}

SpiPlugin::SpiPlugin(const std::string& fileName) : library_(fileName) {
    getPluginInfo = library_.entry<SpiGetPluginInfoFn>("GetPluginInfo");
    isSupported = library_.entry<SpiIsSupportedFn>("IsSupported");
    getPictureInfo = library_.entry<SpiGetPictureInfoFn>("GetPictureInfo");
    getPicture = library_.entry<SpiGetPictureFn>("GetPicture");
    getPreview = library_.entry<SpiGetPictureFn>("GetPreview");
}

bool SpiPlugin::complete() const {
    return library_ && getPluginInfo && isSupported && getPictureInfo && getPicture;
}

namespace {

// An empty vector has no data pointer; memory input of length 0 still points somewhere.
const char* MemoryOf(const std::vector<uint8_t>& bytes) {
    static const char nothing = 0;
    return bytes.empty() ? &nothing : reinterpret_cast<const char*>(bytes.data());
}

DeliveredDib Call(SpiGetPictureFn fn, const char* source, int32_t offsetOrLength, uint32_t flag) {
    HGLOBAL32 info = 0, bits = 0;
    const int32_t rc = fn(source, offsetOrLength, flag, &info, &bits, nullptr, 0);
    return TakeDib(rc, info, bits);
}

} // namespace

int32_t SpiPlugin::Info(const std::vector<uint8_t>& bytes, SpiPictureInfo& info) const {
    return getPictureInfo(MemoryOf(bytes), int32_t(bytes.size()), SPI_INPUT_MEMORY, &info);
}

int32_t SpiPlugin::InfoFile(const std::string& path, int32_t offset, SpiPictureInfo& info) const {
    return getPictureInfo(path.c_str(), offset, SPI_INPUT_FILE, &info);
}

DeliveredDib SpiPlugin::Decode(const std::vector<uint8_t>& bytes) const {
    return Call(getPicture, MemoryOf(bytes), int32_t(bytes.size()), SPI_INPUT_MEMORY);
}

DeliveredDib SpiPlugin::DecodeFile(const std::string& path, int32_t offset) const {
    return Call(getPicture, path.c_str(), offset, SPI_INPUT_FILE);
}

DeliveredDib SpiPlugin::Preview(const std::vector<uint8_t>& bytes) const {
    return Call(getPreview, MemoryOf(bytes), int32_t(bytes.size()), SPI_INPUT_MEMORY);
}

DeliveredDib SpiPlugin::PreviewFile(const std::string& path, int32_t offset) const {
    return Call(getPreview, path.c_str(), offset, SPI_INPUT_FILE);
}

} // namespace testsupport
