// The entry points as the host and other hosts call them: information strings, the format sniff,
// files at an offset, the progress callback.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/plugins_pic/pic2_fixtures.h"
#include "tests/plugins_pic/pic_fixtures.h"
#include "tests/plugins_pic/spi_harness.h"

namespace {

using namespace pictest;

struct PluginCase {
    const char* file;
    const char* name;
    const char* pattern;
    std::vector<uint8_t> sample;
};

std::vector<PluginCase> Plugins() {
    return {{"ifpic.spi", "Zorvane PIC plug-in 1.01", "*.pic", Pic16Colours()},
            {"ifpic2.spi", "Zorvane PIC2 plug-in 1.01", "*.p2",
             Pic2FileOf(3, 0, 0, 3, 2, {FastThreeBit()})}};
}

std::string TempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

TEST(PicPluginEntry, InformationStrings) {
    for (const PluginCase& p : Plugins()) {
        SCOPED_TRACE(p.file);
        Plugin plugin(p.file);
        ASSERT_TRUE(plugin.loaded());
        char buffer[64];
        EXPECT_EQ(plugin.getPluginInfo(0, buffer, sizeof buffer), 4);
        EXPECT_STREQ(buffer, "00IN");
        EXPECT_EQ(plugin.getPluginInfo(1, buffer, sizeof buffer), int32_t(strlen(p.name)));
        EXPECT_STREQ(buffer, p.name);
        EXPECT_GT(plugin.getPluginInfo(2, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, p.pattern);
        EXPECT_GT(plugin.getPluginInfo(3, buffer, sizeof buffer), 0);
        EXPECT_EQ(plugin.getPluginInfo(4, buffer, sizeof buffer), 0);
        EXPECT_EQ(plugin.getPluginInfo(-1, buffer, sizeof buffer), 0);
    }
}

TEST(PicPluginEntry, SniffsItsOwnFormatOnly) {
    const auto plugins = Plugins();
    for (const PluginCase& p : plugins) {
        SCOPED_TRACE(p.file);
        Plugin plugin(p.file);
        ASSERT_TRUE(plugin.loaded());
        for (const PluginCase& other : plugins) {
            const bool own = &other == &p;
            std::vector<uint8_t> head = other.sample;
            head.resize(2048, 0);
            EXPECT_EQ(plugin.isSupported("x", uintptr_t(head.data())) != 0, own) << other.file;
            // Through a descriptor, which must keep its position.
            const std::string path = TempFile("sniff", other.sample);
            const int fd = ::open(path.c_str(), O_RDONLY);
            ASSERT_GE(fd, 0);
            EXPECT_EQ(plugin.isSupported(path.c_str(), uintptr_t(fd)) != 0, own) << other.file;
            EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 0);
            ::close(fd);
        }
    }
}

// The host retries a picture at offset 128 (a file with a 128-byte prefix from another system).
TEST(PicPluginEntry, FilesFromAnOffset) {
    for (const PluginCase& p : Plugins()) {
        SCOPED_TRACE(p.file);
        Plugin plugin(p.file);
        ASSERT_TRUE(plugin.loaded());
        const size_t handles = GlobalLiveHandles();
        std::vector<uint8_t> prefixed(128, 0x20);
        prefixed.insert(prefixed.end(), p.sample.begin(), p.sample.end());
        const std::string path = TempFile("offset", prefixed);
        Picture picture, direct;
        EXPECT_EQ(plugin.DecodeFile(path, 0, picture), SPI_NOT_SUPPORTED);
        ASSERT_EQ(plugin.DecodeFile(path, 128, picture), SPI_OK);
        ASSERT_EQ(plugin.Decode(p.sample, direct), SPI_OK);
        EXPECT_EQ(picture.rgb, direct.rgb);
        SpiPictureInfo info{};
        EXPECT_EQ(plugin.getPictureInfo(path.c_str(), 0, SPI_INPUT_FILE, &info), SPI_NOT_SUPPORTED);
        EXPECT_EQ(plugin.getPictureInfo(path.c_str(), 128, SPI_INPUT_FILE, &info), SPI_OK);
        EXPECT_EQ(info.width, direct.width);
        EXPECT_EQ(plugin.DecodeFile(path, 100000, picture), SPI_FILE_READ_ERROR);
        EXPECT_EQ(plugin.DecodeFile(testing::TempDir() + "missing.pic", 0, picture),
                  SPI_FILE_READ_ERROR);
        EXPECT_EQ(plugin.DecodeFile(TempFile("empty", {}), 0, picture), SPI_NOT_SUPPORTED);
        EXPECT_EQ(GlobalLiveHandles(), handles);
    }
}

TEST(PicPluginEntry, ProgressCallbackCanStop) {
    for (const PluginCase& p : Plugins()) {
        SCOPED_TRACE(p.file);
        Plugin plugin(p.file);
        ASSERT_TRUE(plugin.loaded());
        const size_t handles = GlobalLiveHandles();
        for (int stopAt : {0, 1}) {
            static int calls, stop;
            calls = 0;
            stop = stopAt;
            auto progress = [](int32_t, int32_t, int32_t data) -> int32_t {
                EXPECT_EQ(data, 77);
                return calls++ == stop;
            };
            HGLOBAL32 info = 0, bits = 0;
            EXPECT_EQ(plugin.getPicture(reinterpret_cast<const char*>(p.sample.data()),
                                        int32_t(p.sample.size()), SPI_INPUT_MEMORY, &info, &bits,
                                        progress, 77),
                      SPI_ABORTED);
            EXPECT_EQ(info, 0u);
        }
        EXPECT_EQ(GlobalLiveHandles(), handles);
    }
}

} // namespace
