#include "fixture.h"

#include "vcl/registry.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace fs = std::filesystem;

namespace browsertest {

void WriteBmp(const fs::path& path, int width, int height, uint32_t rgb) {
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(stride * height);
    std::string bytes;
    auto put16 = [&](uint16_t v) { bytes.append({char(v & 0xFF), char(v >> 8)}); };
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(char((v >> (8 * i)) & 0xFF));
    };
    bytes += "BM";
    put32(54 + imageSize);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(24);
    put32(0);
    put32(imageSize);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    std::string row;
    for (int x = 0; x < width; ++x)
        row += {char(rgb & 0xFF), char((rgb >> 8) & 0xFF), char((rgb >> 16) & 0xFF)};
    row.resize(static_cast<size_t>(stride), '\0');
    for (int y = 0; y < height; ++y)
        bytes += row;
    std::ofstream(path, std::ios::binary) << bytes;
}

void BrowserFixture::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() / ("zorvane-browser-" + std::to_string(::getpid()) + "-" +
                                         info->test_suite_name() + "-" + info->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
    config_ = root_ / "config";
    fs::create_directories(config_);
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    previous_ = fs::current_path();
    answerer_ = std::make_unique<vcl::ScopedMessageBoxAnswerer>(
        [this](const vcl::MessageBoxRequest& request) {
            boxes_.push_back(request);
            return answer_;
        });
}

void BrowserFixture::TearDown() {
    form_.reset();
    vcl::Application->OnHint = nullptr;
    answerer_.reset();
    fs::current_path(previous_);
    fs::remove_all(root_);
}

fs::path BrowserFixture::Folder(const std::string& name, int count) {
    const fs::path folder = root_ / name;
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char file[16];
        std::snprintf(file, sizeof file, "f%02d.bmp", i);
        WriteBmp(folder / file, 4, 3, 0x102030u * static_cast<uint32_t>(i + 1));
    }
    return folder;
}

TImageForm* BrowserFixture::Open(const fs::path& folder) {
    fs::current_path(folder);
    form_ = std::make_unique<TImageForm>(nullptr);
    form_->DoCreate();
    return form_.get();
}

void BrowserFixture::StoreInteger(const std::string& name, int value) {
    vcl::TRegistry registry;
    registry.OpenKey("\\Software\\Quillat", true);
    registry.WriteInteger(name, value);
}

void BrowserFixture::StoreString(const std::string& name, const std::string& value) {
    vcl::TRegistry registry;
    registry.OpenKey("\\Software\\Quillat", true);
    registry.WriteString(name, value);
}

std::vector<std::string> BrowserFixture::PaneNames() const {
    std::vector<std::string> names;
    for (int k = 1; k <= kSlotCount; ++k) {
        const std::string& path = form_->Pane(k)->PictureName();
        names.push_back(path.empty() ? "" : fs::path(path).filename().string());
    }
    return names;
}

std::vector<std::string> BrowserFixture::LabelTexts() const {
    std::vector<std::string> texts;
    for (int k = 1; k <= kSlotCount; ++k)
        texts.push_back(form_->SlotLabel(k)->Caption());
    return texts;
}

std::vector<std::string> BrowserFixture::Expected(int first, int last, const char* empty) {
    std::vector<std::string> names;
    for (int i = first; i <= last && names.size() < kSlotCount; ++i) {
        char file[16];
        std::snprintf(file, sizeof file, "f%02d.bmp", i);
        names.emplace_back(file);
    }
    names.resize(kSlotCount, empty);
    return names;
}

} // namespace browsertest
