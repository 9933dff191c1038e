// The spin edit: a number box with up and down arrows.
#pragma once

#include "vcl/stdctrls.h"

class QLineEdit;
class QToolButton;

namespace vcl {

// Typing accepts only digits, the signs and the decimal separator (anything else is refused
// with a beep). Value is the whole number the text holds, MinValue for any other text. The arrow
// keys and buttons step by Increment within the range; a typed value outside the range is pulled
// to the nearer bound when the box loses the focus, an assigned one at once.
class TSpinEdit : public TWinControl {
public:
    explicit TSpinEdit(TComponent* owner);

    int Value() const;
    void SetValue(int value);
    int MinValue() const { return minValue_; }
    void SetMinValue(int value) { minValue_ = value; }
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value) { maxValue_ = value; }
    int Increment() const { return increment_; }
    void SetIncrement(int increment) { increment_ = increment; }

    std::string Text() const;
    void SetText(const std::string& text);

    void StepUp() { SetValue(Value() + increment_); }
    void StepDown() { SetValue(Value() - increment_); }

    TNotifyEvent OnChange;

    QLineEdit* Edit() const { return edit_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    // The range applied: no bounds when MinValue equals MaxValue.
    int CheckValue(int value) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class SpinLineEdit;
    void FocusLost();

    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
};

} // namespace vcl
