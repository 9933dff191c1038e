// Test entry point: a QApplication exists for every test, offscreen unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/test_environment.h"

int main(int argc, char** argv) {
    testsupport::PrepareQtTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
