#include "tests/plugins_jgt/plugin_host.h"

#include <cstring>

namespace jgt {

size_t Picture::stride() const {
    return size_t(DibRowStride(uint32_t(header.biWidth), header.biBitCount));
}

unsigned Picture::Index(int32_t x, int32_t y) const {
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

uint32_t Picture::Bgr(int32_t x, int32_t y) const {
    if (header.biBitCount <= 8) {
        const DibRgbQuad q = palette.at(Index(x, y));
        return Rgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    const uint8_t* p = bits.data() + stride() * size_t(height() - 1 - y) + size_t(x) * 3;
    return Rgb(p[2], p[1], p[0]);
}

Picture TakePicture(int32_t rc, HGLOBAL32 infoHandle, HGLOBAL32 bitsHandle) {
    Picture p;
    p.rc = rc;
    if (rc != SPI_OK) return p;
    p.handlesWereUnlocked = GlobalLockCount(infoHandle) == 0 && GlobalLockCount(bitsHandle) == 0;
    p.bitsHandleBytes = GlobalSize(bitsHandle);
    const auto* info = static_cast<const uint8_t*>(GlobalLock(infoHandle));
    const auto* bits = static_cast<const uint8_t*>(GlobalLock(bitsHandle));
    if (info && GlobalSize(infoHandle) >= sizeof(DibInfoHeader)) {
        std::memcpy(&p.header, info, sizeof p.header);
        const size_t room = (GlobalSize(infoHandle) - sizeof(DibInfoHeader)) / sizeof(DibRgbQuad);
        const size_t n = std::min<size_t>(p.header.biClrUsed, room);
        p.palette.resize(n);
        if (n) std::memcpy(p.palette.data(), info + sizeof(DibInfoHeader), n * sizeof(DibRgbQuad));
    }
    if (bits) p.bits.assign(bits, bits + GlobalSize(bitsHandle));
    GlobalUnlock(bitsHandle);
    GlobalUnlock(infoHandle);
    GlobalFree(bitsHandle);
    GlobalFree(infoHandle);
    return p;
}

Plugin::Plugin(const std::string& fileName) : library_(fileName) {
    getPluginInfo = library_.entry<SpiGetPluginInfoFn>("GetPluginInfo");
    isSupported = library_.entry<SpiIsSupportedFn>("IsSupported");
    getPictureInfo = library_.entry<SpiGetPictureInfoFn>("GetPictureInfo");
    getPicture = library_.entry<SpiGetPictureFn>("GetPicture");
    getPreview = library_.entry<SpiGetPictureFn>("GetPreview");
}

int32_t Plugin::Info(const std::vector<uint8_t>& bytes, SpiPictureInfo& info) const {
    return getPictureInfo(reinterpret_cast<const char*>(bytes.data()), int32_t(bytes.size()),
                          SPI_INPUT_MEMORY, &info);
}

int32_t Plugin::InfoFromFile(const std::string& path, int32_t offset, SpiPictureInfo& info) const {
    return getPictureInfo(path.c_str(), offset, SPI_INPUT_FILE, &info);
}

static Picture Call(SpiGetPictureFn fn, const char* source, int32_t n, uint32_t flag) {
    HGLOBAL32 info = 0, bits = 0;
    const int32_t rc = fn(source, n, flag, &info, &bits, nullptr, 0);
    return TakePicture(rc, info, bits);
}

Picture Plugin::Decode(const std::vector<uint8_t>& bytes) const {
    return Call(getPicture, reinterpret_cast<const char*>(bytes.data()), int32_t(bytes.size()),
                SPI_INPUT_MEMORY);
}

Picture Plugin::DecodeFile(const std::string& path, int32_t offset) const {
    return Call(getPicture, path.c_str(), offset, SPI_INPUT_FILE);
}

Picture Plugin::Preview(const std::vector<uint8_t>& bytes) const {
    return Call(getPreview, reinterpret_cast<const char*>(bytes.data()), int32_t(bytes.size()),
                SPI_INPUT_MEMORY);
}

Picture Plugin::PreviewFile(const std::string& path, int32_t offset) const {
    return Call(getPreview, path.c_str(), offset, SPI_INPUT_FILE);
}

} // namespace jgt
