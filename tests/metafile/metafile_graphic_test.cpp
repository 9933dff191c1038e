// The TMetafile graphic over the player: its size, its drawing, and the exceptions a bad file
// raises.
#include "tests/metafile/record_writer.h"
#include "vcl/graphics/metafile_graphic.h"
#include "vcl/sysutils.h"

#include <gtest/gtest.h>

using namespace metafile_test;

namespace {

TEST(TMetafile, LoadsSizesAndDraws) {
    vcl::TMetafile graphic;
    int changes = 0;
    graphic.OnChange = [&](vcl::TGraphic*) { ++changes; };
    graphic.LoadFromBytes(Wmf(2880, 1440, 1440)
                              .Pen(5, 0, 0)
                              .Select(0)
                              .Brush(0, kRefRed)
                              .Select(1)
                              .Rectangle(0, 0, 1440, 1440)
                              .Build());
    EXPECT_EQ(graphic.Width(), 192);
    EXPECT_EQ(graphic.Height(), 96);
    EXPECT_EQ(changes, 1);

    QImage pane(69, 61, QImage::Format_RGB32);
    pane.fill(Qt::white);
    QPainter painter(&pane);
    graphic.Clone()->Draw(painter, QRect(0, 0, 69, 61));
    painter.end();
    EXPECT_EQ(Pixel(pane, 10, 30), kRed);
    EXPECT_EQ(Pixel(pane, 60, 30), kWhite);
}

TEST(TMetafile, BadFilesRaiseAndKeepThePicture) {
    vcl::TMetafile graphic;
    graphic.LoadFromBytes(Emf(40, 30).Build());
    const auto truncated = std::vector<uint8_t>{0xD7, 0xCD, 0xC6, 0x9A, 0, 0};
    EXPECT_THROW(graphic.LoadFromBytes(truncated), vcl::EReadError);
    EXPECT_THROW(graphic.LoadFromBytes(std::vector<uint8_t>(64, 0x55)), vcl::EInvalidGraphic);
    EXPECT_EQ(graphic.Width(), 40);
    EXPECT_EQ(graphic.Height(), 30);
}

} // namespace
