// Every sample picture through a pane with the real plug-ins: it shows or fails with a handled
// code or a class library exception, and every memory handle comes back.
#include "picture/all.h"
#include "platform/memhandle.h"
#include "tests/support/samples.h"
#include "vcl/dialogs.h"
#include "vcl/sysutils.h"

namespace {

TEST(PaneSamplesTest, EverySampleShowsOrFailsCleanly) {
    ZORVANE_REQUIRE_SAMPLES();
    int messages = 0;
    vcl::ScopedMessageBoxAnswerer answerer([&](const vcl::MessageBoxRequest&) {
        ++messages;
        return vcl::MsgButton::Ok;
    });
    picture::TAll pane(nullptr);
    pane.SetStretch(true);
    int shown = 0;
    for (const char* format :
         {"bmp", "ico", "wmf", "emf", "jpeg", "gif", "tiff", "pic", "mag", "pi"}) {
        for (const auto& sample : testsupport::SampleFiles(format)) {
            const size_t handles = GlobalLiveHandles();
            const int before = messages;
            try {
                pane.SetPictureName(sample.string());
            } catch (const vcl::Exception&) {
                EXPECT_EQ(pane.Error(), 0) << sample;
                continue;
            }
            EXPECT_EQ(GlobalLiveHandles(), handles) << sample;
            if (pane.Error() == 0) {
                EXPECT_EQ(pane.PictureName(), sample.string());
                EXPECT_EQ(messages, before) << sample;
                ++shown;
            } else {
                EXPECT_EQ(pane.PictureName(), "") << sample;
                EXPECT_EQ(messages, before + 1) << sample;
            }
            pane.repaint();
        }
    }
    EXPECT_GT(shown, 0);
}

} // namespace
