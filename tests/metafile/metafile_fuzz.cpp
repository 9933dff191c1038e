// Fuzz target for the metafile player: Load, then Play into a thumbnail pane and at the picture's
// own size (bounded). Any message Qt would print counts as a failure: the player must stay quiet.
#include "vcl/metafile/document.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>

namespace {

// Largest side of the own-size rendering, in pixels.
constexpr int kMaxFuzzSide = 256;

void FailOnMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    std::fprintf(stderr, "Qt message while playing: %s\n", message.toLocal8Bit().constData());
    std::abort();
}

void EnsureGuiApplication() {
    static const bool ready = [] {
        if (!QGuiApplication::instance()) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
                const QByteArray runtime = QDir::tempPath().toUtf8() + "/zorvane-fuzz-runtime";
                ::mkdir(runtime.constData(), 0700);
                qputenv("XDG_RUNTIME_DIR", runtime);
            }
            static int argc = 1;
            static char name[] = "metafile_fuzz";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv); // lives for the whole run; fonts need it
        }
        qInstallMessageHandler(FailOnMessage);
        return true;
    }();
    (void)ready;
}

void PlayInto(const vcl::metafile::Document& doc, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    doc.Play(painter, QRectF(QPointF(0, 0), QSizeF(size)));
}

} // namespace

// Fontconfig keeps its pattern caches for the life of the process; they are not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureGuiApplication();
    vcl::metafile::Document doc;
    std::string reason;
    if (vcl::metafile::Document::Load({data, size}, doc, &reason) !=
        vcl::metafile::LoadStatus::Ok) {
        if (reason.empty()) std::abort(); // every rejection says why
        return 0;
    }
    if (doc.Size().isEmpty()) std::abort();
    PlayInto(doc, QSize(69, 61));
    PlayInto(doc, doc.Size().boundedTo(QSize(kMaxFuzzSide, kMaxFuzzSide)));
    return 0;
}
