#include "tests/plugins_mag/spi_host.h"

#include <gtest/gtest.h>

#include <fstream>

namespace magtest {

namespace {

// Checks the delivered DIB as the host's transfer relies on it, then unpacks it.
int32_t Unpack(const testsupport::DeliveredDib& dib, Picture& picture) {
    if (dib.rc != SPI_OK) {
        EXPECT_FALSE(dib.handlesOnFailure) << "a failed call handed out a handle";
        return dib.rc;
    }
    EXPECT_TRUE(dib.handlesWereUnlocked) << "handles must be delivered unlocked";
    EXPECT_TRUE(dib.locked);
    EXPECT_TRUE(dib.freed);
    if (dib.locked) {
        const DibInfoHeader& h = dib.header;
        EXPECT_EQ(h.biSize, sizeof(DibInfoHeader));
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biCompression, uint32_t(DIB_COMPRESSION_RGB));
        EXPECT_GT(h.biHeight, 0) << "rows must be bottom-up";
        EXPECT_TRUE(h.biBitCount == 4 || h.biBitCount == 8) << h.biBitCount;
        EXPECT_EQ(h.biClrUsed, 1u << h.biBitCount);
        EXPECT_GE(dib.infoHandleBytes, sizeof h + h.biClrUsed * sizeof(DibRgbQuad));
        EXPECT_GE(dib.bitsHandleBytes, dib.stride() * size_t(h.biHeight));
        picture = Picture{};
        picture.width = h.biWidth;
        picture.height = h.biHeight;
        picture.bitsPerPixel = h.biBitCount;
        for (const DibRgbQuad& q : dib.palette)
            picture.palette.push_back(testsupport::RgbOf(q));
        picture.indices.reserve(size_t(h.biWidth) * size_t(h.biHeight));
        for (int32_t y = 0; y < h.biHeight; ++y)
            for (int32_t x = 0; x < h.biWidth; ++x)
                picture.indices.push_back(uint8_t(dib.Index(x, y)));
    }
    return dib.rc;
}

} // namespace

int32_t Plugin::Decode(const std::vector<uint8_t>& bytes, Picture& picture) const {
    return Unpack(SpiPlugin::Decode(bytes), picture);
}

int32_t Plugin::DecodeFile(const std::filesystem::path& path, int32_t offset,
                           Picture& picture) const {
    return Unpack(SpiPlugin::DecodeFile(path.string(), offset), picture);
}

int32_t Plugin::LoadLikeHost(const std::filesystem::path& path, Picture& picture) const {
    const int32_t rc = DecodeFile(path, 0, picture);
    return rc == SPI_NOT_SUPPORTED ? DecodeFile(path, 128, picture) : rc;
}

void ExpectDecodeResult(const Plugin& plugin, const std::vector<uint8_t>& file,
                        const std::string& tempName, int32_t result) {
    Picture picture;
    EXPECT_EQ(plugin.Decode(file, picture), result) << "in memory";
    EXPECT_EQ(plugin.DecodeFile(WriteTempFile(tempName, file), 0, picture), result)
        << "from a file";
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
