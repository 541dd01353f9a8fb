#include "data/contacts_session.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>

namespace pw {

namespace {

Message openElsewhereMessage(const QString& path)
{
    return {QStringLiteral("%1 is open in another Postwick window, so it was opened here to read only.  Close it "
                           "there, then open it again here to change it.")
                .arg(QDir::toNativeSeparators(path)),
            QStringLiteral("Open in another window"), MessageIcon::Information};
}

}  // namespace

Expected<ContactsOpenResult> ContactsSession::open(const QString& path, const QString& title)
{
    auto opened = file_.open(path, mode_);
    if (!opened || !opened->opened())
        return opened;
    forgetUndo();
    // Opening the current file again keeps its own mark.
    const QString mark = ContactsFile::lockPathFor(path) + QStringLiteral(".window");
    if (presence_.held() && !path_.isEmpty() && ContactsFile::lockPathFor(path_) + QStringLiteral(".window") == mark) {
        path_ = path;
        title_ = title;
        return opened;
    }
    FileLock presence;
    if (mode_ == AccessMode::Write && !opened->readOnly && presence.open(mark)) {
        presence.setPatience(std::chrono::milliseconds(0));
        if (!presence.take(FileLock::Kind::Exclusive)) {
            presence.close();
            if (auto reader = file_.open(path, AccessMode::Read); !reader || !reader->opened())
                return reader;
            opened->readOnly = true;
            if (!opened->message)
                opened->message = openElsewhereMessage(path);
        }
    }
    presence_.swap(presence);
    path_ = path;
    title_ = title;
    return opened;
}

bool ContactsSession::replaced() const
{
    return file_.isOpen() && file_.replaced() && QFileInfo::exists(path_);
}

Expected<ContactsOpenResult> ContactsSession::follow()
{
    auto opened = open(path_, title_);
    if (opened && opened->opened())
        emit followed();
    return opened;
}

void ContactsSession::forgetUndo()
{
    lastDelete_.reset();
    namedImport_.reset();
    file_.forgetLastImport();
}

std::optional<UndoableImport> ContactsSession::lastImport() const
{
    std::optional<UndoableImport> import = file_.lastImport();
    if (import && namedImport_ && namedImport_->after == import->after)
        import->source = namedImport_->source;
    return import;
}

void ContactsSession::importFinished(const QString& source)
{
    namedImport_ = file_.lastImport();
    if (namedImport_)
        namedImport_->source = source;
}

void ContactsSession::close()
{
    forgetUndo();
    file_.close();
    presence_.close();
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
