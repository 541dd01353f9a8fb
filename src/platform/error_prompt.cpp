#include "platform/error_prompt.h"

namespace pw {

Message errorPrompt(const FileError& error, PromptAuthor author)
{
    const QString who = author == PromptAuthor::Author ? QStringLiteral("author") : QStringLiteral("Postwick");
    return {QStringLiteral("An error has occurred. Error number %1 -- %2.  Try again, or notify %3.")
                .arg(error.number)
                .arg(error.description, who),
            QStringLiteral("Error"), MessageIcon::None, MessageButtons::RetryCancel, false};
}

MessageResult showErrorPrompt(Platform& platform, const FileError& error, PromptAuthor author)
{
    return platform.message(errorPrompt(error, author));
}

}  // namespace pw
