// LoadPicture of a 4000 x 3000 JPEG into a 69 x 61 stretched pane (decode, transfer, smooth
// downscale and one paint) against the JPEG plug-in's GetPicture alone, side by side in one
// process; and the load's peak memory against the decoded bitmap's bytes.
//   bench_picture [FILE.jpg]   (without a file, a 4000 x 3000 test picture is made first)
#include "picture/all.h"
#include "platform/dib.h"
#include "platform/dynlib.h"
#include "plugins/spi.h"
#include "vcl/dialogs.h"
#include "vcl/graphics/bitmap.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kPaneWidth = 69;
constexpr int kPaneHeight = 61;
constexpr int kRuns = 5;

// A photograph-like picture: smooth gradients with fine noise, so the JPEG is of natural size.
bool MakePicture(const std::string& path) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    std::mt19937 random(1);
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const int n = static_cast<int>(random() % 24);
            row[x] = qRgb((x * 255 / kWidth + n) & 0xFF, (y * 255 / kHeight + n) & 0xFF,
                          ((x + y) * 255 / (kWidth + kHeight) + n) & 0xFF);
        }
    }
    return image.save(QString::fromStdString(path), "JPEG", 90);
}

double MinMilliseconds(const std::function<void()>& run) {
    double best = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    return best;
}

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return -1;
}

// Resets the peak resident size to the current one.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::string file = argc > 1 ? argv[1] : (dir.path() + "/bench.jpg").toStdString();
    if (argc <= 1 && !MakePicture(file)) {
        std::fprintf(stderr, "cannot write the test picture\n");
        return 1;
    }
    vcl::ScopedMessageBoxAnswerer toStderr([](const vcl::MessageBoxRequest& request) {
        std::fprintf(stderr, "%s\n", request.text.c_str());
        return vcl::MsgButton::Ok;
    });

    platform::ScopedLibrary library("ifjpeg.spi");
    auto getPicture = library.entry<SpiGetPictureFn>("GetPicture");
    if (!getPicture) {
        std::fprintf(stderr, "ifjpeg.spi not found\n");
        return 1;
    }
    size_t dibBytes = 0;
    int32_t width = 0, height = 0;
    const double decode = MinMilliseconds([&] {
        HGLOBAL32 info = 0, bits = 0;
        if (getPicture(file.c_str(), 0, SPI_INPUT_FILE, &info, &bits, nullptr, 0) != 0) return;
        dibBytes = GlobalSize(bits);
        if (auto* header = static_cast<const DibInfoHeader*>(GlobalLock(info))) {
            width = header->biWidth;
            height = header->biHeight;
            GlobalUnlock(info);
        }
        GlobalFree(bits);
        GlobalFree(info);
    });

    // Where the time beyond the decode goes.
    auto getInfo = library.entry<SpiGetPictureInfoFn>("GetPictureInfo");
    const double info = MinMilliseconds([&] {
        SpiPictureInfo record{};
        if (getInfo(file.c_str(), 0, SPI_INPUT_FILE, &record) == 0 && record.textInfo)
            GlobalFree(record.textInfo);
    });
    const double loadLibrary = MinMilliseconds([] { platform::ScopedLibrary again("ifjpeg.spi"); });
    const double size = MinMilliseconds([&] {
        vcl::TBitmap bitmap;
        bitmap.SetSizeForTransfer(width, std::abs(height));
    });
    HGLOBAL32 infoHandle = 0, bitsHandle = 0;
    getPicture(file.c_str(), 0, SPI_INPUT_FILE, &infoHandle, &bitsHandle, nullptr, 0);
    vcl::TBitmap target;
    target.SetSize(width, std::abs(height));
    const double transfer = MinMilliseconds([&] {
        platform::SetDIBits(target.Handle(), 0, static_cast<uint32_t>(height),
                            GlobalLock(bitsHandle), GlobalSize(bitsHandle), GlobalLock(infoHandle),
                            GlobalSize(infoHandle));
        GlobalUnlock(bitsHandle);
        GlobalUnlock(infoHandle);
    });
    GlobalFree(bitsHandle);
    GlobalFree(infoHandle);
    const double downscale = MinMilliseconds(
        [&] { (void)vcl::SmoothScaled(target.Image(), QSize(kPaneWidth, kPaneHeight)); });

    picture::TAll pane(nullptr);
    pane.SetAutoSize(false);
    pane.SetStretch(true);
    pane.SetBounds(0, 0, kPaneWidth, kPaneHeight);
    QImage screen(kPaneWidth, kPaneHeight, QImage::Format_RGB32);
    auto loadAndPaint = [&] {
        pane.SetPictureName(file);
        pane.render(&screen, QPoint(), QRegion(), QWidget::DrawChildren);
    };
    const double load = MinMilliseconds(loadAndPaint);
    if (pane.Error() != 0) {
        std::fprintf(stderr, "load failed with %d\n", pane.Error());
        return 1;
    }

    pane.SetPictureName("");
    const long baseline = StatusKilobytes("VmRSS:");
    ResetPeak();
    loadAndPaint();
    const long peak = StatusKilobytes("VmHWM:");
    const double bitmapBytes = 4.0 * width * std::abs(height);
    const double peakBytes = 1024.0 * (peak - baseline);

    std::printf("picture              %d x %d JPEG, %zu bytes of decoded rows\n", width,
                std::abs(height), dibBytes);
    std::printf("plug-in decode alone %8.1f ms\n", decode);
    std::printf("LoadPicture + paint  %8.1f ms into a %d x %d stretched pane\n", load, kPaneWidth,
                kPaneHeight);
    std::printf("  of which: information %.1f ms, library load and release %.1f ms, bitmap sizing "
                "%.1f ms, row transfer %.1f ms, smooth downscale %.1f ms\n",
                info, loadLibrary, size, transfer, downscale);
    std::printf("time ratio           %8.3f   (target 1.3)\n", load / decode);
    std::printf("peak memory          %8.1f MB above the empty pane\n", peakBytes / 1e6);
    std::printf("memory ratio         %8.3f   against the 32-bit bitmap (%.1f MB; target 1.3)\n",
                peakBytes / bitmapBytes, bitmapBytes / 1e6);
    std::printf("memory ratio         %8.3f   against the plug-in's decoded rows (%.1f MB)\n",
                peakBytes / dibBytes, dibBytes / 1e6);
    return 0;
}
