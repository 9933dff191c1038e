#include "tests/plugins_mag/spi_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace magtest {

namespace {

// Reads the picture out of the two handles, checking the DIB as the host's transfer relies on
// it, then frees both.
int32_t Collect(int32_t rc, HGLOBAL32 infoHandle, HGLOBAL32 bitsHandle, Picture& picture) {
    if (rc != SPI_OK) {
        EXPECT_EQ(infoHandle, 0u) << "a failed call handed out a handle";
        EXPECT_EQ(bitsHandle, 0u) << "a failed call handed out a handle";
        return rc;
    }
    EXPECT_EQ(GlobalLockCount(infoHandle), 0) << "handles must be delivered unlocked";
    EXPECT_EQ(GlobalLockCount(bitsHandle), 0) << "handles must be delivered unlocked";
    const auto* info = static_cast<const uint8_t*>(GlobalLock(infoHandle));
    const auto* bits = static_cast<const uint8_t*>(GlobalLock(bitsHandle));
    EXPECT_NE(info, nullptr);
    EXPECT_NE(bits, nullptr);
    if (info && bits) {
        DibInfoHeader h;
        std::memcpy(&h, info, sizeof h);
        EXPECT_EQ(h.biSize, sizeof(DibInfoHeader));
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biCompression, uint32_t(DIB_COMPRESSION_RGB));
        EXPECT_GT(h.biHeight, 0) << "rows must be bottom-up";
        EXPECT_TRUE(h.biBitCount == 4 || h.biBitCount == 8) << h.biBitCount;
        EXPECT_EQ(h.biClrUsed, 1u << h.biBitCount);
        EXPECT_GE(GlobalSize(infoHandle), sizeof h + h.biClrUsed * sizeof(DibRgbQuad));
        const size_t stride = size_t(DibRowStride(uint32_t(h.biWidth), h.biBitCount));
        EXPECT_GE(GlobalSize(bitsHandle), stride * size_t(h.biHeight));
        picture = Picture{};
        picture.width = h.biWidth;
        picture.height = h.biHeight;
        picture.bitsPerPixel = h.biBitCount;
        const auto* quads = reinterpret_cast<const DibRgbQuad*>(info + sizeof h);
        for (uint32_t i = 0; i < h.biClrUsed; ++i)
            picture.palette.push_back(uint32_t(quads[i].rgbRed) << 16 |
                                      uint32_t(quads[i].rgbGreen) << 8 | quads[i].rgbBlue);
        picture.indices.reserve(size_t(h.biWidth) * size_t(h.biHeight));
        for (int32_t y = 0; y < h.biHeight; ++y) {
            const uint8_t* row = bits + stride * size_t(h.biHeight - 1 - y);
            for (int32_t x = 0; x < h.biWidth; ++x)
                picture.indices.push_back(h.biBitCount == 8 ? row[x]
                                                            : (row[x / 2] >> (x % 2 ? 0 : 4)) & 15);
        }
    }
    GlobalUnlock(infoHandle);
    GlobalUnlock(bitsHandle);
    EXPECT_EQ(GlobalFree(bitsHandle), 0u);
    EXPECT_EQ(GlobalFree(infoHandle), 0u);
    return rc;
}

} // namespace

Plugin::Plugin(const std::string& fileName) : library_(fileName) {
    getPluginInfo = library_.entry<SpiGetPluginInfoFn>("GetPluginInfo");
    isSupported = library_.entry<SpiIsSupportedFn>("IsSupported");
    getPictureInfo = library_.entry<SpiGetPictureInfoFn>("GetPictureInfo");
    getPicture = library_.entry<SpiGetPictureFn>("GetPicture");
}

bool Plugin::complete() const {
    return library_ && getPluginInfo && isSupported && getPictureInfo && getPicture;
}

// An empty vector has no data pointer; memory input of length 0 still points somewhere.
const char* MemoryOf(const std::vector<uint8_t>& bytes) {
    static const char nothing = 0;
    return bytes.empty() ? &nothing : reinterpret_cast<const char*>(bytes.data());
}

int32_t Plugin::Decode(const std::vector<uint8_t>& bytes, Picture& picture) const {
    HGLOBAL32 infoHandle = 0, bitsHandle = 0;
    const int32_t rc = getPicture(MemoryOf(bytes), int32_t(bytes.size()), SPI_INPUT_MEMORY,
                                  &infoHandle, &bitsHandle, nullptr, 0);
    return Collect(rc, infoHandle, bitsHandle, picture);
}

int32_t Plugin::DecodeFile(const std::filesystem::path& path, int32_t offset,
                           Picture& picture) const {
    HGLOBAL32 infoHandle = 0, bitsHandle = 0;
    const int32_t rc =
        getPicture(path.c_str(), offset, SPI_INPUT_FILE, &infoHandle, &bitsHandle, nullptr, 0);
    return Collect(rc, infoHandle, bitsHandle, picture);
}

int32_t Plugin::LoadLikeHost(const std::filesystem::path& path, Picture& picture) const {
    const int32_t rc = DecodeFile(path, 0, picture);
    return rc == SPI_NOT_SUPPORTED ? DecodeFile(path, 128, picture) : rc;
}

int32_t Plugin::Info(const std::vector<uint8_t>& bytes, SpiPictureInfo& info) const {
    return getPictureInfo(MemoryOf(bytes), int32_t(bytes.size()), SPI_INPUT_MEMORY, &info);
}

int32_t Plugin::InfoFile(const std::filesystem::path& path, int32_t offset,
                         SpiPictureInfo& info) const {
    return getPictureInfo(path.c_str(), offset, SPI_INPUT_FILE, &info);
}

std::filesystem::path WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "plugins_mag";
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

} // namespace magtest
