// The crash journal of the contacts file: the notes that an import or a removal leaves beside it
// until it is done, the recovery that the next opening makes from them, and the fragment that an
// append cut short leaves at the file's end.
#include "data/contacts_file.h"

#include "data/contacts_file_parts.h"
#include "data/durable_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>

namespace pw {
namespace contacts_detail {

QByteArray removalNote(int n, int count)
{
    return QByteArray::number(n) + ' ' + QByteArray::number(count) + "\r\n";
}

}  // namespace contacts_detail

using namespace contacts_detail;

namespace {

// Whether the bytes of a record that are there (all 518, or the start of one cut short) carry the
// separators and the line end where the layout puts them.
bool hasRecordFrame(QByteArrayView record)
{
    for (const ContactRecord::Field& f : ContactRecord::kFields) {
        const qsizetype separator = f.offset + f.width;
        if (separator >= ContactRecord::kSize - 2)
            break;
        if (separator < record.size() && record[separator] != '|')
            return false;
    }
    constexpr qsizetype cr = ContactRecord::kSize - 2;
    return (record.size() <= cr || record[cr] == '\r') && (record.size() <= cr + 1 || record[cr + 1] == '\n');
}

// A contacts file's first and last whole records are framed as records. A file too short for one
// whole record must at least begin like one, or any small text file would pass.
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
    for (qint64 n : {qint64(1), whole}) {
        auto record = file.readAt((n - 1) * ContactRecord::kSize, ContactRecord::kSize);
        if (!record)
            return std::unexpected(record.error());
        if (record->size() != ContactRecord::kSize || !hasRecordFrame(*record))
            return false;
    }
    return true;
}

// Copies the bytes after the last whole record into a new file beside the contacts file (an
// earlier one is never overwritten), makes the copy durable, then cuts them off the contacts file.
Expected<QString> moveFragment(RecordFile& file, const QString& path, qint64 size)
{
    const qint64 keep = size - size % ContactRecord::kSize;
    auto fragment = file.readAt(keep, size - keep);
    if (!fragment)
        return std::unexpected(fragment.error());
    const QString real = realPath(path);
    for (int attempt = 1;; ++attempt) {
        const QString target = real + QStringLiteral(".fragment")
                               + (attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt));
        DurableWrite newFile;
        newFile.replace = false;
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

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

Message notContactsMessage(const QString& path)
{
    return {QStringLiteral("%1 is not a contacts file, so it was not opened.  Nothing in it was changed.")
                .arg(shown(path)),
            QStringLiteral("Not a contacts file"), MessageIcon::Warning};
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

// A note's line, matched against its form; no match when the note is missing or cut short.
QRegularExpressionMatch readNote(const QString& path, const QRegularExpression& form)
{
    QFile note(path);
    if (!note.open(QIODevice::ReadOnly))
        return {};
    return form.match(QString::fromLatin1(note.read(64)));
}

std::optional<std::pair<int, int>> readRemovalNote(const QString& path)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,9}) ([0-9]{1,9})\r\n$"));
    const auto match = readNote(path, form);
    if (!match.hasMatch())
        return std::nullopt;
    return std::pair{match.captured(1).toInt(), match.captured(2).toInt()};
}

// The append note: the file's length before the appends, ended by a line end like the removal note.
std::optional<qint64> readAppendNote(const QString& path)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,15})\r\n$"));
    const auto match = readNote(path, form);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toLongLong();
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

// Cuts the file back to the length an append note beside it holds, then drops the note: the
// appends it stood for never finished. Says whether anything was cut.
Expected<bool> undoUnfinishedAppends(RecordFile& file, const QString& notePath)
{
    if (!QFileInfo::exists(notePath))
        return false;
    bool cut = false;
    if (const auto length = readAppendNote(notePath)) {
        auto size = file.size();
        if (!size)
            return std::unexpected(size.error());
        if (*size > *length) {
            if (auto s = file.truncate(*length); !s)
                return std::unexpected(s.error());
            if (auto s = file.sync(); !s)
                return std::unexpected(s.error());
            cut = true;
        }
    }
    if (auto s = removeFile(notePath); !s)
        return std::unexpected(s.error());
    if (auto s = syncDirectory(folderOf(notePath)); !s)
        return std::unexpected(s.error());
    return cut;
}

}  // namespace

QString ContactsFile::scratchPathFor(const QString& path)
{
    return realPath(path) + QStringLiteral(".Tempf");
}

QString ContactsFile::removalNotePathFor(const QString& path)
{
    return realPath(path) + QStringLiteral(".Tempf.record");
}

QString ContactsFile::appendNotePathFor(const QString& path)
{
    return realPath(path) + QStringLiteral(".Tempf.append");
}

QString ContactsFile::lockPathFor(const QString& path)
{
    return realPath(path) + QStringLiteral(".lock");
}

Expected<ContactsOpenResult> ContactsFile::open(const QString& path, AccessMode mode)
{
    ContactsOpenResult result;
    // The candidate is checked on a handle of its own, so a refused file leaves the current one open.
    RecordFile candidate(ContactRecord::kSize);
    auto opened = candidate.open(path, mode == AccessMode::Read ? RecordFile::Mode::ReadOnly : RecordFile::Mode::ReadWrite);
    if (!opened && mode == AccessMode::Write && (opened.error().number == EACCES || opened.error().number == EROFS)
        && QFileInfo::exists(path)) {
        mode = AccessMode::Read;
        result.readOnly = true;
        opened = candidate.open(path, RecordFile::Mode::ReadOnly);
    }
    if (!opened)
        return std::unexpected(opened.error());
    FileLock lock;
    if (!lock.open(lockPathFor(path)))
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

    bool undone = false;
    if (mode == AccessMode::Write) {
        auto cut = undoUnfinishedAppends(candidate, appendNotePathFor(path));
        if (!cut)
            return std::unexpected(cut.error());
        undone = *cut;
    }
    auto size = candidate.size();
    if (!size)
        return std::unexpected(size.error());
    auto contacts = looksLikeContacts(candidate, *size);
    if (!contacts)
        return std::unexpected(contacts.error());
    if (!*contacts)
        return ContactsOpenResult{ContactsOpenResult::Outcome::Refused, {}, notContactsMessage(path), false, {}};

    if (const qint64 fragment = *size % ContactRecord::kSize; fragment != 0 && mode == AccessMode::Write) {
        auto moved = moveFragment(candidate, path, *size);
        if (!moved)
            return std::unexpected(moved.error());
        result.outcome = ContactsOpenResult::Outcome::FragmentMoved;
        result.fragmentPath = *moved;
        result.message = fragmentMovedMessage(path, fragment, *moved);
    } else if (undone) {
        result.message = appendsUndoneMessage(path);
    }

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
    visible_ = -1;
    hidden_ = 0;
    followed_ = false;
    return result;
}

Status ContactsFile::repair()
{
    auto undone = undoUnfinishedAppends(file_, appendNotePathFor(path()));
    if (!undone)
        return std::unexpected(undone.error());
    return recoverInterruptedRemoval();
}

// What a writer's repair would leave, without making it: the whole records up to an unfinished
// import's noted length, less the record an interrupted removal would take out.
Status ContactsFile::refreshReaderView() const
{
    auto size = file_.size();
    if (!size)
        return std::unexpected(size.error());
    qint64 keep = *size;
    if (const auto noted = readAppendNote(appendNotePathFor(path())))
        keep = std::min(keep, *noted);
    visible_ = int(keep / ContactRecord::kSize);
    hidden_ = 0;
    if (const auto removal = readRemovalNote(removalNotePathFor(path()))) {
        // The writer compares the note with the count once the import is undone and the fragment moved.
        const auto [n, noteCount] = *removal;
        if (visible_ == noteCount && n >= 1 && n <= visible_) {
            auto record = file_.readAt(qint64(n - 1) * ContactRecord::kSize, ContactRecord::kSize);
            if (!record)
                return std::unexpected(record.error());
            if (isMarked(*record))
                hidden_ = n;
        }
    }
    return {};
}

// A removal note beside the contacts file means a removal was cut short. Until the rename the
// original holds every record, so the removal is finished only when the note names a record that
// is marked in a file of the noted count; anything else rolls it back. What a record's fields hold
// never decides on its own.
Status ContactsFile::recoverInterruptedRemoval()
{
    const QString scratch = scratchPathFor(path());
    const QString note = removalNotePathFor(path());
    const bool noted = QFileInfo::exists(note);
    if (!noted && !QFileInfo::exists(scratch))
        return {};
    if (const auto removal = noted ? readRemovalNote(note) : std::nullopt) {
        const auto [n, noteCount] = *removal;
        auto count = recordCount();
        if (!count)
            return std::unexpected(count.error());
        if (*count == noteCount && n >= 1 && n <= noteCount) {
            auto record = file_.readRecord(n);
            if (!record)
                return std::unexpected(record.error());
            if (isMarked(*record))
                return compact(noteCount, n);
        }
    }
    if (auto s = removeFile(scratch); !s)
        return s;
    if (auto s = removeFile(note); !s)
        return s;
    return syncDirectory(folderOf(realPath(path())));
}

Status ContactsFile::beginAppends()
{
    // The lock is held from here to the commit or the undo: the appends are one change.
    ChangeHold hold(*this);
    if (!hold.status())
        return hold.status();
    auto size = file_.size();
    if (!size)
        return std::unexpected(size.error());
    if (auto s = writeFileDurably(appendNotePathFor(path()), QByteArray::number(*size) + "\r\n"); !s)
        return s;
    appendsFrom_ = *size;
    hold.keep();
    return {};
}

Status ContactsFile::commitAppends()
{
    const QString note = appendNotePathFor(path());
    if (auto s = removeFile(note); !s)
        return s;
    if (auto s = syncDirectory(folderOf(note)); !s)
        return s;
    appendsFrom_ = -1;
    lock_.release();
    return {};
}

void ContactsFile::undoAppends()
{
    if (appendsFrom_ < 0 || !file_.isOpen())
        return;
    const qint64 length = std::exchange(appendsFrom_, -1);
    // Lets go of the take of beginAppends() once the file is cut back, or given up on.
    const std::unique_ptr<FileLock, void (*)(FileLock*)> release(&lock_, [](FileLock* l) { l->release(); });
    if (!file_.truncate(length) || !file_.sync())
        return;
    const QString note = appendNotePathFor(path());
    if (removeFile(note))
        (void)syncDirectory(folderOf(note));
}

}  // namespace pw
