#include "data/contacts_file.h"

#include "data/durable_file.h"
#include "data/file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <unistd.h>
#include <utility>

namespace pw {
namespace {

constexpr int kRecordsPerChunk = 4096;
constexpr qint64 kChunkBytes = qint64(kRecordsPerChunk) * ContactRecord::kSize;
const QByteArrayView kMarker(kDeletedMarker);

bool isMarked(QByteArrayView record)
{
    return record.startsWith(kMarker);
}

// The file a path leads to, through any symlinks, so that a removal replaces the file itself and
// the link keeps leading to it.
QString realPath(const QString& path)
{
    const QFileInfo info(path);
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.absoluteFilePath() : real;
}

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

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

// The removal note: the record number being removed and the record count at the time, ended by a
// line end so that a note cut short by a crash is never trusted.
QByteArray removalNote(int n, int count)
{
    return QByteArray::number(n) + ' ' + QByteArray::number(count) + "\r\n";
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

Message appendsUndoneMessage(const QString& path)
{
    return {QStringLiteral("An import into %1 was cut short, so it was undone: the file holds the contacts it held "
                           "before that import.  Import the file again to add its contacts.")
                .arg(shown(path)),
            QStringLiteral("Contacts file repaired"), MessageIcon::Information};
}

FileError interrupted()
{
    return {kErrInterrupted, QStringLiteral("Interrupted")};
}

Status removeFile(const QString& path)
{
    if (fileSystem().remove(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        return std::unexpected(FileError::fromErrno(errno));
    return {};
}

// The one pass over the file: `visit(offset, chunk)` for records 1 to count, read in large chunks
// into one reused buffer, until the last, a Stop or a failure. A counted final record that is short
// arrives padded with blanks.
template <typename F>
Status forEachChunk(const RecordFile& file, int count, F visit)
{
    const qint64 total = qint64(count) * ContactRecord::kSize;
    QByteArray chunk;
    for (qint64 offset = 0; offset < total; offset += kChunkBytes) {
        const qint64 wanted = std::min(kChunkBytes, total - offset);
        if (auto s = file.readInto(offset, wanted, chunk); !s)
            return s;
        if (chunk.size() < wanted)
            chunk = chunk.leftJustified(wanted, ' ');
        const PassStep step = visit(offset, chunk);
        if (!step)
            return std::unexpected(step.error());
        if (*step == Visit::Stop)
            break;
    }
    return {};
}

// The same pass record by record: `visit(offset, record)`.
template <typename F>
Status eachStoredRecord(const RecordFile& file, int count, F visit)
{
    return forEachChunk(file, count, [&](qint64 offset, const QByteArray& chunk) -> PassStep {
        for (qint64 at = 0; at < chunk.size(); at += ContactRecord::kSize) {
            const PassStep step = visit(offset + at, QByteArrayView(chunk).sliced(at, ContactRecord::kSize));
            if (!step || *step == Visit::Stop)
                return step;
        }
        return Visit::Next;
    });
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

Expected<ContactsOpenResult> ContactsFile::open(const QString& path)
{
    // The candidate is checked on a handle of its own, so a refused file leaves the current one open.
    RecordFile candidate(ContactRecord::kSize);
    if (auto s = candidate.open(path); !s)
        return std::unexpected(s.error());
    auto undone = undoUnfinishedAppends(candidate, appendNotePathFor(path));
    if (!undone)
        return std::unexpected(undone.error());
    auto size = candidate.size();
    if (!size)
        return std::unexpected(size.error());
    auto contacts = looksLikeContacts(candidate, *size);
    if (!contacts)
        return std::unexpected(contacts.error());
    if (!*contacts)
        return ContactsOpenResult{ContactsOpenResult::Outcome::Refused, {}, notContactsMessage(path)};

    ContactsOpenResult result;
    if (const qint64 fragment = *size % ContactRecord::kSize; fragment != 0) {
        auto moved = moveFragment(candidate, path, *size);
        if (!moved)
            return std::unexpected(moved.error());
        result = {ContactsOpenResult::Outcome::FragmentMoved, *moved, fragmentMovedMessage(path, fragment, *moved)};
    } else if (*undone) {
        result.message = appendsUndoneMessage(path);
    }

    file_.swap(candidate);
    if (auto s = recoverInterruptedRemoval(); !s) {
        file_.swap(candidate);  // the previous file stays current
        return std::unexpected(s.error());
    }
    return result;
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

void ContactsFile::close()
{
    file_.close();
}

Expected<int> ContactsFile::recordCount() const
{
    return file_.count();
}

Expected<ContactRecord> ContactsFile::read(int n) const
{
    auto bytes = file_.readRecord(n);
    if (!bytes)
        return std::unexpected(bytes.error());
    return ContactRecord::decode(*bytes);
}

Status ContactsFile::forEachStored(const std::function<PassStep(int, QByteArrayView)>& visit) const
{
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    int n = 0;
    return eachStoredRecord(file_, *count, [&](qint64, QByteArrayView record) { return visit(++n, record); });
}

Status ContactsFile::forEachRecord(const std::function<PassStep(int, const ContactRecord&)>& visit) const
{
    ContactRecord decoded;
    return forEachStored([&](int n, QByteArrayView record) {
        ContactRecord::decodeInto(record, decoded);
        return visit(n, decoded);
    });
}

Status ContactsFile::append(const ContactRecord& record)
{
    return append(std::span(&record, 1));
}

Status ContactsFile::append(std::span<const ContactRecord> records)
{
    auto size = file_.size();
    auto count = recordCount();
    if (!size || !count)
        return std::unexpected(!size ? size.error() : count.error());
    // A short final record that counts keeps reading as before: its gap is filled with blanks.
    const qint64 end = qint64(*count) * ContactRecord::kSize;
    const qint64 start = std::min(*size, end);
    QByteArray bytes;
    bytes.reserve(end - start + qsizetype(records.size()) * ContactRecord::kSize);
    if (*size < end)
        bytes = QByteArray(end - *size, ' ');
    for (const ContactRecord& record : records)
        bytes += record.encode();
    auto written = file_.writeAt(start, bytes);
    if (written)
        written = file_.sync();
    if (!written) {
        // A full disk can take part of the write: cut back to the last record that was whole.
        (void)file_.truncate(*size);
        (void)file_.sync();
    }
    return written;
}

Status ContactsFile::beginAppends()
{
    auto size = file_.size();
    if (!size)
        return std::unexpected(size.error());
    const QString note = appendNotePathFor(path());
    if (auto s = writeFileDurably(note, QByteArray::number(*size) + "\r\n"); !s)
        return s;
    appendsFrom_ = *size;
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
    return {};
}

void ContactsFile::undoAppends()
{
    if (appendsFrom_ < 0 || !file_.isOpen())
        return;
    const qint64 length = std::exchange(appendsFrom_, -1);
    if (!file_.truncate(length) || !file_.sync())
        return;
    const QString note = appendNotePathFor(path());
    if (removeFile(note))
        (void)syncDirectory(folderOf(note));
}

Status ContactsFile::overwrite(int n, const ContactRecord& record)
{
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    if (n < 1 || n > *count)
        return std::unexpected(badRecordNumber());
    auto original = file_.readRecord(n);
    if (!original)
        return std::unexpected(original.error());
    auto written = file_.writeRecord(n, record.encode());
    if (!written) {
        // A write the disk took in part would leave a record that is neither the old contact nor
        // the new one: put the old one back.
        if (file_.writeRecord(n, *original))
            (void)file_.sync();
        return written;
    }
    return file_.sync();
}

Status ContactsFile::remove(int n)
{
    stopped_ = false;
    renamed_ = false;
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    auto record = file_.readRecord(n);
    if (!record)
        return std::unexpected(record.error());

    // The note naming record n is on disk before the record is marked: whoever opens the file
    // after a crash finishes this removal from the note, not from whichever records look marked.
    if (auto s = writeFileDurably(removalNotePathFor(path()), removalNote(n, *count)); !s)
        return s;
    // A scratch file that cannot be made stops the removal before anything is marked.
    if (auto s = writeFileDurably(scratchPathFor(path()), QByteArrayView()); !s)
        return s;
    if (!proceed(RemovalStep::NoteWritten))
        return std::unexpected(interrupted());

    const QByteArray original = *record;
    record->replace(0, 14, QByteArray(kDeletedMarker).leftJustified(14, ' '));
    Status s = file_.writeRecord(n, *record);
    if (s)
        s = file_.sync();
    if (s && !proceed(RemovalStep::Marked))
        s = std::unexpected(interrupted());
    if (s)
        s = compact(*count, n);
    // A failure the user is told of leaves every contact as it was; a crash (a stopped probe) leaves
    // the files for the next opening to finish.
    if (!s && !stopped_ && !renamed_)
        rollBack(n, original);
    return s;
}

void ContactsFile::rollBack(int n, const QByteArray& record)
{
    // Best effort: should the disk refuse even this, the mark and the note stay and the next
    // opening finishes the removal, which the user asked for. The note goes last, so that a crash
    // in between still finds it and, the record no longer marked, keeps every contact.
    if (!file_.isOpen() || !file_.writeRecord(n, record) || !file_.sync())
        return;
    const QString path = file_.path();
    if (removeFile(scratchPathFor(path)) && removeFile(removalNotePathFor(path)))
        (void)syncDirectory(folderOf(realPath(path)));
}

// Writes records 1 to `count` except record `dropped` into the scratch file, renames it over the
// file the path leads to and opens the path again. The new file takes the old one's permissions.
Status ContactsFile::compact(int count, int dropped)
{
    const QString path = file_.path();
    const int halfway = (count + 1) / 2;
    auto copy = [&](QIODevice& scratch) -> Status {
        QByteArray out;
        out.reserve(kChunkBytes);
        int number = 0;
        auto copied = eachStoredRecord(file_, count, [&](qint64, QByteArrayView record) -> PassStep {
            if (++number != dropped)
                out.append(record);
            if (number == halfway || out.size() >= kChunkBytes) {
                if (auto s = writeAll(scratch, out); !s)
                    return std::unexpected(s.error());
                out.resize(0);  // keeps the buffer for the next chunk
            }
            if (number == halfway && !proceed(RemovalStep::ScratchHalfWritten))
                return std::unexpected(interrupted());
            return Visit::Next;
        });
        return copied ? writeAll(scratch, out) : copied;
    };
    DurableWrite how;
    how.scratchPath = scratchPathFor(path);
    how.proceed = [&](DurableStep step) {
        if (step == DurableStep::ScratchSynced)
            return proceed(RemovalStep::ScratchSynced);
        renamed_ = true;
        return proceed(RemovalStep::Renamed);
    };
    const Status written = writeFileDurably(realPath(path), copy, how);
    // The handle is on the file the path led to before: once the new one is in its place, work on that.
    if (renamed_) {
        file_.close();
        if (auto s = file_.open(path); !s)
            return s;
    }
    if (!written)
        return written;
    // Once the rename is durable the note is spent: the file no longer has the noted count.
    return removeFile(removalNotePathFor(path));
}

Status ContactsFile::setBirthdayReminders(bool on)
{
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    auto size = file_.size();
    if (!size)
        return std::unexpected(size.error());
    const char flag = on ? '1' : '0';
    // Only the flag byte changes, so each chunk is patched in memory and written back in place.
    auto s = forEachChunk(file_, *count, [&](qint64 offset, QByteArray& chunk) -> PassStep {
        for (qint64 at = 0; at < chunk.size(); at += ContactRecord::kSize) {
            if (offset + at + ContactRecord::kSize <= *size) {
                chunk[at + kBirthdayRemindersOffset] = flag;
            } else {
                // A short final record is written whole, as any rewrite of a record would.
                ContactRecord whole = ContactRecord::decode(QByteArrayView(chunk).sliced(at, ContactRecord::kSize));
                whole.BirthdayReminders = QString(QChar(flag));
                chunk.replace(at, ContactRecord::kSize, whole.encode());
            }
        }
        if (auto written = file_.writeAt(offset, chunk); !written)
            return std::unexpected(written.error());
        return Visit::Next;
    });
    if (!s)
        return s;
    return file_.sync();
}

}  // namespace pw
