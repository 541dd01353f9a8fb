#include "platform/error_prompt.h"

#include "data/contacts_session.h"

#include <QDir>

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

bool followReplacedFile(Platform& platform, ContactsSession& session)
{
    if (!session.replaced())
        return true;
    platform.message({QStringLiteral("%1 was replaced by another program (a sync client or an editor, perhaps) "
                                     "since Postwick opened it.  Postwick now opens the file at that path, and "
                                     "your work goes into it.")
                          .arg(QDir::toNativeSeparators(session.path())),
                      QStringLiteral("Contacts file replaced"), MessageIcon::Information});
    const auto opened = session.follow();
    if (!opened) {
        showErrorPrompt(platform, opened.error());
        return false;
    }
    for (const auto& note : {opened->message, opened->warning}) {
        if (note)
            platform.message(*note);
    }
    return opened->opened();
}

}  // namespace pw
