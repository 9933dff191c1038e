#include "tests/plugins_pic/spi_harness.h"

#include <gtest/gtest.h>

namespace pictest {

namespace {

int32_t Unpack(const testsupport::DeliveredDib& dib, Picture& picture) {
    if (dib.rc != SPI_OK) return dib.rc;
    EXPECT_TRUE(dib.locked);
    EXPECT_TRUE(dib.freed);
    if (!dib.locked) return dib.rc;
    const DibInfoHeader& h = dib.header;
    picture = Picture{};
    picture.width = h.biWidth;
    picture.height = h.biHeight;
    picture.bitsPerPixel = h.biBitCount;
    picture.paletteEntries = h.biClrUsed;
    EXPECT_EQ(dib.palette.size(), h.biClrUsed) << "colour table cut short";
    for (const DibRgbQuad& q : dib.palette)
        picture.palette.push_back(testsupport::RgbOf(q));
    EXPECT_GE(dib.bitsHandleBytes, dib.stride() * size_t(h.biHeight));
    for (int32_t y = 0; y < h.biHeight; ++y) {
        for (int32_t x = 0; x < h.biWidth; ++x) {
            if (h.biBitCount == 24) {
                picture.rgb.push_back(dib.Bgr(x, y));
                continue;
            }
            const uint32_t index = dib.Index(x, y);
            picture.indices.push_back(index);
            picture.rgb.push_back(index < picture.palette.size() ? picture.palette[index]
                                                                 : 0xDEADBEEF);
        }
    }
    return dib.rc;
}

} // namespace

int32_t Plugin::Decode(const std::vector<uint8_t>& bytes, Picture& picture) const {
    return Unpack(SpiPlugin::Decode(bytes), picture);
}

int32_t Plugin::DecodeFile(const std::string& path, int32_t offset, Picture& picture) const {
    return Unpack(SpiPlugin::DecodeFile(path, offset), picture);
}

} // namespace pictest
