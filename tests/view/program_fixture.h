// The program's six windows, built in start-up order inside a private folder: pictures written
// on demand, the settings folder of the test's own, message boxes answered and recorded.
#pragma once

#include "vcl/dialogs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace viewtest {

namespace fs = std::filesystem;

// A 24-bit bitmap of one colour (0xRRGGBB).
void WriteBmp(const fs::path& path, int width, int height, uint32_t rgb = 0x808080);
void WriteBytes(const fs::path& path, const std::string& bytes);
// A file that claims to be a bitmap and is not: the built-in loader refuses its content.
inline void WriteBrokenBmp(const fs::path& path) {
    WriteBytes(path, "BM this is no bitmap");
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // As start-up does: browser, view window, slide show dialog, About, README, properties.
    void CreateForms();
    void DestroyForms();
    // The window objects gone and built again, as by a restart of the program.
    void Restart();

    // A new empty folder under the test's root.
    fs::path MakeFolder(const std::string& name);
    // A folder holding bitmaps of the given names (each 20 + i by 10 + i pixels).
    fs::path MakePictureFolder(const std::string& name, const std::vector<std::string>& files);
    // The directory list moves there: the file list reads it and the first page is filled.
    void OpenFolder(const fs::path& folder);

    // Runs `action` as the event loop runs a handler: an error escaping it goes to the standard
    // error display.
    void RunFromEventLoop(const std::function<void()>& action);

    // Texts of the boxes shown with the error icon: the standard error display.
    std::vector<std::string> ErrorTexts() const;

    fs::path root;
    fs::path configFolder;
    std::vector<vcl::MessageBoxRequest> boxes;
    // Runs while a box is open, before it is answered.
    std::function<void(const vcl::MessageBoxRequest&)> whileBoxOpen;
    vcl::MsgButton answer = vcl::MsgButton::Ok;

private:
    fs::path savedWorkingDirectory_;
    std::string savedConfigHome_;
    bool hadConfigHome_ = false;
    vcl::MessageBoxAnswerer savedAnswerer_;
};

} // namespace viewtest
