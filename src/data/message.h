#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace pw {

enum class MessageIcon { None, Information, Warning, Question, Critical };
// PrintAnywayCancel answers Yes for "Print anyway", PrintOthersCancel for "Print the others".
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, PrintAnywayCancel, PrintOthersCancel };
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
    QStringList items = {};  // shown in a list that scrolls, below the text
    bool operator==(const Message&) const = default;
};

}  // namespace pw
