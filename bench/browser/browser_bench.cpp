// Prints the browser window's figures as ratios against references run side by side:
//   page fill     twelve 4000 x 3000 JPEGs, from the file list's change notification to the end of
//                 the fill, against twelve GetPicture calls of ifjpeg.spi on the same files
//   page memory   the peak resident growth of that fill against the twelve bitmaps' bytes
//   listing       reading a folder of 20,000 files into the file list, against a bare listing
//                 that collects and sorts the matching names
//   start         from the splash to the browser window shown (a figure of its own: no other
//                 program does the same work)
// Usage: browser_bench [work folder]   (offscreen unless QT_QPA_PLATFORM says otherwise)
#include "browser/imagewin.h"
#include "browser/unit3.h"
#include "platform/dynlib.h"
#include "platform/memhandle.h"
#include "plugins/spi.h"
#include "shell/about1.h"
#include "shell/splash1.h"
#include "shell/unit1.h"
#include "vcl/dialogs.h"
#include "vcl/file_listing.h"
#include "view/viewsetup.h"
#include "view/viewwin.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 4000, kHeight = 3000;
constexpr int kPictures = 12;
constexpr int kListedFiles = 20000;
constexpr int kRuns = 3;

double Seconds(const std::function<void()>& work) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return 0;
}

void MakeJpegs(const fs::path& folder) {
    fs::create_directories(folder);
    std::mt19937 random(7);
    for (int i = 0; i < kPictures; ++i) {
        const fs::path file = folder / ("photo" + std::to_string(10 + i) + ".jpg");
        if (fs::exists(file)) continue;
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, kWidth, kHeight);
        gradient.setColorAt(0, QColor::fromHsv((i * 30) % 360, 200, 230));
        gradient.setColorAt(1, QColor::fromHsv((i * 30 + 140) % 360, 160, 60));
        painter.fillRect(image.rect(), gradient);
        for (int shape = 0; shape < 400; ++shape) {
            painter.setBrush(QColor::fromRgb(random() & 0xFFFFFF));
            painter.drawEllipse(int(random() % kWidth), int(random() % kHeight),
                                40 + int(random() % 400), 40 + int(random() % 400));
        }
        painter.end();
        image.save(QString::fromStdString(file.string()), "JPG", 90);
    }
}

double PluginDecodes(const fs::path& folder) {
    platform::ScopedLibrary library("ifjpeg.spi");
    if (!library) return -1;
    auto getPicture = library.entry<SpiGetPictureFn>("GetPicture");
    return Seconds([&] {
        for (const auto& entry : fs::directory_iterator(folder)) {
            HGLOBAL32 info = 0, bits = 0;
            if (getPicture(entry.path().c_str(), 0, 0, &info, &bits, nullptr, 0) == 0) {
                GlobalFree(info);
                GlobalFree(bits);
            }
        }
    });
}

void Report(const char* what, double measured, double reference, const char* unit) {
    std::printf("%-12s %10.3f %s  reference %10.3f %s  ratio %.2f\n", what, measured, unit,
                reference, unit, reference > 0 ? measured / reference : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const fs::path work =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "zorvane-bench";
    fs::create_directories(work / "config");
    setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
    vcl::TQtApplication app(argc, argv);
    vcl::ScopedMessageBoxAnswerer silent(
        [](const vcl::MessageBoxRequest&) { return vcl::MsgButton::Ok; });

    // Start to window shown, first, before anything else has warmed the process up.
    fs::create_directories(work / "empty");
    fs::current_path(work / "empty");
    const auto startBegin = Clock::now();
    SplashWindow = new TSplashWindow(nullptr);
    SplashWindow->Show();
    SplashWindow->Update();
    vcl::Application->CreateForm(ImageForm);
    vcl::Application->CreateForm(ViewForm);
    vcl::Application->CreateForm(OKRightDlg);
    vcl::Application->CreateForm(AboutBox);
    vcl::Application->CreateForm(OKBottomDlg);
    vcl::Application->CreateForm(OKBottomDlg1);
    ImageForm->Show();
    if (!QTest::qWaitForWindowExposed(ImageForm)) std::printf("window not exposed\n");
    const double start = std::chrono::duration<double>(Clock::now() - startBegin).count();
    std::printf("%-12s %10.3f ms  (splash, six windows built, first page of an empty folder)\n",
                "start", start * 1000);

    // The page of twelve large JPEGs.
    const fs::path photos = work / "photos";
    MakeJpegs(photos);
    const long before = StatusKiB("VmRSS:");
    ImageForm->DirectoryListBox1->SetDirectory(photos.string()); // fills twice; warms the cache
    const long peak = StatusKiB("VmHWM:");
    const double fill = Seconds([] { ImageForm->FileListBox1->Update(); });
    const double decodes = PluginDecodes(photos);
    Report("page fill", fill, decodes, "s");
    const double bitmaps = double(kPictures) * kWidth * kHeight * 4 / 1024; // 32-bit bitmaps, KiB
    Report("page memory", double(peak - before) / 1024, bitmaps / 1024, "MiB");

    // Listing a folder of 20,000 files.
    const fs::path many = work / "many";
    if (!fs::exists(many / "x19999.jpg")) {
        fs::create_directories(many);
        for (int i = 0; i < kListedFiles; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "x%05d.%s", i, i % 10 == 0 ? "txt" : "jpg");
            std::ofstream(many / name);
        }
    }
    vcl::TFileListBox list(nullptr);
    list.SetMask("*.bmp;*.ico;*.wmf;*.emf;*.jpg;*.jpe;*.gif;*.tif;*.pic;*.p2;*.mag;*.q4;*.pi");
    list.SetDirectory(many.string());
    const double listing = Seconds([&] { list.Update(); });
    const double bare = Seconds([&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(many))
            if (entry.is_regular_file() && entry.path().extension() == ".jpg")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
    });
    Report("listing", listing * 1000, bare * 1000, "ms");
    std::printf("listed %d of %d files\n", list.Count(), kListedFiles);
    fs::current_path(work);
    return 0;
}
