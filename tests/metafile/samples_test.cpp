// Every sample metafile either draws or is rejected cleanly; only deliberately broken ones may
// be rejected.
#include "tests/support/samples.h"
#include "vcl/metafile/document.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Samples that select objects and draw nothing.
bool DrawsNothing(const std::filesystem::path& path) {
    return path.filename() == "emf2svg-test-030.emf";
}

using vcl::metafile::Document;
using vcl::metafile::LoadStatus;

void CheckFormat(const std::string& format) {
    ZORVANE_REQUIRE_SAMPLES();
    const auto files = testsupport::SampleFiles(format);
    ASSERT_FALSE(files.empty());
    for (const auto& path : files) {
        const auto bytes = testsupport::ReadBytes(path);
        Document doc;
        std::string reason;
        const LoadStatus status = Document::Load(bytes, doc, &reason);
        if (status != LoadStatus::Ok) {
            EXPECT_TRUE(testsupport::IsTaggedBroken(path)) << path << ": " << reason;
            continue;
        }
        EXPECT_GT(doc.Size().width(), 0) << path;
        EXPECT_GT(doc.Size().height(), 0) << path;
        // Into a thumbnail pane: something other than the background must appear.
        QImage pane(69, 61, QImage::Format_RGB32);
        pane.fill(Qt::white);
        QPainter painter(&pane);
        doc.Play(painter, QRectF(0, 0, 69, 61));
        painter.end();
        bool inked = false;
        for (int y = 0; y < pane.height() && !inked; ++y)
            for (int x = 0; x < pane.width() && !inked; ++x)
                inked = (pane.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
        EXPECT_TRUE(inked || DrawsNothing(path) || testsupport::IsTaggedBroken(path))
            << path << " drew nothing";
    }
}

TEST(MetafileSamples, WmfFilesDrawOrAreRejected) {
    CheckFormat("wmf");
}
TEST(MetafileSamples, EmfFilesDrawOrAreRejected) {
    CheckFormat("emf");
}

} // namespace
