// metafile_render OUT_DIR FILE...: plays each metafile at its own size (at most 800 pixels on
// its longer side) and writes OUT_DIR/<name>.png, to compare by eye with reference renderings.
#include "vcl/metafile/document.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR FILE...\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    int failures = 0;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        vcl::metafile::Document doc;
        std::string reason;
        const auto status = vcl::metafile::Document::Load(bytes, doc, &reason);
        const std::string name = std::filesystem::path(argv[i]).filename().string();
        if (status != vcl::metafile::LoadStatus::Ok) {
            std::printf("%s: rejected (%s)\n", name.c_str(), reason.c_str());
            ++failures;
            continue;
        }
        QSize size = doc.Size();
        if (size.width() > 800 || size.height() > 800) size.scale(800, 800, Qt::KeepAspectRatio);
        QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        doc.Play(painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
        painter.end();
        image.save(QString::fromStdString((out / (name + ".png")).string()));
        std::printf("%s: %dx%d\n", name.c_str(), doc.Size().width(), doc.Size().height());
    }
    return failures ? 1 : 0;
}
