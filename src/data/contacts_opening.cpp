// Making a contacts file current: the checks that it is one, and the repairs a writer makes of what
// a crash or another program left beside it or at its end.
#include "data/contacts_file.h"

#include "data/contacts_file_parts.h"
#include "data/durable_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>

#include <cerrno>
#include <utility>

namespace pw {

using namespace contacts_detail;

namespace {

constexpr qint64 kMostRecords = 2'000'000;

// Whether enough of the file's whole records carry their frame for it to be a contacts file: its
// first, its last and some between, at least half of them. So one damaged record never refuses the
// file, and a file of anything else is never taken for one. A file too short for one whole record
// must at least begin like one, or any small text file would pass.
Expected<bool> looksLikeContacts(const RecordFile& file, qint64 size)
{
    if (size == 0)
        return true;
    const qint64 whole = size / ContactRecord::kSize;
    if (whole == 0) {
        auto start = file.readAt(0, size);
        if (!start)
            return std::unexpected(start.error());
        return size > ContactRecord::kFields[0].width && hasRecordFrame(*start);
    }
    constexpr qint64 kSamples = 8;
    int framed = 0;
    int sampled = 0;
    for (qint64 i = 0; i < std::min(whole, kSamples); ++i, ++sampled) {
        const qint64 n = whole <= kSamples ? i : i * (whole - 1) / (kSamples - 1);
        auto record = file.readAt(n * ContactRecord::kSize, ContactRecord::kSize);
        if (!record)
            return std::unexpected(record.error());
        framed += record->size() == ContactRecord::kSize && !isDamaged(*record) ? 1 : 0;
    }
    return framed * 2 >= sampled;
}

// Copies the bytes after the last whole record into a new file beside the contacts file (an
// earlier one is never overwritten), makes the copy durable, then cuts them off the contacts file.
Expected<QString> moveFragment(RecordFile& file, qint64 size)
{
    const qint64 keep = size - size % ContactRecord::kSize;
    auto fragment = file.readAt(keep, size - keep);
    if (!fragment)
        return std::unexpected(fragment.error());
    for (int attempt = 1;; ++attempt) {
        const QString target = file.path() + QStringLiteral(".fragment")
                               + (attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt));
        DurableWrite newFile;
        newFile.replace = false;
        newFile.mode = file.permissions();
        auto written = writeFileDurably(target, *fragment, newFile);
        if (!written && written.error().number == EEXIST)
            continue;
        if (!written)
            return std::unexpected(written.error());
        if (auto s = file.truncate(keep); !s)
            return std::unexpected(s.error());
        if (auto s = file.sync(); !s)
            return std::unexpected(s.error());
        return target;
    }
}

// A writer's opening clears the scratch files that a crash left (another writer would hold the lock).
void removeStaleScratchFiles(const QString& real)
{
    const QFileInfo info(real);
    const QRegularExpression stale(QStringLiteral("^%1(\\.Tempf(\\.record|\\.append)?|\\.fragment(-[0-9]+)?|\\.lastimport)?"
                                                  "\\.partial(-[A-Za-z0-9]{6})?$")
                                       .arg(QRegularExpression::escape(info.fileName())));
    bool removed = false;
    const QDir folder = info.dir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::System | QDir::Hidden)) {
        if (stale.match(name).hasMatch())
            removed = removeFile(folder.filePath(name)).has_value() || removed;
    }
    if (removed)
        (void)syncDirectory(info.absolutePath());
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

Message refusal(const QString& text)
{
    return {text, QStringLiteral("Not a contacts file"), MessageIcon::Warning};
}

Message notContactsMessage(const QString& path)
{
    return refusal(QStringLiteral("%1 is not a contacts file, so it was not opened.  Nothing in it was changed.")
                       .arg(shown(path)));
}

Message notAFileMessage(const QString& path)
{
    return refusal(QStringLiteral("%1 is a folder, a device or a pipe, not a contacts file, so it was not opened.")
                       .arg(shown(path)));
}

Message implausibleMessage(const QString& path, qint64 size)
{
    return refusal(QStringLiteral("%1 cannot be a contacts file: at %2 bytes it would hold more than 2,000,000 "
                                  "contacts, or parts of it were never written.  It was not opened, and nothing in "
                                  "it was changed.")
                       .arg(shown(path))
                       .arg(size));
}

Message fragmentMovedMessage(const QString& path, qint64 bytes, const QString& fragmentPath)
{
    return {QStringLiteral("The end of %1 held an incomplete contact (%2 bytes), probably from a save that was cut "
                           "short.  Those bytes were moved to %3 and the complete contacts were opened.")
                .arg(shown(path))
                .arg(bytes)
                .arg(shown(fragmentPath)),
            QStringLiteral("Contacts file repaired"), MessageIcon::Information};
}

Message noLockMessage(const QString& path)
{
    return {QStringLiteral("%1 was opened, but Postwick cannot tell whether another program is using it at the same "
                           "time (its folder does not allow a lock file, or its disk does not support locks).  Do "
                           "not change it from two programs at once.")
                .arg(shown(path)),
            QStringLiteral("Other programs cannot be detected"), MessageIcon::Warning};
}

Message appendsUndoneMessage(const QString& path)
{
    return {QStringLiteral("An import into %1 was cut short, so it was undone: the file holds the contacts it held "
                           "before that import.  Import the file again to add its contacts.")
                .arg(shown(path)),
            QStringLiteral("Contacts file repaired"), MessageIcon::Information};
}

Message noteSetAsideMessage(const QString& path, const QString& aside)
{
    return {QStringLiteral("A note of an unfinished import beside %1 was written for another file, so it was not "
                           "applied: the file was left as it is.  The note was set aside as %2.")
                .arg(shown(path), shown(aside)),
            QStringLiteral("Contacts file checked"), MessageIcon::Information};
}

ContactsOpenResult refused(Message why)
{
    ContactsOpenResult result;
    result.outcome = ContactsOpenResult::Outcome::Refused;
    result.message = std::move(why);
    return result;
}

}  // namespace

Expected<ContactsOpenResult> ContactsFile::open(const QString& path, AccessMode mode)
{
    ContactsOpenResult result;
    // Resolved once: every write goes to the file opened, wherever a link at its name leads later.
    const QString real = realPath(path);
    // The candidate is checked on a handle of its own, so a refused file leaves the current one open.
    RecordFile candidate(ContactRecord::kSize);
    auto opened = candidate.open(real, mode == AccessMode::Read ? RecordFile::Mode::ReadOnly : RecordFile::Mode::ReadWrite);
    if (!opened && mode == AccessMode::Write && (opened.error().number == EACCES || opened.error().number == EROFS)
        && QFileInfo::exists(real)) {
        mode = AccessMode::Read;
        result.readOnly = true;
        result.readOnlyCause = opened.error();
        opened = candidate.open(real, RecordFile::Mode::ReadOnly);
    }
    if (!opened && (opened.error().number == EISDIR || opened.error() == notARegularFile()))
        return refused(notAFileMessage(path));
    if (!opened)
        return std::unexpected(opened.error());
    result.created = candidate.created();
    FileLock lock;
    lock.waitLike(lock_);
    if (!lock.open(lockPathFor(real)))
        result.warning = noLockMessage(path);
    // The new file's lock is in place before anything is read or repaired, so nothing on the way waits
    // on the previous file's; a refusal or a failure puts the previous one back.
    lock_.swap(lock);
    bool keep = false;
    const auto restore = qScopeGuard([&] {
        if (!keep)
            lock_.swap(lock);
    });
    // A writer repairs, so it waits for every other program; a reader only for writers.
    LockHold hold(lock_, mode == AccessMode::Write ? FileLock::Kind::Exclusive : FileLock::Kind::Shared);
    if (!hold.status())
        return std::unexpected(hold.status().error());

    auto size = candidate.size();
    if (!size)
        return std::unexpected(size.error());
    if (*size / ContactRecord::kSize > kMostRecords || candidate.hasGaps())
        return refused(implausibleMessage(path, *size));
    NoteOutcome note;
    if (mode == AccessMode::Write) {
        removeStaleScratchFiles(real);
        auto undone = undoUnfinishedAppends(candidate, appendNoteOf(real));
        if (!undone)
            return std::unexpected(undone.error());
        note = *undone;
        if (size = candidate.size(); !size)
            return std::unexpected(size.error());
    }
    auto contacts = looksLikeContacts(candidate, *size);
    if (!contacts)
        return std::unexpected(contacts.error());
    if (!*contacts)
        return refused(notContactsMessage(path));

    const qint64 fragment = *size % ContactRecord::kSize;
    auto lineEndless = fragment == 0 ? Expected<bool>(false) : endsWithoutLineEnd(candidate, *size);
    if (!lineEndless)
        return std::unexpected(lineEndless.error());
    if (mode == AccessMode::Write && *lineEndless) {
        // A whole record that only lost its line end is a contact: its line end is put back.
        const QByteArray end = QByteArrayLiteral("\r\n").right(ContactRecord::kSize - fragment);
        if (auto s = candidate.writeAt(*size, end); !s || !(s = candidate.sync()))
            return std::unexpected(s.error());
    } else if (fragment != 0 && mode == AccessMode::Write) {
        auto moved = moveFragment(candidate, *size);
        if (!moved)
            return std::unexpected(moved.error());
        result.outcome = ContactsOpenResult::Outcome::FragmentMoved;
        result.fragmentPath = *moved;
        result.message = fragmentMovedMessage(path, fragment, *moved);
    }
    if (!result.message && note.cut)
        result.message = appendsUndoneMessage(path);
    if (!result.message && !note.setAside.isEmpty())
        result.message = noteSetAsideMessage(path, note.setAside);

    const AccessMode previousMode = std::exchange(mode_, mode);
    file_.swap(candidate);
    if (mode == AccessMode::Write) {
        if (auto s = recoverInterruptedRemoval(); !s) {
            file_.swap(candidate);  // the previous file stays current
            mode_ = previousMode;
            return std::unexpected(s.error());
        }
    }
    // The previous file's lock is let go with `lock`.
    hold.release();
    keep = true;
    created_ = result.created;
    visible_ = -1;
    hidden_ = 0;
    followed_ = false;
    return result;
}

bool ContactsFile::removeIfStillNew()
{
    if (!created_ || !file_.isOpen())
        return false;
    LockHold hold(lock_, FileLock::Kind::Exclusive);
    auto size = file_.size();
    if (!hold.status() || !file_.stillAtPath() || !size || *size != 0)
        return false;
    // Removed before the lock is let go, so that no other program can have filled it in between.
    const QString path = file_.path();
    const bool removed = removeFile(path) && syncDirectory(folderOf(path));
    hold.release();
    close();
    return removed;
}

}  // namespace pw
