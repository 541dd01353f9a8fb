#include "data/contacts_session.h"

namespace pw {

Expected<ContactsOpenResult> ContactsSession::open(const QString& path, const QString& title)
{
    auto opened = file_.open(path, mode_);
    if (opened && opened->opened()) {
        path_ = path;
        title_ = title;
    }
    return opened;
}

void ContactsSession::close()
{
    file_.close();
    path_.clear();
    title_.clear();
}

void ContactsSession::setReminderState(bool on, bool offered)
{
    remindersOn_ = on;
    remindersOffered_ = offered;
    emit reminderStateChanged();
}

}  // namespace pw
