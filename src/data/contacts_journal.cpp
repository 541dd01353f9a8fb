// The crash journal of the contacts file: the notes that an import or a removal leaves beside it
// until it is done, and the recovery that the next writer makes from them.
#include "data/contacts_file.h"

#include "data/contacts_file_parts.h"
#include "data/durable_file.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
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

// A note's line, matched against its form; no match when the note is missing, cut short, or not a
// plain file (a link planted at its name is never followed, a pipe never waited on).
QRegularExpressionMatch readNote(const QString& path, const QRegularExpression& form)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st {};
    char text[128];
    const ssize_t got = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? ::read(fd, text, sizeof text) : -1;
    ::close(fd);
    return got > 0 ? form.match(QString::fromLatin1(text, got)) : QRegularExpressionMatch();
}

std::optional<std::pair<int, int>> readRemovalNote(const QString& path)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,9}) ([0-9]{1,9})\r\n$"));
    const auto match = readNote(path, form);
    if (!match.hasMatch())
        return std::nullopt;
    return std::pair{match.captured(1).toInt(), match.captured(2).toInt()};
}

// The append note: the file's length before the appends, the file it was written for (its device
// and inode) and a digest of the records the appends leave alone (the first and the last).
struct AppendNote final {
    qint64 length = 0;
    FileIdentity file;
    QByteArray digest;
};

Expected<QByteArray> keptDigest(const RecordFile& file, qint64 length)
{
    QByteArray kept;
    if (length >= ContactRecord::kSize) {
        for (qint64 at : {qint64(0), length - ContactRecord::kSize}) {
            auto record = file.readAt(at, ContactRecord::kSize);
            if (!record)
                return std::unexpected(record.error());
            kept += *record;
        }
    }
    return QCryptographicHash::hash(kept, QCryptographicHash::Sha1).toHex();
}

Expected<QByteArray> appendNote(const RecordFile& file, qint64 length)
{
    auto identity = file.identity();
    auto digest = keptDigest(file, length);
    if (!identity || !digest)
        return std::unexpected(!identity ? identity.error() : digest.error());
    return QByteArray::number(length) + ' ' + QByteArray::number(identity->device) + ' '
           + QByteArray::number(identity->inode) + ' ' + *digest + "\r\n";
}

std::optional<AppendNote> readAppendNote(const QString& path)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,15}) ([0-9]{1,20}) ([0-9]{1,20}) ([0-9a-f]{40})\r\n$"));
    const auto match = readNote(path, form);
    if (!match.hasMatch())
        return std::nullopt;
    return AppendNote{match.captured(1).toLongLong(),
                      {match.captured(2).toULongLong(), match.captured(3).toULongLong()},
                      match.captured(4).toLatin1()};
}

// Whether the note was written for the file as it stands: the same file, holding at least the
// records it had before the appends, the first and the last of them unchanged.
Expected<bool> noteFits(const RecordFile& file, const AppendNote& note)
{
    auto identity = file.identity();
    auto size = file.size();
    if (!identity || !size)
        return std::unexpected(!identity ? identity.error() : size.error());
    if (!(*identity == note.file) || *size < note.length)
        return false;
    auto digest = keptDigest(file, note.length);
    if (!digest)
        return std::unexpected(digest.error());
    return *digest == note.digest;
}

// Moves a note that may not be applied to a new name beside it, where the user can find it.
Expected<QString> setAside(const QString& notePath)
{
    for (int attempt = 1;; ++attempt) {
        const QString aside = notePath + QStringLiteral(".unmatched")
                              + (attempt == 1 ? QString() : QStringLiteral("-%1").arg(attempt));
        if (auto s = moveToNewName(notePath, aside); s)
            return aside;
        else if (s.error().number != EEXIST)
            return std::unexpected(s.error());
    }
}

bool present(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

}  // namespace

namespace contacts_detail {

Expected<NoteOutcome> undoUnfinishedAppends(RecordFile& file, const QString& notePath)
{
    NoteOutcome outcome;
    if (!present(notePath))
        return outcome;
    const std::optional<AppendNote> note = readAppendNote(notePath);
    auto fits = note ? noteFits(file, *note) : Expected<bool>(false);
    if (!fits)
        return std::unexpected(fits.error());
    if (!*fits) {
        auto aside = setAside(notePath);
        if (!aside)
            return std::unexpected(aside.error());
        outcome.setAside = *aside;
    } else {
        auto size = file.size();
        if (!size)
            return std::unexpected(size.error());
        if (*size > note->length) {
            if (auto s = file.truncate(note->length); !s)
                return std::unexpected(s.error());
            if (auto s = file.sync(); !s)
                return std::unexpected(s.error());
            outcome.cut = true;
        }
        if (auto s = removeFile(notePath); !s)
            return std::unexpected(s.error());
    }
    if (auto s = syncDirectory(folderOf(notePath)); !s)
        return std::unexpected(s.error());
    return outcome;
}

}  // namespace contacts_detail

QString ContactsFile::scratchPathFor(const QString& path)
{
    return scratchOf(realPath(path));
}

QString ContactsFile::removalNotePathFor(const QString& path)
{
    return removalNoteOf(realPath(path));
}

QString ContactsFile::appendNotePathFor(const QString& path)
{
    return appendNoteOf(realPath(path));
}

QString ContactsFile::lockPathFor(const QString& path)
{
    return realPath(path) + QStringLiteral(".lock");
}

bool ContactsFile::journalPresent() const
{
    return present(appendNoteOf(path())) || present(removalNoteOf(path()));
}

Status ContactsFile::repair()
{
    auto undone = undoUnfinishedAppends(file_, appendNoteOf(path()));
    if (!undone)
        return std::unexpected(undone.error());
    return recoverInterruptedRemoval();
}

// What a writer's repair would leave, without making it: the records up to an unfinished import's
// noted length, less the record an interrupted removal would take out; a last record that only
// lost its line end counts.
Status ContactsFile::refreshReaderView() const
{
    auto size = file_.size();
    if (!size)
        return std::unexpected(size.error());
    qint64 keep = *size;
    if (const auto noted = readAppendNote(appendNoteOf(path()))) {
        auto fits = noteFits(file_, *noted);
        if (!fits)
            return std::unexpected(fits.error());
        if (*fits)
            keep = std::min(keep, noted->length);
    }
    auto lineEndless = keep % ContactRecord::kSize == 0 ? Expected<bool>(false) : endsWithoutLineEnd(file_, keep);
    if (!lineEndless)
        return std::unexpected(lineEndless.error());
    visible_ = int(keep / ContactRecord::kSize) + (*lineEndless ? 1 : 0);
    hidden_ = 0;
    if (const auto removal = readRemovalNote(removalNoteOf(path()))) {
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
    const QString scratch = scratchOf(path());
    const QString note = removalNoteOf(path());
    const bool noted = present(note);
    if (!noted && !present(scratch))
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
    return syncDirectory(folderOf(path()));
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
    auto note = appendNote(file_, *size);
    if (!note)
        return std::unexpected(note.error());
    if (auto s = writeFileDurably(appendNoteOf(path()), *note, besideTheFile(file_)); !s)
        return s;
    appendsFrom_ = *size;
    hold.keep();
    return {};
}

Status ContactsFile::commitAppends()
{
    if (auto s = noteImport(appendsFrom_); !s)
        return s;
    const QString note = appendNoteOf(path());
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
    const QString note = appendNoteOf(path());
    if (removeFile(note))
        (void)syncDirectory(folderOf(note));
}

}  // namespace pw
