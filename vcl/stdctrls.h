// Standard controls: labels, push buttons, edit boxes, check boxes, radio buttons, the multi-line
// text box and the scroll bar. Windowed controls wrap one Qt widget that fills them.
#pragma once

#include "vcl/controls.h"

#include <QColor>

#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace vcl {

// Colours the windows use by name.
inline const QColor clBlack(0, 0, 0);
inline const QColor clMaroon(128, 0, 0);
inline const QColor clYellow(255, 255, 0);
inline const QColor clWhite(255, 255, 255);
// The system's colours, from the application's palette.
QColor clBtnFace();
QColor clWindowText();

// Sets the widget's own font: the face, its character height in pixels and the style.
void SetControlFont(QWidget* widget, const std::string& face, int pixelHeight, bool bold = false,
                    bool italic = false);
// Sets the colour text is drawn in.
void SetFontColor(QWidget* widget, const QColor& color);

// One line of text, drawn from the top-left corner and cut off at the control's right edge.
// "&" marks an access key unless ShowAccelChar is off.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    // When on, the label takes the size of its text whenever the caption or font changes.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);
    // A transparent label paints no background.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    void SetColor(const QColor& color);

    // The caption as drawn (access-key marks removed).
    QString DisplayText() const;

protected:
    void Paint(QPainter& painter) override;
    void changeEvent(QEvent* event) override;

private:
    void AdjustSize();

    std::string caption_;
    bool autoSize_ = true;
    bool showAccelChar_ = true;
    bool transparent_ = false;
    QColor color_;
};

// A windowed control whose face is one Qt widget filling it; the focus goes to that widget.
class TWrappedControl : public TWinControl {
public:
    explicit TWrappedControl(TComponent* owner) : TWinControl(owner) {}

protected:
    void Wrap(QWidget* inner);
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* inner_ = nullptr;
};

class TButton : public TWrappedControl {
public:
    explicit TButton(TComponent* owner);

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    // The default button answers Enter in its window; the cancel button answers Esc.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }

    QPushButton* Button() const { return button_; }

private:
    QPushButton* button_;
    bool default_ = false;
    bool cancel_ = false;
};

class TEdit : public TWrappedControl {
public:
    explicit TEdit(TComponent* owner);

    std::string Text() const;
    void SetText(const std::string& text);
    TNotifyEvent OnChange;

    QLineEdit* Edit() const { return edit_; }

private:
    QLineEdit* edit_;
};

class TCheckBox : public TWrappedControl {
public:
    explicit TCheckBox(TComponent* owner);

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Checked() const;
    void SetChecked(bool checked);

    QCheckBox* Box() const { return box_; }

private:
    QCheckBox* box_;
};

// Radio buttons with the same parent form one group: checking one clears the others.
class TRadioButton : public TWrappedControl {
public:
    explicit TRadioButton(TComponent* owner);

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    bool Checked() const;
    void SetChecked(bool checked);

    QRadioButton* Button() const { return button_; }

private:
    void ClearSiblings();

    QRadioButton* button_;
};

// A multi-line text box.
class TMemo : public TWrappedControl {
public:
    explicit TMemo(TComponent* owner);

    std::string Text() const;
    void SetText(const std::string& text);
    void SetReadOnly(bool readOnly);
    void SetWordWrap(bool wordWrap);

    QPlainTextEdit* Editor() const { return editor_; }

private:
    QPlainTextEdit* editor_;
};

enum TScrollCode {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll
};

enum TScrollBarKind { sbHorizontal, sbVertical };

using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class ScrollBarWidget;

// The scroll bar notifies before it moves: for every step of the user it works out a target from
// its present Position (clamped to Min and Max), calls OnScroll with it, and only afterwards takes
// the target, clamped again to the range as it is then. Every user action ends with scEndScroll.
class TScrollBar : public TWrappedControl {
public:
    explicit TScrollBar(TComponent* owner);

    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind kind);

    int Min() const;
    int Max() const;
    int Position() const;
    // A maximum below Min (or a minimum above Max) is refused and changes nothing. Lowering the
    // maximum below Position lowers Position with it.
    void SetMin(int min);
    void SetMax(int max);
    void SetPosition(int position);
    int SmallChange() const;
    int LargeChange() const;
    void SetSmallChange(int step);
    void SetLargeChange(int step);

    TScrollEvent OnScroll;
    // Runs when Position changes.
    TNotifyEvent OnChange;

    QWidget* Bar() const;
    // One step as the user would make it (also used by the keys, the mouse and the wheel).
    void Scroll(TScrollCode code, int target);

private:
    friend class ScrollBarWidget;
    ScrollBarWidget* bar_;
    TScrollBarKind kind_ = sbHorizontal;
};

} // namespace vcl
