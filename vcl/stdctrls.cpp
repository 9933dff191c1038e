#include "vcl/stdctrls.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace vcl {

QColor clBtnFace() {
    return QApplication::palette().color(QPalette::Button);
}
QColor clWindowText() {
    return QApplication::palette().color(QPalette::WindowText);
}

void SetControlFont(QWidget* widget, const std::string& face, int pixelHeight, bool bold,
                    bool italic) {
    QFont font(QString::fromStdString(face));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    widget->setFont(font);
}

void SetFontColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

// ---------------------------------------------------------------------------------------------
// TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {}

void TLabel::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    AdjustSize();
    update();
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustSize();
}

void TLabel::SetShowAccelChar(bool show) {
    showAccelChar_ = show;
    AdjustSize();
    update();
}

void TLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

void TLabel::SetColor(const QColor& color) {
    color_ = color;
    update();
}

QString TLabel::DisplayText() const {
    const QString text = ShownText(caption_);
    if (!showAccelChar_) return text;
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i; // "&&" shows one "&"
        shown += text[i];
    }
    return shown;
}

void TLabel::AdjustSize() {
    if (!autoSize_) return;
    const QFontMetrics metrics(font());
    SetBounds(Left(), Top(), metrics.horizontalAdvance(DisplayText()), metrics.height());
}

void TLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) AdjustSize();
    TGraphicControl::changeEvent(event);
}

void TLabel::Paint(QPainter& painter) {
    if (color_.isValid() && !transparent_) painter.fillRect(rect(), color_);
    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    if (showAccelChar_) flags |= Qt::TextShowMnemonic;
    // Drawn into the control's own rectangle, so a long text is cut at its right edge.
    painter.setClipRect(rect());
    painter.drawText(rect(), flags, ShownText(caption_));
}

// ---------------------------------------------------------------------------------------------
// TWrappedControl and the simple wrapped controls

void TWrappedControl::Wrap(QWidget* inner) {
    inner_ = inner;
    inner_->setParent(this);
    inner_->setGeometry(rect());
    setFocusProxy(inner_);
}

void TWrappedControl::resizeEvent(QResizeEvent* event) {
    if (inner_) inner_->setGeometry(rect());
    TWinControl::resizeEvent(event);
}

TButton::TButton(TComponent* owner) : TWrappedControl(owner), button_(new QPushButton) {
    Wrap(button_);
    button_->setAutoDefault(false);
    QObject::connect(button_, &QPushButton::clicked, [this] { Click(); });
}

std::string TButton::Caption() const {
    return button_->text().toStdString();
}
void TButton::SetCaption(const std::string& caption) {
    button_->setText(QString::fromStdString(caption));
}

void TButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    button_->setDefault(isDefault);
}

TEdit::TEdit(TComponent* owner) : TWrappedControl(owner), edit_(new QLineEdit) {
    Wrap(edit_);
    QObject::connect(edit_, &QLineEdit::textChanged, [this] {
        if (OnChange) OnChange(this);
    });
}

std::string TEdit::Text() const {
    return edit_->text().toStdString();
}
void TEdit::SetText(const std::string& text) {
    edit_->setText(QString::fromStdString(text));
}

TCheckBox::TCheckBox(TComponent* owner) : TWrappedControl(owner), box_(new QCheckBox) {
    Wrap(box_);
    QObject::connect(box_, &QCheckBox::clicked, [this] { Click(); });
}

std::string TCheckBox::Caption() const {
    return box_->text().toStdString();
}
void TCheckBox::SetCaption(const std::string& caption) {
    box_->setText(QString::fromStdString(caption));
}
bool TCheckBox::Checked() const {
    return box_->isChecked();
}
void TCheckBox::SetChecked(bool checked) {
    box_->setChecked(checked);
}

TRadioButton::TRadioButton(TComponent* owner) : TWrappedControl(owner), button_(new QRadioButton) {
    Wrap(button_);
    // Each button sits in its own wrapper, so Qt's grouping by parent would not see the group.
    button_->setAutoExclusive(false);
    // Of a group only the checked button is a tab stop; the others still take a click.
    button_->setFocusPolicy(Qt::ClickFocus);
    QObject::connect(button_, &QRadioButton::toggled, [this](bool checked) {
        button_->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    });
    QObject::connect(button_, &QRadioButton::clicked, [this] {
        button_->setChecked(true);
        ClearSiblings();
        Click();
    });
}

std::string TRadioButton::Caption() const {
    return button_->text().toStdString();
}
void TRadioButton::SetCaption(const std::string& caption) {
    button_->setText(QString::fromStdString(caption));
}
bool TRadioButton::Checked() const {
    return button_->isChecked();
}

void TRadioButton::SetChecked(bool checked) {
    button_->setChecked(checked);
    if (checked) ClearSiblings();
}

void TRadioButton::ClearSiblings() {
    if (!Parent()) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
            other && other != this)
            other->button_->setChecked(false);
}

TMemo::TMemo(TComponent* owner) : TWrappedControl(owner), editor_(new QPlainTextEdit) {
    Wrap(editor_);
}

std::string TMemo::Text() const {
    return editor_->toPlainText().toStdString();
}
void TMemo::SetText(const std::string& text) {
    editor_->setPlainText(QString::fromStdString(text));
}
void TMemo::SetReadOnly(bool readOnly) {
    editor_->setReadOnly(readOnly);
}
void TMemo::SetWordWrap(bool wordWrap) {
    editor_->setLineWrapMode(wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

// ---------------------------------------------------------------------------------------------
// TScrollBar

// Qt reports a step (actionTriggered) while the value is still the old one and takes the slider
// position as the new value when the slot returns; the step is turned into a notification there.
class ScrollBarWidget : public QScrollBar {
public:
    explicit ScrollBarWidget(TScrollBar* owner) : owner_(owner) {
        setContextMenuPolicy(Qt::NoContextMenu);
        setFocusPolicy(Qt::StrongFocus);
        QObject::connect(this, &QAbstractSlider::actionTriggered,
                         [this](int action) { OnAction(action); });
        QObject::connect(this, &QAbstractSlider::valueChanged, [this] {
            if (owner_->OnChange) owner_->OnChange(owner_);
        });
    }

    // Takes a position: inside Qt's step it must go through the slider position, which Qt then
    // makes the value; elsewhere it is the value directly.
    void Take(int position) {
        if (inAction_)
            setSliderPosition(position);
        else
            setValue(position);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton)
            pressed_ = true;
        QScrollBar::mousePressEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        const bool dragged = isSliderDown();
        QScrollBar::mouseReleaseEvent(event);
        if (!pressed_ || event->buttons() & (Qt::LeftButton | Qt::MiddleButton)) return;
        pressed_ = false;
        if (dragged) owner_->Scroll(scPosition, sliderPosition());
        owner_->Scroll(scEndScroll, value());
    }

    void keyReleaseEvent(QKeyEvent* event) override {
        QScrollBar::keyReleaseEvent(event);
        if (event->isAutoRepeat()) return;
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            owner_->Scroll(scEndScroll, value());
            break;
        default:
            break;
        }
    }

    // A wheel notch is a line step, closed like every user action.
    void wheelEvent(QWheelEvent* event) override {
        const int notches = event->angleDelta().y() / 120;
        for (int i = 0; i < std::abs(notches); ++i)
            owner_->Scroll(notches > 0 ? scLineUp : scLineDown,
                           value() + (notches > 0 ? -singleStep() : singleStep()));
        if (notches != 0) owner_->Scroll(scEndScroll, value());
        event->accept();
    }

private:
    void OnAction(int action) {
        const int present = value();
        // Cleared also when the handler raises, so later positions are taken as values again.
        struct InAction {
            bool& flag;
            explicit InAction(bool& f) : flag(f) { flag = true; }
            ~InAction() { flag = false; }
        } inAction(inAction_);
        switch (action) {
        case SliderSingleStepAdd:
            owner_->Scroll(scLineDown, present + singleStep());
            break;
        case SliderSingleStepSub:
            owner_->Scroll(scLineUp, present - singleStep());
            break;
        case SliderPageStepAdd:
            owner_->Scroll(scPageDown, present + pageStep());
            break;
        case SliderPageStepSub:
            owner_->Scroll(scPageUp, present - pageStep());
            break;
        case SliderToMinimum:
            owner_->Scroll(scTop, minimum());
            break;
        case SliderToMaximum:
            owner_->Scroll(scBottom, maximum());
            break;
        case SliderMove:
            owner_->Scroll(scTrack, sliderPosition());
            break;
        default:
            break;
        }
    }

    TScrollBar* owner_;
    bool inAction_ = false;
    bool pressed_ = false;
};

TScrollBar::TScrollBar(TComponent* owner)
    : TWrappedControl(owner), bar_(new ScrollBarWidget(this)) {
    Wrap(bar_);
    bar_->setOrientation(Qt::Horizontal);
    bar_->setRange(0, 100);
    bar_->setSingleStep(1);
    bar_->setPageStep(1);
}

QWidget* TScrollBar::Bar() const {
    return bar_;
}

void TScrollBar::SetKind(TScrollBarKind kind) {
    kind_ = kind;
    bar_->setOrientation(kind == sbVertical ? Qt::Vertical : Qt::Horizontal);
}

int TScrollBar::Min() const {
    return bar_->minimum();
}
int TScrollBar::Max() const {
    return bar_->maximum();
}
int TScrollBar::Position() const {
    return bar_->value();
}
int TScrollBar::SmallChange() const {
    return bar_->singleStep();
}
int TScrollBar::LargeChange() const {
    return bar_->pageStep();
}
void TScrollBar::SetSmallChange(int step) {
    bar_->setSingleStep(step);
}
void TScrollBar::SetLargeChange(int step) {
    bar_->setPageStep(step);
}

void TScrollBar::SetMin(int min) {
    if (min > Max()) return;
    bar_->setMinimum(min);
}

void TScrollBar::SetMax(int max) {
    if (max < Min()) return;
    bar_->setMaximum(max); // Qt lowers the value with it
}

void TScrollBar::SetPosition(int position) {
    bar_->setValue(std::clamp(position, Min(), Max()));
}

void TScrollBar::Scroll(TScrollCode code, int target) {
    target = std::clamp(target, Min(), Max());
    if (OnScroll) OnScroll(this, code, target);
    // The handler may have changed the range; the position follows the range as it is now.
    bar_->Take(std::clamp(target, Min(), Max()));
}

} // namespace vcl
