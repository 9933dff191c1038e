// What every GUI test process sets up before Qt starts: the offscreen platform unless another is
// asked for, and a private runtime folder.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace testsupport {

inline void PrepareQtTestEnvironment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + "/zorvane-test-runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
}

} // namespace testsupport
