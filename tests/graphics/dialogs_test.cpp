// The one seam of every message box: an answerer sees the whole box; without one a real modal box
// runs, with our button texts, and answers by the button pressed.
#include "vcl/dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {

TEST(DialogsTest, AnswererReceivesTheBoxAndItsAnswerIsReturned) {
    std::vector<vcl::MessageBoxRequest> seen;
    vcl::ScopedMessageBoxAnswerer answerer([&](const vcl::MessageBoxRequest& r) {
        seen.push_back(r);
        return vcl::MsgButton::Cancel;
    });
    vcl::ShowMessage("データが壊れている [/p/a.gif]");
    EXPECT_EQ(
        vcl::MessageBox("終了しますか", "確認", vcl::MsgIcon::Question, vcl::MsgButtons::OkCancel),
        vcl::MsgButton::Cancel);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].kind, vcl::MsgBoxKind::Message);
    EXPECT_EQ(seen[0].text, "データが壊れている [/p/a.gif]");
    EXPECT_EQ(seen[0].buttons, std::vector<vcl::MsgButton>{vcl::MsgButton::Ok});
    EXPECT_EQ(seen[1].kind, vcl::MsgBoxKind::Box);
    EXPECT_EQ(seen[1].title, "確認");
    EXPECT_EQ(seen[1].icon, vcl::MsgIcon::Question);
    EXPECT_EQ(seen[1].buttons,
              (std::vector<vcl::MsgButton>{vcl::MsgButton::Ok, vcl::MsgButton::Cancel}));
}

TEST(DialogsTest, AnswererRestoredWhenItsScopeEnds) {
    int outer = 0;
    vcl::ScopedMessageBoxAnswerer a([&](const vcl::MessageBoxRequest&) {
        ++outer;
        return vcl::MsgButton::Ok;
    });
    {
        vcl::ScopedMessageBoxAnswerer b(
            [](const vcl::MessageBoxRequest&) { return vcl::MsgButton::Ok; });
        vcl::ShowMessage("x");
    }
    vcl::ShowMessage("y");
    EXPECT_EQ(outer, 1);
}

struct RealBoxCase {
    vcl::MsgButtons buttons;
    const char* press; // button text, or "Escape"
    vcl::MsgButton answer;
};

class RealBoxTest : public ::testing::TestWithParam<RealBoxCase> {};

TEST_P(RealBoxTest, AnswersWithTheButtonPressed) {
    const RealBoxCase c = GetParam();
    QStringList texts;
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [&texts, timer, c] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        timer->stop();
        timer->deleteLater();
        for (QAbstractButton* b : box->buttons())
            texts << b->text();
        if (QString(c.press) == "Escape") {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QString::fromUtf8(c.press)) b->click();
    });
    timer->start(10);
    EXPECT_EQ(vcl::MessageBox("本文", "題", vcl::MsgIcon::Error, c.buttons), c.answer);
    EXPECT_TRUE(texts.contains("OK"));
    EXPECT_EQ(texts.contains(QString::fromUtf8("ｷｬﾝｾﾙ")), c.buttons == vcl::MsgButtons::OkCancel);
}

INSTANTIATE_TEST_SUITE_P(
    Presses, RealBoxTest,
    ::testing::Values(RealBoxCase{vcl::MsgButtons::OkCancel, "OK", vcl::MsgButton::Ok},
                      RealBoxCase{vcl::MsgButtons::OkCancel, "ｷｬﾝｾﾙ", vcl::MsgButton::Cancel},
                      RealBoxCase{vcl::MsgButtons::OkCancel, "Escape", vcl::MsgButton::Cancel},
                      RealBoxCase{vcl::MsgButtons::Ok, "Escape", vcl::MsgButton::Ok}));

} // namespace
