#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/shell.h"

namespace {

namespace fs = std::filesystem;

// A stand-in opener first on PATH that records its working directory and argument.
class ShellOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("zorvane-shell-" + std::to_string(::getpid()));
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "pics");
        const fs::path opener = root_ / "bin" / platform::kOpenCommand;
        std::ofstream(opener) << "#!/bin/sh\npwd > \"" << (root_ / "log").string()
                              << ".tmp\"\nprintf '%s\\n' \"$#\" \"$1\" >> \""
                              << (root_ / "log").string() << ".tmp\"\nmv \""
                              << (root_ / "log").string() << ".tmp\" \"" << (root_ / "log").string()
                              << "\"\n";
        fs::permissions(opener, fs::perms::owner_all);
        savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", ((root_ / "bin").string() + ":" + savedPath_).c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", savedPath_.c_str(), 1);
        fs::remove_all(root_);
    }
    std::string waitForLog() {
        for (int i = 0; i < 200 && !fs::exists(root_ / "log"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(root_ / "log");
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path root_;
    std::string savedPath_;
};

TEST_F(ShellOpenTest, RunsOpenerInTheFilesFolder) {
    const std::string file = (root_ / "pics" / "cat.JPG").string();
    ASSERT_TRUE(platform::ShellOpen(file, (root_ / "pics").string()));
    EXPECT_EQ(waitForLog(), (root_ / "pics").string() + "\n1\n" + file + "\n");
}

TEST_F(ShellOpenTest, EmptyFileAndFolderArePassedAsTheyAre) {
    ASSERT_TRUE(platform::ShellOpen("", ""));
    const std::string log = waitForLog();
    EXPECT_NE(log.find("\n1\n\n"), std::string::npos) << log;
}

TEST_F(ShellOpenTest, MissingOpenerIsReported) {
    ::setenv("PATH", (root_ / "pics").string().c_str(), 1);
    EXPECT_FALSE(platform::ShellOpen("x", ""));
}

} // namespace
