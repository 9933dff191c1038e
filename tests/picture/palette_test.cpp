// The palette path: only an 8-bit screen and a picture of 8 bits or less get a palette, selected
// into the pane's surface, given to the bitmap, and realised on the enclosing form.
#include "pane_fixture.h"

#include "vcl/forms.h"
#include "vcl/graphics/bitmap.h"

using platform::PaletteEvent;
using spiscript::PictureReply;

namespace {

struct PaletteCase {
    int screenBits;
    uint16_t bitCount;
    uint32_t clrUsed;
    size_t entries; // 0: no palette
};

class PaletteDecisionTest : public PaneTest, public ::testing::WithParamInterface<PaletteCase> {};

TEST_P(PaletteDecisionTest, PaletteOnlyOnAnEightBitScreen) {
    const PaletteCase c = GetParam();
    platform::SetScreenBitsPerPixel(c.screenBits);
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_OK, 4, 4, c.bitCount, c.clrUsed});
    pane->SetPictureName("/p/a.gif");
    ASSERT_EQ(pane->Error(), 0);
    const platform::HPALETTE palette = pane->Picture()->Bitmap()->Palette();
    if (c.entries == 0) {
        EXPECT_EQ(palette, nullptr);
        EXPECT_TRUE(platform::PaletteLog().empty());
        return;
    }
    ASSERT_NE(palette, nullptr);
    ASSERT_EQ(palette->Entries().size(), c.entries);
    const auto last = palette->Entries().back();
    const uint8_t grey = static_cast<uint8_t>(c.entries - 1);
    EXPECT_EQ(last.peRed, grey);
    EXPECT_EQ(last.peGreen, grey);
    EXPECT_EQ(last.peBlue, grey);
    EXPECT_EQ(last.peFlags, 0);
    const auto& log = platform::PaletteLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0].kind, PaletteEvent::Select);
    EXPECT_EQ(log[0].context, "bitmap");
    EXPECT_EQ(log[0].palette, palette.get());
    EXPECT_FALSE(log[0].background);
    EXPECT_EQ(log[1].kind, PaletteEvent::Realize);
    EXPECT_EQ(log[1].dc, log[0].dc);
}

INSTANTIATE_TEST_SUITE_P(Screens, PaletteDecisionTest,
                         ::testing::Values(PaletteCase{8, 8, 0, 256}, PaletteCase{8, 4, 0, 16},
                                           PaletteCase{8, 1, 0, 2}, PaletteCase{8, 8, 20, 20},
                                           PaletteCase{8, 24, 0, 0}, PaletteCase{16, 8, 0, 0},
                                           PaletteCase{24, 8, 0, 0}, PaletteCase{4, 8, 0, 0},
                                           PaletteCase{32, 1, 0, 0}));

TEST_F(PaneTest, PaletteNeverReadsPastTheDeliveredColourTable) {
    platform::SetScreenBitsPerPixel(8);
    PictureReply reply{SPI_OK, 4, 4, 8, 1000000};
    reply.tableEntries = 3;
    spiscript::QueuePicture("ifgif", "GetPicture", reply);
    pane->SetPictureName("/p/a.gif");
    ASSERT_NE(pane->Picture()->Bitmap()->Palette(), nullptr);
    EXPECT_EQ(pane->Picture()->Bitmap()->Palette()->Entries().size(), 3u);
}

TEST_F(PaneTest, PaletteIsRealisedOnTheFormAndTheDisplacedOneSelectedBack) {
    platform::SetScreenBitsPerPixel(8);
    vcl::TForm form(nullptr);
    pane->SetParent(&form);
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_OK, 4, 4, 8});
    pane->SetPictureName("/p/a.gif");
    const platform::HPALETTE palette = pane->Picture()->Bitmap()->Palette();
    ASSERT_NE(palette, nullptr);
    const auto& log = platform::PaletteLog();
    pane->SetParent(nullptr); // the form goes first at the end of the test
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[2].kind, PaletteEvent::Select);
    EXPECT_EQ(log[2].dc, form.Canvas()->Handle());
    EXPECT_EQ(log[2].palette, palette.get());
    EXPECT_EQ(log[3].kind, PaletteEvent::Realize);
    EXPECT_EQ(log[3].dc, form.Canvas()->Handle());
    EXPECT_EQ(log[4].kind, PaletteEvent::Select);
    EXPECT_EQ(log[4].palette, log[0].displaced) << "the palette displaced from the pane's surface";
    EXPECT_EQ(form.Canvas()->Handle()->SelectedPalette(), nullptr);
}

TEST_F(PaneTest, CorrectedPicSharesTheDecodedPaletteAndNoPaletteOutlivesItsUsers) {
    platform::SetScreenBitsPerPixel(8);
    const size_t palettesBefore = platform::LivePalettes();
    spiscript::QueuePicture("ifpic", "GetPicture", {SPI_OK, 8, 4, 4});
    spiscript::QueueInfo("ifpic", {SPI_OK, 8, 4, 1, 2});
    pane->SetPictureName("/p/a.pic");
    ASSERT_EQ(PictureSize(), QSize(16, 4));
    const platform::HPALETTE palette = pane->Picture()->Bitmap()->Palette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->Entries().size(), 16u);
    EXPECT_EQ(platform::LivePalettes(), palettesBefore + 1);
    pane->SetPictureName("");
    EXPECT_EQ(palette.use_count(), 1) << "only this test still holds it";
}

} // namespace
