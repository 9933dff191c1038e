// zorvane-decode [--info] [--preview] FILE [OUT.png]
// Decodes FILE exactly as a picture pane does and writes the picture as PNG, or prints the
// picture-information record. Exits with 0 or the load result code; the reason goes to standard
// error.
#include "picture/all.h"
#include "picture/format_table.h"
#include "platform/dynlib.h"
#include "platform/paths.h"
#include "plugins/spi.h"
#include "vcl/dialogs.h"
#include "vcl/graphics/bitmap.h"
#include "vcl/graphics/icon.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// Exit code for a failure the load operation does not handle (a file that cannot be opened, a
// picture too large to hold) and for wrong usage.
constexpr int kExitUnhandled = 1;
constexpr int kExitUsage = 64;

int Usage() {
    std::fprintf(stderr, "usage: zorvane-decode [--info] [--preview] FILE [OUT.png]\n");
    return kExitUsage;
}

// The record of a plug-in format, as its plug-in reports it.
int PrintPluginRecord(const picture::PluginFormat& format, const std::string& file) {
    platform::ScopedLibrary library{std::string(format.library)};
    if (!library) {
        std::fprintf(stderr, "%s [%s]\n", picture::PluginMissingText(format).c_str(), file.c_str());
        return picture::kLoadPluginMissing;
    }
    auto getInfo = library.entry<SpiGetPictureInfoFn>("GetPictureInfo");
    if (!getInfo) {
        std::fprintf(stderr, "%s has no GetPictureInfo\n", std::string(format.library).c_str());
        return picture::kLoadPluginIncomplete;
    }
    SpiPictureInfo info{};
    int32_t offset = 0;
    int32_t result = getInfo(file.c_str(), 0, SPI_INPUT_FILE, &info);
    if (result != 0) {
        info = SpiPictureInfo{};
        result = getInfo(file.c_str(), 128, SPI_INPUT_FILE, &info);
        offset = 128;
    }
    if (result != 0) {
        std::fprintf(stderr, "%s [%s]\n", std::string(picture::PluginResultText(result)).c_str(),
                     file.c_str());
        return result;
    }
    std::string text;
    if (info.textInfo) {
        if (const void* block = GlobalLock(info.textInfo)) {
            const size_t size = GlobalSize(info.textInfo);
            text.assign(static_cast<const char*>(block),
                        strnlen(static_cast<const char*>(block), size));
            GlobalUnlock(info.textInfo);
        }
        GlobalFree(info.textInfo);
    }
    std::printf("plugin\t%s\noffset\t%d\nleft\t%d\ntop\t%d\nwidth\t%d\nheight\t%d\n"
                "x_density\t%u\ny_density\t%u\nbits_per_pixel\t%d\n",
                std::string(format.library).c_str(), offset, info.left, info.top, info.width,
                info.height, info.xDensity, info.yDensity, info.bitsPerPixel);
    if (!text.empty()) std::printf("text\t%s\n", text.c_str());
    return 0;
}

QImage Rendered(const vcl::TGraphic& graphic) {
    if (auto* bitmap = dynamic_cast<const vcl::TBitmap*>(&graphic)) return bitmap->Image();
    if (auto* icon = dynamic_cast<const vcl::TIcon*>(&graphic)) return icon->Image();
    QImage image(graphic.Width(), graphic.Height(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    graphic.Draw(painter, image.rect());
    return image;
}

} // namespace

int main(int argc, char** argv) {
    bool info = false;
    bool preview = false;
    std::string file;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--info") == 0)
            info = true;
        else if (std::strcmp(argv[i], "--preview") == 0)
            preview = true;
        else if (file.empty())
            file = argv[i];
        else if (out.empty())
            out = argv[i];
        else
            return Usage();
    }
    if (file.empty() || (info && !out.empty())) return Usage();

    if (info) {
        const std::string ext = platform::UpperCaseAscii(platform::ExtractFileExt(file));
        if (const picture::PluginFormat* format = picture::FindPluginFormat(ext))
            return PrintPluginRecord(*format, file);
    }

    // A headless pane: nothing is shown, the failure message goes to standard error.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt complains on standard error without one; a private folder keeps the output clean.
        const QString runtime = QDir::tempPath() + "/zorvane-decode-" + QString::number(getuid());
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
    QApplication app(argc, argv);
    vcl::ScopedMessageBoxAnswerer toStderr([](const vcl::MessageBoxRequest& request) {
        std::fprintf(stderr, "%s\n", request.text.c_str());
        return vcl::MsgButton::Ok;
    });
    picture::TAll pane(nullptr);
    try {
        pane.SetPreView(preview);
        pane.SetPictureName(file);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return kExitUnhandled;
    }
    if (pane.Error() != 0) return pane.Error();
    const vcl::TGraphic* graphic = pane.Picture()->Graphic();
    if (!graphic || graphic->Empty()) {
        std::fprintf(stderr, "empty picture [%s]\n", file.c_str());
        return kExitUnhandled;
    }
    if (info) {
        std::printf("loader\tbuilt-in\nwidth\t%d\nheight\t%d\n", graphic->Width(),
                    graphic->Height());
        return 0;
    }
    if (out.empty()) {
        std::printf("%d x %d\n", graphic->Width(), graphic->Height());
        return 0;
    }
    if (!Rendered(*graphic).save(QString::fromLocal8Bit(out.c_str()), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return kExitUnhandled;
    }
    return 0;
}
