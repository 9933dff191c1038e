#include "tests/plugins_pic/spi_harness.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pictest {

Plugin::Plugin(const std::string& fileName) : library_(fileName) {
    getPluginInfo = library_.entry<SpiGetPluginInfoFn>("GetPluginInfo");
    isSupported = library_.entry<SpiIsSupportedFn>("IsSupported");
    getPictureInfo = library_.entry<SpiGetPictureInfoFn>("GetPictureInfo");
    getPicture = library_.entry<SpiGetPictureFn>("GetPicture");
}

int32_t Plugin::Decode(const std::vector<uint8_t>& bytes, Picture& picture) const {
    HGLOBAL32 infoHandle = 0, bitsHandle = 0;
    const int32_t rc =
        getPicture(reinterpret_cast<const char*>(bytes.data()), int32_t(bytes.size()),
                   SPI_INPUT_MEMORY, &infoHandle, &bitsHandle, nullptr, 0);
    return Collect(rc, infoHandle, bitsHandle, picture);
}

int32_t Plugin::DecodeFile(const std::string& path, int32_t offset, Picture& picture) const {
    HGLOBAL32 infoHandle = 0, bitsHandle = 0;
    const int32_t rc =
        getPicture(path.c_str(), offset, SPI_INPUT_FILE, &infoHandle, &bitsHandle, nullptr, 0);
    return Collect(rc, infoHandle, bitsHandle, picture);
}

int32_t Plugin::Info(const std::vector<uint8_t>& bytes, SpiPictureInfo& info) const {
    return getPictureInfo(reinterpret_cast<const char*>(bytes.data()), int32_t(bytes.size()),
                          SPI_INPUT_MEMORY, &info);
}

int32_t Plugin::Collect(int32_t rc, HGLOBAL32 infoHandle, HGLOBAL32 bitsHandle,
                        Picture& picture) const {
    if (rc != SPI_OK) return rc;
    const auto* info = static_cast<const uint8_t*>(GlobalLock(infoHandle));
    const auto* bits = static_cast<const uint8_t*>(GlobalLock(bitsHandle));
    EXPECT_NE(info, nullptr);
    EXPECT_NE(bits, nullptr);
    if (info && bits) {
        DibInfoHeader h;
        std::memcpy(&h, info, sizeof h);
        picture = Picture{};
        picture.width = h.biWidth;
        picture.height = h.biHeight;
        picture.bitsPerPixel = h.biBitCount;
        picture.paletteEntries = h.biClrUsed;
        const auto* quads = reinterpret_cast<const DibRgbQuad*>(info + sizeof h);
        for (uint32_t i = 0; i < h.biClrUsed; ++i)
            picture.palette.push_back(uint32_t(quads[i].rgbRed) << 16 |
                                      uint32_t(quads[i].rgbGreen) << 8 | quads[i].rgbBlue);
        const size_t stride = size_t(DibRowStride(uint32_t(h.biWidth), h.biBitCount));
        EXPECT_GE(GlobalSize(bitsHandle), stride * size_t(h.biHeight));
        for (int32_t y = 0; y < h.biHeight; ++y) {
            const uint8_t* row = bits + stride * size_t(h.biHeight - 1 - y);
            for (int32_t x = 0; x < h.biWidth; ++x) {
                if (h.biBitCount == 24) {
                    const uint8_t* p = row + 3 * x;
                    picture.rgb.push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
                    continue;
                }
                const uint32_t index =
                    h.biBitCount == 8 ? row[x] : (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
                picture.indices.push_back(index);
                picture.rgb.push_back(index < picture.palette.size() ? picture.palette[index]
                                                                     : 0xDEADBEEF);
            }
        }
    }
    GlobalUnlock(infoHandle);
    GlobalUnlock(bitsHandle);
    EXPECT_EQ(GlobalFree(bitsHandle), 0u);
    EXPECT_EQ(GlobalFree(infoHandle), 0u);
    return rc;
}

} // namespace pictest
