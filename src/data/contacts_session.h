#pragma once

#include "data/contacts_file.h"

#include <QObject>
#include <QString>

#include <optional>

namespace pw {

// The contacts file the windows work on while it is current: the open file, its full path and title
// (empty with no file), and the birthday-reminder setting that the records saved into it take.
// The main window makes files current; the feature windows read and write through it.
class ContactsSession final : public QObject {
    Q_OBJECT

public:
    explicit ContactsSession(AccessMode mode = AccessMode::Write, QObject* parent = nullptr)
        : QObject(parent), mode_(mode)
    {
    }

    // The file's own mode once open: a writer's session on a file that may not be written reads only.
    AccessMode mode() const { return file_.isOpen() ? file_.mode() : mode_; }
    bool readOnly() const { return mode() == AccessMode::Read; }
    ContactsFile& file() { return file_; }
    const ContactsFile& file() const { return file_; }
    QString path() const { return path_; }
    QString title() const { return title_; }

    // Makes the file at `path` current under `title`, as ContactsFile::open describes; the current
    // file stays when the new one fails or is refused. A writer's session marks the file as open in
    // a window while it is current; a second window finds the mark, is told, and reads only. The
    // mark is a lock, so the system drops it with a window that crashed.
    Expected<ContactsOpenResult> open(const QString& path, const QString& title);
    void close();
    // Another program renamed a new file over the current one (a sync client, an editor). A file
    // removed with nothing in its place is not followed: a change then fails rather than make it anew.
    bool replaced() const;
    // Opens the file at the path again as open() does, and tells the main window by followed().
    Expected<ContactsOpenResult> follow();

    // The setting that saved records take; a file without records counts as on.
    bool remindersOn() const { return remindersOn_; }
    // Whether the file has a setting to switch: it has records.
    bool remindersOffered() const { return remindersOffered_; }
    void setReminderState(bool on, bool offered);
    // A record was saved with the reminders on: the file now has a setting to turn off.
    void noteSavedWithRemindersOn() { setReminderState(true, true); }

    // The last removal made here while the file is open.
    const std::optional<UndoableDelete>& lastDelete() const { return lastDelete_; }
    void setLastDelete(UndoableDelete removal) { lastDelete_.emplace(std::move(removal)); }
    void forgetLastDelete() { lastDelete_.reset(); }
    // The last import made here while the file is open, named by the file it came from when its
    // window said so after it (importFinished()).
    std::optional<UndoableImport> lastImport() const;
    void importFinished(const QString& source);

signals:
    void reminderStateChanged();
    void followed();

private:
    // The changes made to the file that was current are no longer undone.
    void forgetUndo();

    AccessMode mode_;
    ContactsFile file_;
    FileLock presence_;
    QString path_;
    QString title_;
    bool remindersOn_ = true;
    bool remindersOffered_ = false;
    std::optional<UndoableDelete> lastDelete_;
    std::optional<UndoableImport> namedImport_;
};

}  // namespace pw
