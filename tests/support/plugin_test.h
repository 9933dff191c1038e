// A test of one plug-in, loaded by bare file name before each test; no test may leave a memory
// handle behind.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

#include "platform/dynlib.h"
#include "platform/memhandle.h"

namespace testsupport {

template <typename Plugin, typename Base = ::testing::Test> class PluginTest : public Base {
protected:
    explicit PluginTest(const char* fileName) : plugin_(fileName), fileName_(fileName) {}

    void SetUp() override {
        ASSERT_TRUE(plugin_.complete()) << fileName_ << ": " << platform::LastLibraryError();
        liveBefore_ = GlobalLiveHandles();
    }
    void TearDown() override { EXPECT_EQ(GlobalLiveHandles(), liveBefore_) << "handles leaked"; }

    Plugin plugin_;

private:
    const char* fileName_;
    size_t liveBefore_ = 0;
};

} // namespace testsupport
