// Entry point of the window-layer tests: the program's own Qt application, so that escaping
// exceptions reach the standard error display as they do in the program; offscreen unless told
// otherwise, with a private settings folder.
#include "vcl/forms.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFont>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + "/zorvane-test-runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
    // The registry hive lives under the configuration folder: never the user's own.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    vcl::TQtApplication app(argc, argv);
    QFont::insertSubstitutions("ＭＳ Ｐゴシック", {"IPAPGothic", "IPAGothic"});
    return RUN_ALL_TESTS();
}
