#include "vcl/dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace vcl {
namespace {

MessageBoxAnswerer& Answerer() {
    static MessageBoxAnswerer answerer;
    return answerer;
}

QMessageBox::Icon QtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

MsgButton ClosedWithoutButton(const MessageBoxRequest& request) {
    const auto& b = request.buttons;
    if (std::find(b.begin(), b.end(), MsgButton::Cancel) != b.end()) return MsgButton::Cancel;
    return b.empty() ? MsgButton::Ok : b.front();
}

MsgButton RunRealBox(const MessageBoxRequest& request) {
    QMessageBox box(QtIcon(request.icon), QString::fromUtf8(request.title),
                    QString::fromUtf8(request.text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    std::vector<std::pair<QAbstractButton*, MsgButton>> buttons;
    for (MsgButton b : request.buttons) {
        const bool ok = b == MsgButton::Ok;
        QPushButton* button =
            box.addButton(QString::fromUtf8(ok ? kOkButtonText : kCancelButtonText),
                          ok ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        if (buttons.empty()) box.setDefaultButton(button);
        if (!ok) box.setEscapeButton(button);
        buttons.emplace_back(button, b);
    }
    if (request.buttons.size() == 1) box.setEscapeButton(buttons.front().first);
    box.exec();
    for (const auto& [button, answer] : buttons)
        if (box.clickedButton() == button) return answer;
    return ClosedWithoutButton(request);
}

std::string ApplicationTitle() {
    return QCoreApplication::instance() ? QCoreApplication::applicationName().toStdString()
                                        : std::string();
}

} // namespace

MessageBoxAnswerer SetMessageBoxAnswerer(MessageBoxAnswerer answerer) {
    std::swap(Answerer(), answerer);
    return answerer;
}

MsgButton RunMessageBox(const MessageBoxRequest& request) {
    if (Answerer()) {
        // A copy, so that an answerer that replaces itself while answering stays alive.
        MessageBoxAnswerer answerer = Answerer();
        return answerer(request);
    }
    return RunRealBox(request);
}

void ShowMessage(const std::string& text) {
    RunMessageBox({MsgBoxKind::Message, ApplicationTitle(), text, MsgIcon::None, {MsgButton::Ok}});
}

MsgButton MessageBox(const std::string& text, const std::string& title, MsgIcon icon,
                     MsgButtons buttons) {
    MessageBoxRequest request{MsgBoxKind::Box, title, text, icon, {MsgButton::Ok}};
    if (buttons == MsgButtons::OkCancel) request.buttons.push_back(MsgButton::Cancel);
    return RunMessageBox(request);
}

} // namespace vcl
