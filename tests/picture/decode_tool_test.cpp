// zorvane-decode: exit codes, the reason on standard error, the PNG and the record.
#include "tests/support/samples.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>

namespace {

struct ToolRun {
    int exitCode;
    QString out;
    QString err;
};

ToolRun Decode(const QStringList& arguments) {
    QProcess process;
    process.start(ZORVANE_DECODE_TOOL, arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(DecodeToolTest, FailuresExitWithTheLoadCodeAndTheReason) {
    QTemporaryDir dir;
    const QString png = dir.path() + "/x.png";
    std::ofstream(png.toStdString()) << "not a picture";
    const QString garbage = dir.path() + "/x.bmp";
    std::ofstream(garbage.toStdString()) << std::string(100, 'Z');

    ToolRun r = Decode({png});
    EXPECT_EQ(r.exitCode, 10);
    EXPECT_EQ(r.err.trimmed(), QString::fromUtf8("サポートされない拡張子 [") + png + "]");
    EXPECT_TRUE(r.out.isEmpty());

    r = Decode({garbage, dir.path() + "/out.png"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith(QString::fromUtf8("未知のフォーマット [")));
    EXPECT_FALSE(QFile::exists(dir.path() + "/out.png"));

    r = Decode({dir.path() + "/missing.bmp"});
    EXPECT_EQ(r.exitCode, 1) << "a failure the pane lets through";
    EXPECT_FALSE(r.err.isEmpty());

    EXPECT_EQ(Decode({}).exitCode, 64);
}

TEST(DecodeToolTest, SampleJpegBecomesPngAndPrintsItsRecord) {
    ZORVANE_REQUIRE_SAMPLES();
    const QString jpeg = QString::fromStdString(
        (testsupport::SamplesDir() / "files/jpeg/imagers-test.jpg").string());
    QTemporaryDir dir;
    const QString out = dir.path() + "/out.png";
    ToolRun r = Decode({jpeg, out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage image(out);
    ASSERT_FALSE(image.isNull());

    r = Decode({"--info", jpeg});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QString("width\t%1\n").arg(image.width())));
    EXPECT_TRUE(r.out.contains(QString("height\t%1\n").arg(image.height())));

    r = Decode({"--preview", jpeg});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.trimmed(), QString("%1 x %2")
                                   .arg(image.width() / 4 + (image.width() % 4 ? 1 : 0))
                                   .arg(image.height() / 4 + (image.height() % 4 ? 1 : 0)));
}

} // namespace
