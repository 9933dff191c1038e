// The load operation against scripted plug-ins: every outcome, every handled failure with its
// message and the pane's state while the message is open, and the retries.
#include "pane_fixture.h"

#include "vcl/graphics/bitmap.h"
#include "vcl/sysutils.h"

using spiscript::InfoReply;
using spiscript::PictureReply;

namespace {

const std::string kJpeg = "/pics/A.JPG";
const std::string kGif = "/pics/A.GIF";

using LoadPictureTest = PaneTest;

TEST_F(LoadPictureTest, JpegDecodesAtFullSizeThroughTheInformationRecord) {
    spiscript::QueueInfo("ifjpeg", {SPI_OK, 40, 30, 1, 1, /*withTextInfo=*/true});
    spiscript::QueuePicture("ifjpeg", "GetPicture", {SPI_OK, 40, 30, 24});
    pane->SetPictureName(kJpeg);

    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_EQ(pane->PictureName(), kJpeg);
    EXPECT_EQ(pane->PluginKind(), 1);
    EXPECT_EQ(pane->OrgWidth(), 40);
    EXPECT_EQ(pane->OrgHeight(), 30);
    ASSERT_EQ(PictureSize(), QSize(40, 30));
    EXPECT_EQ(pane->Picture()->Bitmap()->Image().pixel(5, 5), 0xFF336699u);
    EXPECT_EQ(pane->Picture()->Bitmap()->Palette(), nullptr);
    EXPECT_EQ(pane->size(), QSize(40, 30)) << "AutoSize takes the picture's size";

    const auto calls = EntryCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].entry, "GetPictureInfo");
    EXPECT_EQ(calls[1].entry, "GetPicture");
    for (const auto& call : calls) {
        EXPECT_EQ(call.source, kJpeg);
        EXPECT_EQ(call.offset, 0);
        EXPECT_EQ(call.flag, 0u);
    }
    EXPECT_TRUE(calls[1].progressIsNull);
    EXPECT_EQ(calls[1].progressData, 0);
    EXPECT_EQ(spiscript::Calls().front().entry, "load");
    EXPECT_EQ(spiscript::Calls().back().entry, "unload");
}

TEST_F(LoadPictureTest, PhotographSizedPictureIsTransferredWhole) {
    spiscript::QueueInfo("ifjpeg", {SPI_OK, 1500, 1000});
    spiscript::QueuePicture("ifjpeg", "GetPicture", {SPI_OK, 1500, 1000, 24});
    pane->SetPictureName(kJpeg);
    ASSERT_EQ(PictureSize(), QSize(1500, 1000));
    const QImage& pixels = pane->Picture()->Bitmap()->Image();
    EXPECT_EQ(pixels.pixel(0, 0), 0xFF336699u);
    EXPECT_EQ(pixels.pixel(1499, 999), 0xFF336699u);
    pane->SetPictureName("");
    EXPECT_EQ(pane->Picture()->Graphic(), nullptr);
}

struct PreviewCase {
    int32_t width, height, previewWidth, previewHeight;
};

class JpegPreviewTest : public PaneTest, public ::testing::WithParamInterface<PreviewCase> {};

TEST_P(JpegPreviewTest, BitmapIsAQuarterOfTheRecordRoundedUp) {
    const PreviewCase c = GetParam();
    pane->SetPreView(true); // an empty pane only stores it
    EXPECT_TRUE(spiscript::Calls().empty());
    spiscript::QueueInfo("ifjpeg", {SPI_OK, c.width, c.height});
    // The delivered header is smaller still: the record decides the bitmap's size.
    spiscript::QueuePicture("ifjpeg", "GetPreview", {SPI_OK, 3, 3, 24});
    pane->SetPictureName(kJpeg);
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_EQ(PictureSize(), QSize(c.previewWidth, c.previewHeight));
    const QImage& pixels = pane->Picture()->Bitmap()->Image();
    EXPECT_EQ(pixels.pixel(0, 0), 0xFF336699u);
    if (c.previewWidth > 3) {
        EXPECT_EQ(pixels.pixel(c.previewWidth - 1, c.previewHeight - 1), 0xFFFFFFFFu)
            << "what the delivered rows do not reach is white";
    }
    EXPECT_EQ(pane->OrgWidth(), c.width);
    EXPECT_EQ(pane->OrgHeight(), c.height);
    EXPECT_TRUE(pane->PreView());
    EXPECT_EQ(EntryCalls().back().entry, "GetPreview");
}

INSTANTIATE_TEST_SUITE_P(Sizes, JpegPreviewTest,
                         ::testing::Values(PreviewCase{641, 481, 161, 121},
                                           PreviewCase{640, 480, 160, 120}, PreviewCase{1, 1, 1, 1},
                                           PreviewCase{5, 4, 2, 1}));

TEST_F(LoadPictureTest, JpegInformationRetriedAtOffset128AndDecodedThere) {
    spiscript::QueueInfo("ifjpeg", {SPI_BROKEN_DATA});
    spiscript::QueueInfo("ifjpeg", {SPI_OK, 8, 8});
    spiscript::QueuePicture("ifjpeg", "GetPicture", {SPI_OK, 8, 8, 24});
    pane->SetPictureName(kJpeg);
    EXPECT_EQ(pane->Error(), 0);
    const auto calls = EntryCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].offset, 0);
    EXPECT_EQ(calls[1].offset, 128);
    EXPECT_EQ(calls[2].entry, "GetPicture");
    EXPECT_EQ(calls[2].offset, 128);
}

struct TwoFailures {
    int32_t first, second;
    const char* reason;
};

class JpegInfoFailureTest : public PaneTest, public ::testing::WithParamInterface<TwoFailures> {};

TEST_P(JpegInfoFailureTest, SecondCallsCodeIsReportedAndEarlierSizesKept) {
    const TwoFailures c = GetParam();
    spiscript::QueueInfo("ifjpeg", {SPI_OK, 64, 48});
    spiscript::QueuePicture("ifjpeg", "GetPicture", {SPI_OK, 64, 48, 24});
    pane->SetPictureName(kJpeg);
    ASSERT_EQ(pane->OrgWidth(), 64);

    spiscript::Reset();
    spiscript::QueueInfo("ifjpeg", {c.first});
    spiscript::QueueInfo("ifjpeg", {c.second});
    pane->SetPictureName("/pics/B.jpe");
    EXPECT_EQ(pane->Error(), c.second);
    EXPECT_EQ(pane->PictureName(), "");
    EXPECT_EQ(pane->Picture()->Graphic(), nullptr);
    EXPECT_EQ(pane->OrgWidth(), 64);
    EXPECT_EQ(pane->OrgHeight(), 48);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, std::string(c.reason) + " [/pics/B.jpe]");
    EXPECT_EQ(shown[0].request.kind, vcl::MsgBoxKind::Message);
    EXPECT_EQ(shown[0].request.buttons, std::vector<vcl::MsgButton>{vcl::MsgButton::Ok});
    EXPECT_EQ(shown[0].pictureName, "/pics/B.jpe") << "the name is emptied after the box";
    EXPECT_EQ(shown[0].error, c.second);
    EXPECT_TRUE(shown[0].pluginLoaded) << "the library is released after the box";
    EXPECT_EQ(EntryCalls().size(), 2u) << "no decoding after a failed information call";
}

INSTANTIATE_TEST_SUITE_P(Codes, JpegInfoFailureTest,
                         ::testing::Values(TwoFailures{2, 3, "データが壊れている"},
                                           TwoFailures{6, 2, "未知のフォーマット"},
                                           TwoFailures{-1, 1, "その他のエラー"},
                                           TwoFailures{3, 4, "メモリーが確保出来ない"}));

TEST_F(LoadPictureTest, JpegDecodingFailureKeepsTheRecordsSizes) {
    spiscript::QueueInfo("ifjpeg", {SPI_OK, 100, 50, 1, 1, true});
    spiscript::QueuePicture("ifjpeg", "GetPicture", {SPI_MEMORY_ERROR});
    pane->SetPictureName(kJpeg);
    EXPECT_EQ(pane->Error(), 5);
    EXPECT_EQ(pane->OrgWidth(), 100);
    EXPECT_EQ(pane->OrgHeight(), 50);
    EXPECT_EQ(pane->PictureName(), "");
    EXPECT_EQ(pane->Picture()->Graphic(), nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, "メモリーエラー [/pics/A.JPG]");
}

TEST_F(LoadPictureTest, BitmapPathRetriesOnlyUnknownFormatAtOffset128) {
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_NOT_SUPPORTED});
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_OK, 7, 5, 8});
    pane->SetPictureName(kGif);
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_EQ(PictureSize(), QSize(7, 5));
    auto calls = EntryCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].offset, 128);

    spiscript::Reset();
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_FILE_READ_ERROR});
    pane->SetPictureName(kGif);
    EXPECT_EQ(EntryCalls().size(), 1u);
    EXPECT_EQ(pane->Error(), 6);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, "ファイルリードエラー [/pics/A.GIF]");
}

struct CodeText {
    int32_t code;
    const char* reason;
};

class PluginResultTest : public PaneTest, public ::testing::WithParamInterface<CodeText> {};

TEST_P(PluginResultTest, ReasonTextAndErrorFollowTheCode) {
    const CodeText c = GetParam();
    spiscript::QueuePicture("iftiff", "GetPicture", {c.code});
    if (c.code == SPI_NOT_SUPPORTED) spiscript::QueuePicture("iftiff", "GetPicture", {c.code});
    pane->SetPictureName("/pics/A.TIF");
    EXPECT_EQ(pane->Error(), c.code);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, std::string(c.reason) + " [/pics/A.TIF]");
    EXPECT_EQ(pane->PictureName(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PluginResultTest,
    ::testing::Values(CodeText{1, "その他のエラー"}, CodeText{-1, "その他のエラー"},
                      CodeText{2, "未知のフォーマット"}, CodeText{3, "データが壊れている"},
                      CodeText{4, "メモリーが確保出来ない"}, CodeText{5, "メモリーエラー"},
                      CodeText{6, "ファイルリードエラー"}, CodeText{7, "その他のエラー"},
                      CodeText{8, "その他のエラー"}));

TEST_F(LoadPictureTest, NonJpegResetsPreviewAndSizes) {
    pane->SetPreView(true);
    spiscript::QueueInfo("ifjpeg", {SPI_OK, 16, 16});
    spiscript::QueuePicture("ifjpeg", "GetPreview", {SPI_OK, 4, 4, 24});
    pane->SetPictureName(kJpeg);
    ASSERT_EQ(pane->OrgWidth(), 16);
    spiscript::QueuePicture("ifmag", "GetPicture", {SPI_OK, 3, 2, 4});
    pane->SetPictureName("/pics/A.mag");
    EXPECT_FALSE(pane->PreView());
    EXPECT_EQ(pane->OrgWidth(), 0);
    EXPECT_EQ(pane->OrgHeight(), 0);
    EXPECT_EQ(pane->PluginKind(), 6);
}

struct ExtensionCase {
    const char* path;
    int32_t kind; // 0: unsupported
};

class ExtensionTest : public PaneTest, public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(ExtensionTest, ExtensionChoosesThePlugin) {
    const ExtensionCase c = GetParam();
    pane->SetPreView(true);
    spiscript::QueueInfo("ifjpeg", {SPI_OK, 2, 2});
    spiscript::QueueInfo("ifpic", {SPI_OK, 2, 2});
    spiscript::QueueInfo("ifpic2", {SPI_OK, 2, 2});
    for (const char* stem : {"ifgif", "iftiff", "ifpic", "ifpic2", "ifmag", "ifxld4", "ifpi"})
        spiscript::QueuePicture(stem, "GetPicture", {SPI_OK, 2, 2, 24});
    spiscript::QueuePicture("ifjpeg", "GetPreview", {SPI_OK, 2, 2, 24});
    pane->SetPictureName(c.path);
    if (c.kind == 0) {
        EXPECT_EQ(pane->Error(), 10);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].request.text, std::string("サポートされない拡張子 [") + c.path + "]");
        EXPECT_EQ(shown[0].error, 10);
        EXPECT_TRUE(shown[0].preView) << "reset after the box";
        EXPECT_EQ(pane->PictureName(), "");
        EXPECT_FALSE(pane->PreView());
        EXPECT_TRUE(spiscript::Calls().empty()) << "no library is involved";
    } else {
        EXPECT_EQ(pane->Error(), 0);
        EXPECT_EQ(pane->PluginKind(), c.kind);
        EXPECT_TRUE(shown.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExtensionTest,
    ::testing::Values(ExtensionCase{"/p/a.jpg", 1}, ExtensionCase{"/p/a.Jpg", 1},
                      ExtensionCase{"/p/a.JPE", 1}, ExtensionCase{"/p/a.gif", 2},
                      ExtensionCase{"/p/a.tif", 3}, ExtensionCase{"/p/a.pic", 4},
                      ExtensionCase{"/p/a.P2", 5}, ExtensionCase{"/p/a.mag", 6},
                      ExtensionCase{"/p/a.q4", 7}, ExtensionCase{"/p/a.pi", 8},
                      ExtensionCase{"/p/a.b.gif", 2}, ExtensionCase{"/p/\x95\x5c.gif", 2},
                      ExtensionCase{"/p/a.jpeg", 0}, ExtensionCase{"/p/a.tiff", 0},
                      ExtensionCase{"/p/a.pc", 0}, ExtensionCase{"/p/A.B/FILE", 0},
                      ExtensionCase{"/p/a.", 0}, ExtensionCase{"/p/a.png", 0}));

struct AspectCase {
    uint16_t x, y;
    int32_t width, height;
};

class AspectTest : public PaneTest, public ::testing::WithParamInterface<AspectCase> {};

TEST_P(AspectTest, PicIsCorrectedByItsDensities) {
    const AspectCase c = GetParam();
    spiscript::QueuePicture("ifpic", "GetPicture", {SPI_OK, 320, 200, 24});
    spiscript::QueueInfo("ifpic", {SPI_OK, 320, 200, c.x, c.y, true});
    pane->SetPictureName("/p/a.pic");
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_EQ(PictureSize(), QSize(c.width, c.height));
    EXPECT_EQ(pane->Picture()->Bitmap()->Image().pixel(c.width - 1, c.height - 1), 0xFF336699u)
        << "the decoded picture is stretched over the whole corrected bitmap";
    const auto calls = EntryCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].entry, "GetPictureInfo");
}

INSTANTIATE_TEST_SUITE_P(Densities, AspectTest,
                         ::testing::Values(AspectCase{1, 1, 320, 200}, AspectCase{1, 2, 640, 200},
                                           AspectCase{2, 1, 320, 400}, AspectCase{3, 3, 320, 200},
                                           AspectCase{2, 3, 480, 200}, AspectCase{0, 2, 320, 200},
                                           AspectCase{2, 0, 320, 200}));

TEST_F(LoadPictureTest, AspectInformationAlwaysAtOffset0AndItsFailureSkipsTheCorrection) {
    spiscript::QueuePicture("ifpic2", "GetPicture", {SPI_NOT_SUPPORTED});
    spiscript::QueuePicture("ifpic2", "GetPicture", {SPI_OK, 10, 10, 24});
    spiscript::QueueInfo("ifpic2", {SPI_NOT_SUPPORTED});
    pane->SetPictureName("/p/a.p2");
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(PictureSize(), QSize(10, 10));
    const auto calls = EntryCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].offset, 128);
    EXPECT_EQ(calls[2].entry, "GetPictureInfo");
    EXPECT_EQ(calls[2].offset, 0);
}

TEST_F(LoadPictureTest, OtherPluginsGetNoAspectCorrection) {
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_OK, 10, 10, 24});
    pane->SetPictureName(kGif);
    EXPECT_EQ(EntryCalls().size(), 1u);
}

TEST_F(LoadPictureTest, TopDownPictureKeepsItsHeight) {
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_OK, 6, -4, 24});
    pane->SetPictureName(kGif);
    EXPECT_EQ(PictureSize(), QSize(6, 4));
    EXPECT_EQ(pane->Picture()->Bitmap()->Image().pixel(0, 3), 0xFF336699u);
}

struct BadDelivery {
    const char* what;
    PictureReply reply;
    int32_t error;
};

class BadDeliveryTest : public PaneTest, public ::testing::WithParamInterface<BadDelivery> {};

TEST_P(BadDeliveryTest, SuccessWithUnusableHandlesIsAFailure) {
    spiscript::QueuePicture("ifgif", "GetPicture", GetParam().reply);
    pane->SetPictureName(kGif);
    EXPECT_EQ(pane->Error(), GetParam().error) << GetParam().what;
    EXPECT_EQ(pane->PictureName(), "");
    EXPECT_EQ(shown.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Handles, BadDeliveryTest,
    ::testing::Values(
        BadDelivery{"bad bits handle", {SPI_OK, 2, 2, 24, 0, -1, 0, 0, 0xDEAD}, SPI_MEMORY_ERROR},
        BadDelivery{
            "bad information handle", {SPI_OK, 2, 2, 24, 0, -1, 0, 0xBEEF}, SPI_MEMORY_ERROR},
        BadDelivery{"short header", {SPI_OK, 2, 2, 24, 0, -1, 0, 0, 0, 12}, SPI_BROKEN_DATA}));

TEST_F(LoadPictureTest, PathLongerThan255BytesIsPassedWhole) {
    const std::string longName = "/" + std::string(300, 'd') + "/picture.gif";
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_OK, 1, 1, 24});
    pane->SetPictureName(longName);
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_EQ(EntryCalls().at(0).source, longName);
}

TEST_F(LoadPictureTest, BitmapTooLargeToHoldLeavesAsExceptionAndReleasesEverything) {
    spiscript::QueueInfo("ifjpeg", {SPI_OK, 100000, 100000, 1, 1, true});
    EXPECT_THROW(pane->SetPictureName(kJpeg), vcl::EOutOfResources);
    EXPECT_EQ(pane->PictureName(), kJpeg);
    EXPECT_EQ(pane->Error(), 0);
    // TearDown checks that the library and the text handle were released.
}

TEST_F(LoadPictureTest, ReloadInsideTheOpenBoxStillFinishesTheFailedLoad) {
    spiscript::QueuePicture("ifgif", "GetPicture", {SPI_BROKEN_DATA});
    spiscript::QueuePicture("iftiff", "GetPicture", {SPI_OK, 9, 9, 24});
    bool reloaded = false;
    whileOpen = [&] {
        if (reloaded) return;
        reloaded = true;
        pane->SetPictureName("/pics/B.TIF"); // as a slide show tick behind the box would
    };
    pane->SetPictureName(kGif);
    // The failed load's remaining step runs after the box: it empties the name the reload set.
    EXPECT_EQ(pane->PictureName(), "");
    EXPECT_EQ(pane->Error(), 0);
    EXPECT_EQ(PictureSize(), QSize(9, 9));
}

} // namespace
