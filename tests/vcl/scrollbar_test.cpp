// The scroll bar notifies before it moves: the handler sees the old Position and a target worked
// out from it, the bar then takes the target clamped to the range as the handler left it, and
// every user action ends with an end-of-scroll notification.
#include "vcl/forms.h"
#include "vcl/stdctrls.h"
#include "vcl/sysutils.h"

#include <gtest/gtest.h>

#include <QTest>

#include <memory>
#include <vector>

using namespace vcl;

namespace {

struct Notice {
    TScrollCode code;
    int target;
    int positionDuring;
    bool operator==(const Notice&) const = default;
};

void PrintTo(const Notice& n, std::ostream* os) {
    *os << "{code " << n.code << ", target " << n.target << ", during " << n.positionDuring << "}";
}

class ScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetClientSize(100, 260);
        bar = new TScrollBar(form.get());
        bar->SetParent(form.get());
        bar->SetKind(sbVertical);
        bar->SetBounds(40, 0, 17, 249);
        bar->SetSmallChange(4);
        bar->SetLargeChange(12);
        bar->OnScroll = [this](TObject*, TScrollCode code, int& pos) {
            notices.push_back({code, pos, bar->Position()});
            if (onScroll) onScroll(pos);
        };
        form->Show();
    }

    void Key(Qt::Key key) {
        QTest::keyPress(bar->Bar(), key);
        QTest::keyRelease(bar->Bar(), key);
    }

    std::unique_ptr<TForm> form;
    TScrollBar* bar = nullptr;
    std::vector<Notice> notices;
    std::function<void(int&)> onScroll;
};

struct KeyCase {
    const char* name;
    int start;
    Qt::Key key;
    std::vector<Notice> expected;
    int final;
};

TEST_F(ScrollBarTest, KeysNotifyWithTheOldPositionThenEndTheScroll) {
    const KeyCase cases[] = {
        {"line down", 0, Qt::Key_Down, {{scLineDown, 4, 0}, {scEndScroll, 4, 4}}, 4},
        {"line up clamps at Min", 2, Qt::Key_Up, {{scLineUp, 0, 2}, {scEndScroll, 0, 0}}, 0},
        {"page down", 0, Qt::Key_PageDown, {{scPageDown, 12, 0}, {scEndScroll, 12, 12}}, 12},
        {"page up", 30, Qt::Key_PageUp, {{scPageUp, 18, 30}, {scEndScroll, 18, 18}}, 18},
        {"line down at Max",
         100,
         Qt::Key_Down,
         {{scLineDown, 100, 100}, {scEndScroll, 100, 100}},
         100},
        {"bottom", 7, Qt::Key_End, {{scBottom, 100, 7}, {scEndScroll, 100, 100}}, 100},
        {"top", 50, Qt::Key_Home, {{scTop, 0, 50}, {scEndScroll, 0, 0}}, 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        bar->SetMax(100);
        bar->SetPosition(c.start);
        notices.clear();
        Key(c.key);
        EXPECT_EQ(notices, c.expected);
        EXPECT_EQ(bar->Position(), c.final);
    }
}

TEST_F(ScrollBarTest, TargetIsClampedToTheRangeTheHandlerLeaves) {
    // The handler lowers Max below the present position: Position drops with it at once, and the
    // step's target is clamped to the new range afterwards.
    bar->SetPosition(50);
    onScroll = [this](int&) { bar->SetMax(9); };
    Key(Qt::Key_Down);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], (Notice{scLineDown, 54, 50}));
    EXPECT_EQ(notices[1], (Notice{scEndScroll, 9, 9}));
    EXPECT_EQ(bar->Position(), 9);
}

TEST_F(ScrollBarTest, HandlerMayChangeTheTarget) {
    onScroll = [](int& pos) { pos = 70; };
    Key(Qt::Key_Down);
    EXPECT_EQ(bar->Position(), 70);
}

TEST_F(ScrollBarTest, ArrowClickNotifiesOnPressAndEndsOnRelease) {
    // The down arrow sits at the bottom end of the bar.
    const QPoint arrow(8, bar->Height() - 4);
    QTest::mousePress(bar->Bar(), Qt::LeftButton, {}, arrow);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], (Notice{scLineDown, 4, 0}));
    QTest::mouseRelease(bar->Bar(), Qt::LeftButton, {}, arrow);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[1], (Notice{scEndScroll, 4, 4}));
}

TEST_F(ScrollBarTest, ThumbDragTrailsByOneNotificationAndEndsWithPositionAndEndScroll) {
    const QPoint thumb(8, 24);
    QTest::mousePress(bar->Bar(), Qt::LeftButton, {}, thumb);
    for (int y : {60, 100, 140})
        QTest::mouseMove(bar->Bar(), QPoint(8, y));
    QTest::mouseRelease(bar->Bar(), Qt::LeftButton, {}, QPoint(8, 140));
    ASSERT_GE(notices.size(), 3u);
    const size_t n = notices.size();
    EXPECT_EQ(notices[n - 2].code, scPosition);
    EXPECT_EQ(notices[n - 1].code, scEndScroll);
    int previous = 0;
    for (size_t i = 0; i + 2 < n; ++i) {
        EXPECT_EQ(notices[i].code, scTrack);
        EXPECT_EQ(notices[i].positionDuring, previous) << "the handler sees the old position";
        previous = notices[i].target;
    }
    EXPECT_GT(previous, 0);
    EXPECT_EQ(notices[n - 2].target, previous);
    EXPECT_EQ(bar->Position(), previous);
}

TEST_F(ScrollBarTest, RangeRules) {
    bar->SetMax(40);
    bar->SetPosition(30);
    bar->SetMax(-1); // below Min: refused
    EXPECT_EQ(bar->Max(), 40);
    EXPECT_EQ(bar->Position(), 30);
    bar->SetMax(20); // lowering Max lowers Position
    EXPECT_EQ(bar->Position(), 20);
    bar->SetPosition(500);
    EXPECT_EQ(bar->Position(), 20);
    EXPECT_TRUE(notices.empty()) << "only the user's steps notify";
}

TEST_F(ScrollBarTest, AnEscapingErrorLeavesTheBarWorking) {
    onScroll = [](int&) { throw Exception("boom"); };
    EXPECT_THROW(bar->Scroll(scLineDown, 4), Exception);
    onScroll = nullptr;
    bar->SetPosition(10);
    EXPECT_EQ(bar->Position(), 10);
    Key(Qt::Key_Down);
    EXPECT_EQ(bar->Position(), 14);
}

} // namespace
