// Entry point of the tests of the window layer and the windows: the program's own Qt application,
// so that escaping exceptions reach the standard error display as they do in the program, with a
// private settings folder (tests that need one of their own set it themselves).
#include "vcl/forms.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QTemporaryDir>

#include "tests/support/test_environment.h"

int main(int argc, char** argv) {
    testsupport::PrepareQtTestEnvironment();
    // The registry hive lives under the configuration folder: never the user's own.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    vcl::TQtApplication app(argc, argv);
    QFont::insertSubstitutions("ＭＳ Ｐゴシック", {"IPAPGothic", "IPAGothic"});
    return RUN_ALL_TESTS();
}
