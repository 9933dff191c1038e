// Fixture folders of real pictures for the browser window's tests, each test in a folder of its
// own, with a settings hive of its own.
#pragma once

#include "browser/imagewin.h"
#include "vcl/dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace browsertest {

// A 24-bit BMP of one colour.
void WriteBmp(const std::filesystem::path& path, int width, int height, uint32_t rgb);

class BrowserFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A folder under the test's own, holding `count` BMPs named f00.bmp, f01.bmp, ...
    std::filesystem::path Folder(const std::string& name, int count);
    // Builds the window in `folder` (its start-up working directory) and runs its creation
    // handler, as start-up does.
    TImageForm* Open(const std::filesystem::path& folder);
    // Writes a value of the settings key before the window is built.
    void StoreInteger(const std::string& name, int value);
    void StoreString(const std::string& name, const std::string& value);

    // The file name each pane shows, "" for an empty pane.
    std::vector<std::string> PaneNames() const;
    std::vector<std::string> LabelTexts() const;
    // Names of f<first>.bmp ... f<last>.bmp, padded with "" to twelve.
    static std::vector<std::string> Expected(int first, int last, const char* empty = "");

    std::filesystem::path root_, previous_, config_;
    std::unique_ptr<TImageForm> form_;
    std::vector<vcl::MessageBoxRequest> boxes_;
    vcl::MsgButton answer_ = vcl::MsgButton::Ok;
    std::unique_ptr<vcl::ScopedMessageBoxAnswerer> answerer_;
};

} // namespace browsertest
