// The spin edit's key filter and range rules, as the slide show dialog uses it (1 to 60).
#include "vcl/forms.h"
#include "vcl/spin.h"

#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace vcl;

namespace {

class SpinTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TForm>(nullptr);
        form->SetClientSize(100, 50);
        spin = new TSpinEdit(form.get());
        spin->SetParent(form.get());
        spin->SetBounds(24, 24, 41, 21);
        spin->SetMinValue(1);
        spin->SetMaxValue(60);
        spin->SetValue(1);
        form->Show();
    }
    void LoseFocus() {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(spin->Edit(), &out);
    }
    std::unique_ptr<TForm> form;
    TSpinEdit* spin = nullptr;
};

TEST_F(SpinTest, ValueIsTheWholeNumberTheTextHoldsElseTheMinimum) {
    const std::pair<const char*, int> cases[] = {
        {"5", 5}, {"+7", 7}, {"-3", -3}, {"75", 75}, {"0", 0},
        {"", 1},  {"-", 1},  {"1.5", 1}, {"12a", 1}, {" 5", 1},
    };
    for (const auto& [text, value] : cases) {
        spin->SetText(text);
        EXPECT_EQ(spin->Value(), value) << '"' << text << '"';
    }
}

TEST_F(SpinTest, TypingAcceptsOnlyDigitsSignsAndTheDecimalSeparator) {
    spin->SetText("");
    QTest::keyClicks(spin->Edit(), "a1b.2-x+ ");
    EXPECT_EQ(spin->Text(), "1.2-+");
}

TEST_F(SpinTest, TypedValuesArePulledIntoRangeWhenTheFocusLeaves) {
    const std::pair<const char*, const char*> cases[] = {{"75", "60"}, {"0", "1"}, {"-5", "1"},
                                                         {"30", "30"}, {"", ""},   {"x", "x"}};
    for (const auto& [typed, after] : cases) {
        spin->SetText(typed);
        LoseFocus();
        EXPECT_EQ(spin->Text(), after) << '"' << typed << '"';
    }
}

TEST_F(SpinTest, AssignedValuesArePulledIntoRangeAtOnce) {
    const std::pair<int, int> cases[] = {{0, 1}, {99, 60}, {5, 5}, {-2147483647, 1}};
    for (const auto& [assigned, value] : cases) {
        spin->SetValue(assigned);
        EXPECT_EQ(spin->Value(), value);
    }
}

TEST_F(SpinTest, ArrowsStepWithinTheRange) {
    spin->SetValue(59);
    QTest::keyClick(spin->Edit(), Qt::Key_Up);
    QTest::keyClick(spin->Edit(), Qt::Key_Up);
    EXPECT_EQ(spin->Value(), 60);
    spin->SetValue(2);
    QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
    QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
    EXPECT_EQ(spin->Value(), 1);
    spin->SetText(""); // not a number: steps from the minimum
    QTest::keyClick(spin->Edit(), Qt::Key_Up);
    EXPECT_EQ(spin->Value(), 2);
}

} // namespace
