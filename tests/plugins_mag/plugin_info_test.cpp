// What the three plug-ins say about themselves, which files they claim, and the progress
// callback's stop request.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "tests/plugins_mag/pi_encoder.h"
#include "tests/plugins_mag/q4_encoder.h"
#include "tests/plugins_mag/spi_host.h"

namespace {

using magtest::Plugin;

std::vector<uint8_t> SomeMag() {
    // Signature, text, header of a 16 x 1 picture whose only row is data: enough to decode.
    std::string f("MAKI02  ZORV\x1A", 13);
    const uint8_t header[32] = {0,  0, 0, 0, 0, 0, 0, 0, 15, 0, 0, 0, 80, 0, 0, 0,
                                81, 0, 0, 0, 0, 0, 0, 0, 81, 0, 0, 0, 8,  0, 0, 0};
    f.append(reinterpret_cast<const char*>(header), sizeof header);
    f.append(48, '\x80'); // palette
    f.append(1, '\0');    // flags: two data words each
    f.append(8, '\x12');  // data
    return {f.begin(), f.end()};
}

std::vector<uint8_t> SomePi() {
    magtest::PiImage image;
    image.width = 4;
    image.height = 4;
    image.indices.assign(16, 2);
    return magtest::EncodePi(image);
}

std::vector<uint8_t> SomeQ4() {
    magtest::Q4Image image;
    image.indices.assign(magtest::kQ4Width * magtest::kQ4Height, 1);
    return magtest::EncodeQ4(image);
}

struct Expected {
    const char* file;
    const char* name;
    const char* patterns;
    std::vector<uint8_t> (*sample)();
};

const Expected kPlugins[] = {
    {"ifmag.spi", "Zorvane MAG plug-in 1.01", "*.mag", SomeMag},
    {"ifpi.spi", "Zorvane Pi plug-in 1.01", "*.pi", SomePi},
    {"ifxld4.spi", "Zorvane XLD4 plug-in 1.01", "*.q4", SomeQ4},
};

std::string Info(const Plugin& plugin, int32_t n, int32_t length = 256) {
    std::string buffer(size_t(length), '#');
    const int32_t written = plugin.getPluginInfo(n, buffer.data(), length);
    return buffer.substr(0, size_t(std::max(written, 0)));
}

TEST(PluginInfo, NamesPatternsAndEnd) {
    for (const Expected& e : kPlugins) {
        SCOPED_TRACE(e.file);
        Plugin plugin(e.file);
        ASSERT_TRUE(plugin.complete());
        EXPECT_EQ(Info(plugin, 0), "00IN");
        EXPECT_EQ(Info(plugin, 1), e.name);
        EXPECT_EQ(Info(plugin, 2), e.patterns);
        EXPECT_FALSE(Info(plugin, 3).empty());
        EXPECT_EQ(Info(plugin, 4), "");
        EXPECT_EQ(Info(plugin, -1), "");
        char small[4];
        EXPECT_EQ(plugin.getPluginInfo(1, small, 4), 4); // cut to the buffer, no terminator room
        EXPECT_EQ(std::string(small, 4), std::string(e.name, 4));
    }
}

TEST(PluginInfo, EachClaimsItsOwnFilesOnly) {
    for (const Expected& e : kPlugins) {
        Plugin plugin(e.file);
        ASSERT_TRUE(plugin.complete());
        for (const Expected& other : kPlugins) {
            SCOPED_TRACE(std::string(e.file) + " on a file for " + other.file);
            const bool own = &e == &other;
            // The host's 2 KiB head buffer.
            std::vector<uint8_t> head = other.sample();
            head.resize(2048, 0);
            EXPECT_EQ(plugin.isSupported("x", uintptr_t(head.data())) != 0, own);
            // A file descriptor, which must be read without moving its position.
            const auto path = magtest::WriteTempFile("sniff.bin", other.sample());
            const int fd = ::open(path.c_str(), O_RDONLY);
            ASSERT_GE(fd, 0);
            EXPECT_EQ(plugin.isSupported(path.c_str(), uintptr_t(fd)) != 0, own);
            EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 0);
            ::close(fd);
            // And each decodes its own.
            magtest::Picture picture;
            EXPECT_EQ(plugin.Decode(other.sample(), picture) == SPI_OK, own);
        }
    }
}

int32_t StopAtOnce(int32_t, int32_t, int32_t) {
    return 1;
}

TEST(PluginInfo, ProgressCallbackCanStopTheDecoding) {
    const size_t before = GlobalLiveHandles();
    for (const Expected& e : kPlugins) {
        SCOPED_TRACE(e.file);
        Plugin plugin(e.file);
        const auto bytes = e.sample();
        HGLOBAL32 info = 0, bits = 0;
        EXPECT_EQ(plugin.getPicture(reinterpret_cast<const char*>(bytes.data()),
                                    int32_t(bytes.size()), SPI_INPUT_MEMORY, &info, &bits,
                                    StopAtOnce, 0),
                  SPI_ABORTED);
        EXPECT_EQ(info, 0u);
        EXPECT_EQ(bits, 0u);
    }
    EXPECT_EQ(GlobalLiveHandles(), before);
}

} // namespace
