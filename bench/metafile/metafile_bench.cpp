// bench_metafile [SAMPLES_DIR]: for every WMF and EMF sample, the best of several runs of
//  - Load (header and record chain check),
//  - Play at the picture's own size (at most 1600 pixels on its longer side),
//  - Play into a 69 x 61 thumbnail pane,
// and, side by side, decoding the reference PNG rendering of the same picture with Qt. The
// ratio is own-size drawing time over that PNG decode.
#include "vcl/metafile/document.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kMaxSide = 1600;
constexpr int kPaneWidth = 69;
constexpr int kPaneHeight = 61;

double BestMilliseconds(const std::function<void()>& run) {
    double best = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    return best;
}

void PlayInto(const vcl::metafile::Document& doc, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    doc.Play(painter, QRectF(QPointF(0, 0), QSizeF(size)));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    namespace fs = std::filesystem;
    const fs::path samples = argc > 1 ? fs::path(argv[1]) : fs::path(ZORVANE_SAMPLES_DIR);
    std::printf("%-42s %11s %8s %9s %8s %9s %7s\n", "file", "size", "load ms", "own ms", "pane ms",
                "png ms", "ratio");
    double totalOwn = 0, totalPane = 0, totalPng = 0;
    for (const char* format : {"wmf", "emf"}) {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(samples / "files" / format, ec))
            if (e.is_regular_file()) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& path : files) {
            std::ifstream in(path, std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
            const std::string name = path.filename().string();
            vcl::metafile::Document doc;
            if (vcl::metafile::Document::Load(bytes, doc) != vcl::metafile::LoadStatus::Ok) {
                std::printf("%-42s rejected\n", name.c_str());
                continue;
            }
            QSize own = doc.Size();
            if (own.width() > kMaxSide || own.height() > kMaxSide)
                own.scale(kMaxSide, kMaxSide, Qt::KeepAspectRatio);
            const double load = BestMilliseconds([&] {
                vcl::metafile::Document again;
                vcl::metafile::Document::Load(bytes, again);
            });
            const double ownMs = BestMilliseconds([&] { PlayInto(doc, own); });
            const double paneMs =
                BestMilliseconds([&] { PlayInto(doc, QSize(kPaneWidth, kPaneHeight)); });
            const fs::path png = samples / "reference" / "libreoffice" / (name + ".png");
            std::ifstream pngIn(png, std::ios::binary);
            const std::vector<char> pngBytes{std::istreambuf_iterator<char>(pngIn), {}};
            double pngMs = 0;
            if (!pngBytes.empty())
                pngMs = BestMilliseconds([&] {
                    QImage decoded;
                    decoded.loadFromData(reinterpret_cast<const uchar*>(pngBytes.data()),
                                         static_cast<int>(pngBytes.size()), "PNG");
                });
            totalOwn += ownMs;
            totalPane += paneMs;
            totalPng += pngMs;
            std::printf("%-42s %5dx%-5d %8.2f %9.2f %8.2f %9.2f %7s\n", name.c_str(), own.width(),
                        own.height(), load, ownMs, paneMs, pngMs,
                        pngMs > 0 ? QByteArray::number(ownMs / pngMs, 'f', 2).constData() : "-");
        }
    }
    std::printf("total: own size %.1f ms, pane %.1f ms, reference PNG decode %.1f ms, ratio %.2f\n",
                totalOwn, totalPane, totalPng, totalPng > 0 ? totalOwn / totalPng : 0.0);
    return 0;
}
