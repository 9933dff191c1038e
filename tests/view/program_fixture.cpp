#include "tests/view/program_fixture.h"

#include "browser/imagewin.h"
#include "browser/unit3.h"
#include "shell/about1.h"
#include "shell/unit1.h"
#include "vcl/forms.h"
#include "view/viewsetup.h"
#include "view/viewwin.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaObject>

#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace viewtest {

namespace {

void Put16(std::string& out, uint16_t v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char(v >> 8));
}
void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

constexpr int kEventLoopDeadlineMs = 5000;

} // namespace

void WriteBmp(const fs::path& path, int width, int height, uint32_t rgb) {
    const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = stride * uint32_t(height);
    std::string file;
    file += "BM";
    Put32(file, 54 + pixelBytes);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, uint32_t(width));
    Put32(file, uint32_t(height));
    Put16(file, 1);
    Put16(file, 24);
    Put32(file, 0);
    Put32(file, pixelBytes);
    Put32(file, 2835);
    Put32(file, 2835);
    Put32(file, 0);
    Put32(file, 0);
    std::string row;
    for (int x = 0; x < width; ++x) {
        row.push_back(char(rgb & 0xFF));
        row.push_back(char((rgb >> 8) & 0xFF));
        row.push_back(char((rgb >> 16) & 0xFF));
    }
    row.resize(stride, '\0');
    for (int y = 0; y < height; ++y)
        file += row;
    WriteBytes(path, file);
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void ProgramTest::SetUp() {
    root = fs::temp_directory_path() /
           ("zorvane-view-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    configFolder = MakeFolder("config");
    if (const char* home = std::getenv("XDG_CONFIG_HOME")) {
        hadConfigHome_ = true;
        savedConfigHome_ = home;
    }
    ::setenv("XDG_CONFIG_HOME", configFolder.c_str(), 1);
    // The file list reads the working directory while the browser is built: an empty one.
    savedWorkingDirectory_ = fs::current_path();
    fs::current_path(MakeFolder("start"));
    savedAnswerer_ = vcl::SetMessageBoxAnswerer([this](const vcl::MessageBoxRequest& request) {
        boxes.push_back(request);
        if (whileBoxOpen) whileBoxOpen(request);
        return answer;
    });
}

void ProgramTest::TearDown() {
    DestroyForms();
    vcl::SetMessageBoxAnswerer(std::move(savedAnswerer_));
    fs::current_path(savedWorkingDirectory_);
    if (hadConfigHome_)
        ::setenv("XDG_CONFIG_HOME", savedConfigHome_.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    fs::remove_all(root);
}

void ProgramTest::CreateForms() {
    vcl::Application->CreateForm(ImageForm);
    vcl::Application->CreateForm(ViewForm);
    vcl::Application->CreateForm(OKRightDlg);
    vcl::Application->CreateForm(AboutBox);
    vcl::Application->CreateForm(OKBottomDlg);
    vcl::Application->CreateForm(OKBottomDlg1);
}

void ProgramTest::DestroyForms() {
    // Newest first, as the program's end frees them; the hint handler goes with the browser.
    vcl::Application->OnHint = nullptr;
    delete OKBottomDlg1;
    OKBottomDlg1 = nullptr;
    delete OKBottomDlg;
    OKBottomDlg = nullptr;
    delete AboutBox;
    AboutBox = nullptr;
    delete OKRightDlg;
    OKRightDlg = nullptr;
    delete ViewForm;
    ViewForm = nullptr;
    delete ImageForm;
    ImageForm = nullptr;
}

void ProgramTest::Restart() {
    DestroyForms();
    fs::current_path(root / "start");
    CreateForms();
}

fs::path ProgramTest::MakeFolder(const std::string& name) {
    const fs::path folder = root / name;
    fs::create_directories(folder);
    return folder;
}

fs::path ProgramTest::MakePictureFolder(const std::string& name,
                                        const std::vector<std::string>& files) {
    const fs::path folder = MakeFolder(name);
    int i = 0;
    for (const std::string& file : files) {
        WriteBmp(folder / file, 20 + i, 10 + i, 0x102030u * uint32_t(i + 1));
        ++i;
    }
    return folder;
}

void ProgramTest::OpenFolder(const fs::path& folder) {
    ImageForm->DirectoryListBox1->SetDirectory(folder.string());
}

void ProgramTest::RunFromEventLoop(const std::function<void()>& action) {
    bool ran = false;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            ran = true;
            action();
        },
        Qt::QueuedConnection);
    const QDeadlineTimer deadline(kEventLoopDeadlineMs);
    while (!ran && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(ran) << "the event loop did not run the handler";
}

std::vector<std::string> ProgramTest::ErrorTexts() const {
    std::vector<std::string> texts;
    for (const vcl::MessageBoxRequest& box : boxes)
        if (box.icon == vcl::MsgIcon::Error) texts.push_back(box.text);
    return texts;
}

} // namespace viewtest
