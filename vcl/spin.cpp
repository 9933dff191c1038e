#include "vcl/spin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>
#include <charconv>

namespace vcl {

namespace {
constexpr int kArrowWidth = 15; // pixels of the arrow buttons' column

// The whole text as a decimal number with an optional sign, or nothing.
bool ParseWholeNumber(const std::string& text, int& value) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return false;
    long long magnitude = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (error != std::errc() || end != digits.data() + digits.size()) return false;
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue < INT32_MIN || signedValue > INT32_MAX) return false;
    value = static_cast<int>(signedValue);
    return true;
}
} // namespace

class SpinLineEdit : public QLineEdit {
public:
    explicit SpinLineEdit(TSpinEdit* owner) : owner_(owner) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Up) {
            owner_->StepUp();
            return;
        }
        if (event->key() == Qt::Key_Down) {
            owner_->StepDown();
            return;
        }
        const QString text = event->text();
        if (!text.isEmpty() && text[0].isPrint() && !(event->modifiers() & Qt::ControlModifier)) {
            const QChar c = text[0];
            if (!(c.isDigit() && c.unicode() < 0x80) && c != '+' && c != '-' && c != '.') {
                QApplication::beep();
                event->accept();
                return;
            }
        }
        QLineEdit::keyPressEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        owner_->FocusLost();
    }

private:
    TSpinEdit* owner_;
};

TSpinEdit::TSpinEdit(TComponent* owner)
    : TWinControl(owner), edit_(new SpinLineEdit(this)), up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    edit_->setParent(this);
    setFocusProxy(edit_);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    QObject::connect(up_, &QToolButton::clicked, [this] { StepUp(); });
    QObject::connect(down_, &QToolButton::clicked, [this] { StepDown(); });
    QObject::connect(edit_, &QLineEdit::textChanged, [this] {
        if (OnChange) OnChange(this);
    });
    SetText("0");
}

int TSpinEdit::CheckValue(int value) const {
    if (maxValue_ == minValue_) return value;
    return std::clamp(value, minValue_, maxValue_);
}

int TSpinEdit::Value() const {
    int value;
    return ParseWholeNumber(Text(), value) ? value : minValue_;
}

void TSpinEdit::SetValue(int value) {
    SetText(std::to_string(CheckValue(value)));
}

std::string TSpinEdit::Text() const {
    return edit_->text().toStdString();
}
void TSpinEdit::SetText(const std::string& text) {
    edit_->setText(QString::fromStdString(text));
}

void TSpinEdit::FocusLost() {
    const int value = Value();
    if (CheckValue(value) != value) SetValue(value);
}

void TSpinEdit::resizeEvent(QResizeEvent* event) {
    const int w = width(), h = height();
    edit_->setGeometry(0, 0, std::max(0, w - kArrowWidth), h);
    up_->setGeometry(w - kArrowWidth, 0, kArrowWidth, h / 2);
    down_->setGeometry(w - kArrowWidth, h / 2, kArrowWidth, h - h / 2);
    TWinControl::resizeEvent(event);
}

} // namespace vcl
