#include "vcl/scrollbox.h"

#include <QChildEvent>
#include <QEvent>
#include <QScrollArea>

namespace vcl {

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
    area_ = new QScrollArea(this);
    area_->setFrameShape(QFrame::NoFrame);
    area_->setWidgetResizable(false);
    area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    canvas_ = new QWidget;
    canvas_->resize(0, 0);
    canvas_->installEventFilter(this);
    area_->setWidget(canvas_);
    area_->setGeometry(rect());
}

void TScrollBox::resizeEvent(QResizeEvent* event) {
    TWinControl::resizeEvent(event);
    area_->setGeometry(rect());
}

bool TScrollBox::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (auto* child = static_cast<QChildEvent*>(event)->child(); child->isWidgetType())
            child->installEventFilter(this);
        UpdateRange();
        break;
    case QEvent::ChildRemoved:
        UpdateRange();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (watched != canvas_) UpdateRange();
        break;
    default:
        break;
    }
    return false;
}

void TScrollBox::UpdateRange() {
    QRect extent(0, 0, 0, 0);
    for (QObject* child : canvas_->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isHidden()) extent = extent.united(widget->geometry());
    }
    const QSize size(std::max(0, extent.right() + 1), std::max(0, extent.bottom() + 1));
    if (canvas_->size() != size) canvas_->resize(size);
}

} // namespace vcl
