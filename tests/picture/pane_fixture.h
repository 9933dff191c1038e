// A pane whose message boxes are answered at once, recording what the box said and what the
// pane held while it was open.
#pragma once

#include "picture/all.h"
#include "platform/memhandle.h"
#include "platform/palette.h"
#include "tests/picture/script/spi_script.h"
#include "vcl/dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct ShownMessage {
    vcl::MessageBoxRequest request;
    std::string pictureName; // the pane's state while the box is open
    int32_t error;
    bool preView;
    int32_t orgWidth;
    int32_t orgHeight;
    bool pluginLoaded; // some test plug-in is loaded while the box is open
};

// Load events minus unload events in the script's record.
inline int LoadedPlugins() {
    int loaded = 0;
    for (const auto& call : spiscript::Calls()) {
        if (call.entry == "load") ++loaded;
        if (call.entry == "unload") --loaded;
    }
    return loaded;
}

inline std::vector<spiscript::Call> EntryCalls() {
    std::vector<spiscript::Call> calls;
    for (const auto& call : spiscript::Calls())
        if (call.entry != "load" && call.entry != "unload") calls.push_back(call);
    return calls;
}

class PaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        spiscript::Reset();
        platform::SetScreenBitsPerPixel(32);
        platform::ClearPaletteLog();
        handlesBefore_ = GlobalLiveHandles();
        pane = std::make_unique<picture::TAll>(nullptr);
        answerer_ = std::make_unique<vcl::ScopedMessageBoxAnswerer>(
            [this](const vcl::MessageBoxRequest& request) {
                shown.push_back({request, pane->PictureName(), pane->Error(), pane->PreView(),
                                 pane->OrgWidth(), pane->OrgHeight(), LoadedPlugins() > 0});
                if (whileOpen) whileOpen();
                return vcl::MsgButton::Ok;
            });
    }
    void TearDown() override {
        answerer_.reset();
        pane.reset();
        EXPECT_EQ(LoadedPlugins(), 0) << "a plug-in library stayed loaded";
        EXPECT_EQ(GlobalLiveHandles(), handlesBefore_) << "a memory handle was not freed";
        spiscript::Reset();
        platform::SetScreenBitsPerPixel(platform::kDefaultScreenBitsPerPixel);
    }

    QSize PictureSize() const { return {pane->Picture()->Width(), pane->Picture()->Height()}; }

    std::unique_ptr<picture::TAll> pane;
    std::vector<ShownMessage> shown;
    std::function<void()> whileOpen;

private:
    size_t handlesBefore_ = 0;
    std::unique_ptr<vcl::ScopedMessageBoxAnswerer> answerer_;
};
