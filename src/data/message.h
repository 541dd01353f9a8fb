#pragma once

#include <QString>

#include <optional>

namespace pw {

enum class MessageIcon { None, Information, Warning, Question, Critical };
// PrintAnywayCancel answers Yes for "Print anyway".
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, PrintAnywayCancel };
enum class MessageResult { Ok, Cancel, Yes, No, Retry };

// A message box as the user sees it.
struct Message final {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    bool beep = false;  // a beep sounds before the box appears
    // The button Enter presses; none: the first. A question whose Yes destroys or spends something
    // makes No the default.
    std::optional<MessageResult> defaultAnswer = std::nullopt;
    bool operator==(const Message&) const = default;
};

}  // namespace pw
