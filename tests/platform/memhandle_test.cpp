#include <gtest/gtest.h>

#include <cstring>

#include "platform/memhandle.h"

namespace {

TEST(MemHandle, LockCountsAndFree) {
    const size_t before = GlobalLiveHandles();
    const HGLOBAL32 h = GlobalAlloc(GMEM_MOVEABLE_FLAG | GMEM_ZEROINIT_FLAG, 16);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(GlobalSize(h), 16u);
    auto* p = static_cast<uint8_t*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[15], 0);
    EXPECT_EQ(GlobalLock(h), p);
    EXPECT_EQ(GlobalLockCount(h), 2);
    EXPECT_EQ(GlobalUnlock(h), 1);
    EXPECT_EQ(GlobalUnlock(h), 0);
    EXPECT_EQ(GlobalUnlock(h), 0); // unlocking an unlocked block stays at 0
    EXPECT_EQ(GlobalLiveHandles(), before + 1);
    EXPECT_EQ(GlobalFree(h), 0u);
    EXPECT_EQ(GlobalLiveHandles(), before);
}

TEST(MemHandle, BadHandlesAreErrorsNotCrashes) {
    const HGLOBAL32 h = GlobalAlloc(GMEM_MOVEABLE_FLAG, 4);
    ASSERT_EQ(GlobalFree(h), 0u);
    const HGLOBAL32 forged[] = {0u, h, 0xFFFFFFFFu, 12345u};
    for (const HGLOBAL32 bad : forged) {
        EXPECT_EQ(GlobalLock(bad), nullptr) << bad;
        EXPECT_EQ(GlobalLastError(), 6u);
        EXPECT_EQ(GlobalFree(bad), bad);
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalUnlock(bad), 0);
        EXPECT_EQ(GlobalLockCount(bad), -1);
    }
}

TEST(MemHandle, ReusedSlotGetsANewHandle) {
    const HGLOBAL32 first = GlobalAlloc(GMEM_MOVEABLE_FLAG, 1);
    GlobalFree(first);
    const HGLOBAL32 second = GlobalAlloc(GMEM_MOVEABLE_FLAG, 1);
    EXPECT_NE(first, second);
    EXPECT_EQ(GlobalLock(first), nullptr);
    EXPECT_NE(GlobalLock(second), nullptr);
    GlobalUnlock(second);
    GlobalFree(second);
}

TEST(MemHandle, ZeroBytesAndHugeRequests) {
    const HGLOBAL32 empty = GlobalAlloc(GMEM_MOVEABLE_FLAG, 0);
    ASSERT_NE(empty, 0u);
    EXPECT_NE(GlobalLock(empty), nullptr);
    GlobalUnlock(empty);
    GlobalFree(empty);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE_FLAG, size_t(1) << 40), 0u);
}

} // namespace
