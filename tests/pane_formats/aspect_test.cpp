// Non-square pixels through the pane: PIC and PIC2 pictures are stretched to the shape their
// densities give; MAG reports its 200-line density too, but the pane shows it as decoded.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "picture/all.h"
#include "tests/plugins_pic/pic2_encoder.h"
#include "vcl/dialogs.h"
#include "vcl/graphics.h"

namespace {

namespace fs = std::filesystem;

class PaneFormatsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zorvane-pane-formats-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path.string();
    }

    // Loads into a pane that shows pictures at their own size; fails the test on any message.
    QSize Load(const std::string& path) {
        vcl::ScopedMessageBoxAnswerer answerer([](const vcl::MessageBoxRequest& request) {
            ADD_FAILURE() << request.text;
            return vcl::MsgButton::Ok;
        });
        picture::TAll pane(nullptr);
        pane.SetStretch(false);
        pane.SetPictureName(path);
        EXPECT_EQ(pane.Error(), 0);
        return QSize(pane.Picture()->Width(), pane.Picture()->Height());
    }

    fs::path dir_;
};

std::vector<uint8_t> Pic2(uint16_t xAspect, uint16_t yAspect) {
    pictest::Pic2File file;
    file.componentBits = 5;
    file.xAspect = xAspect;
    file.yAspect = yAspect;
    file.width = 20;
    file.height = 10;
    pictest::Pic2Block block;
    block.width = 20;
    block.height = 10;
    for (uint32_t i = 0; i < 200; ++i)
        block.values.push_back(i % 7 == 0 ? 0x7FFF : 0x001F);
    file.blocks.push_back(block);
    return pictest::EncodePic2(file);
}

TEST_F(PaneFormatsTest, Pic2IsStretchedToItsPixelShape) {
    const struct {
        uint16_t xAspect, yAspect;
        QSize shown;
    } cases[] = {
        {1, 1, {20, 10}}, {0, 0, {20, 10}}, // no aspect stored: square pixels
        {2, 1, {40, 10}},                   // pixels twice as wide as tall: the width doubles
        {1, 2, {20, 20}},                   // twice as tall: the height doubles
        {3, 3, {20, 10}},                   // equal densities other than 1: a copy of the same size
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.xAspect) + ":" + std::to_string(c.yAspect));
        EXPECT_EQ(Load(Write("a.p2", Pic2(c.xAspect, c.yAspect))), c.shown);
    }
}

// An 8 × 2, 16-colour MAG: flag A all zero, so every flag nibble takes the next pixel word.
std::vector<uint8_t> Mag(uint8_t screenMode) {
    const std::string_view text = "MAKI02  ZORV pane test        \x1A";
    std::vector<uint8_t> file(text.begin(), text.end());
    auto le16 = [&](uint16_t v) { file.insert(file.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    auto le32 = [&](uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8)
            file.push_back(uint8_t(v >> shift));
    };
    const uint32_t flagA = 32 + 16 * 3;
    const uint32_t flagB = flagA + 1;
    file.insert(file.end(), {0x00, 0x00, 0x00, screenMode});
    le16(0), le16(0), le16(7), le16(1); // x1, y1, x2, y2
    le32(flagA), le32(flagB), le32(0), le32(flagB), le32(8);
    for (int i = 0; i < 16; ++i)
        file.insert(file.end(), {uint8_t(i * 16), uint8_t(i * 16), 0});
    file.push_back(0x00); // flag A
    file.insert(file.end(), {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF});
    return file;
}

TEST_F(PaneFormatsTest, MagIn200LineModeIsShownAsDecoded) {
    EXPECT_EQ(Load(Write("b.mag", Mag(0x00))), QSize(8, 2));
    EXPECT_EQ(Load(Write("c.mag", Mag(0x01))), QSize(8, 2));
}

} // namespace
