// Modal message boxes. Every box of the program goes through RunMessageBox, the one place tests
// can answer: an installed answerer receives the box and returns the button pressed, and may run
// the event loop meanwhile to reproduce what happens behind an open box. Without an answerer a
// real modal box runs its own nested event loop.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vcl {

enum class MsgBoxKind {
    Message, // the class library's message dialog: the application's title, one "OK" button
    Box,     // a message box with its own title, icon and buttons
};

enum class MsgIcon { None, Information, Warning, Error, Question };

enum class MsgButton { Ok, Cancel };

struct MessageBoxRequest {
    MsgBoxKind kind = MsgBoxKind::Message;
    std::string title; // bytes, as the caller gave them
    std::string text;
    MsgIcon icon = MsgIcon::None;
    std::vector<MsgButton> buttons; // in the order shown; the first is the default
};

// Shown texts, exactly as the program writes them.
inline constexpr const char* kOkButtonText = "OK";
inline constexpr const char* kCancelButtonText = "ｷｬﾝｾﾙ";

using MessageBoxAnswerer = std::function<MsgButton(const MessageBoxRequest&)>;

// Installs the answerer (an empty function restores real boxes); returns the previous one.
MessageBoxAnswerer SetMessageBoxAnswerer(MessageBoxAnswerer answerer);

// Shows the box modally and returns the button pressed. A box closed without a button (Escape,
// the window's close button) answers Cancel when it has one, else its only button.
MsgButton RunMessageBox(const MessageBoxRequest& request);

// The message dialog with a single OK button, titled with the application's title.
void ShowMessage(const std::string& text);

// A message box with a title and an icon, with "OK" alone or "OK" and "ｷｬﾝｾﾙ".
enum class MsgButtons { Ok, OkCancel };
MsgButton MessageBox(const std::string& text, const std::string& title, MsgIcon icon,
                     MsgButtons buttons);

// Installs an answerer for the life of the object and restores the previous one after.
class ScopedMessageBoxAnswerer {
public:
    explicit ScopedMessageBoxAnswerer(MessageBoxAnswerer answerer)
        : previous_(SetMessageBoxAnswerer(std::move(answerer))) {}
    ~ScopedMessageBoxAnswerer() { SetMessageBoxAnswerer(std::move(previous_)); }
    ScopedMessageBoxAnswerer(const ScopedMessageBoxAnswerer&) = delete;
    ScopedMessageBoxAnswerer& operator=(const ScopedMessageBoxAnswerer&) = delete;

private:
    MessageBoxAnswerer previous_;
};

} // namespace vcl
