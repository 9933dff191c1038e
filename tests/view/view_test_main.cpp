// Entry point of the window tests: the program's own Qt application, offscreen unless told
// otherwise. Each test points the settings folder at a folder of its own.
#include "vcl/forms.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFont>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + "/zorvane-test-runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
    ::testing::InitGoogleTest(&argc, argv);
    vcl::TQtApplication app(argc, argv);
    QFont::insertSubstitutions("ＭＳ Ｐゴシック", {"IPAPGothic", "IPAGothic"});
    return RUN_ALL_TESTS();
}
