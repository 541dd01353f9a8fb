#pragma once

#include <QString>

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
    bool operator==(const Message&) const = default;
};

}  // namespace pw
