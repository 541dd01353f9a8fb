// Removing a contact: the file without it is written beside it and renamed over it in one step,
// with a note that lets the next opening finish or undo a removal that a crash cut short.
#include "data/contacts_file.h"

#include "data/contacts_file_parts.h"
#include "data/durable_file.h"

#include <QIODevice>

namespace pw {

using namespace contacts_detail;

Status ContactsFile::remove(int n)
{
    stopped_ = false;
    renamed_ = false;
    ChangeHold hold(*this);
    if (!hold.status())
        return hold.status();
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    auto record = readFramed(file_, n);
    if (!record)
        return std::unexpected(record.error());

    // The note naming record n is on disk before the record is marked: whoever opens the file
    // after a crash finishes this removal from the note, not from whichever records look marked.
    if (auto s = writeFileDurably(removalNoteOf(path()), removalNote(n, *count), besideTheFile(file_)); !s)
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
    if (removeFile(scratchOf(path)) && removeFile(removalNoteOf(path)))
        (void)syncDirectory(folderOf(path));
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
    how.scratchPath = scratchOf(path);
    how.proceed = [&](DurableStep step) {
        if (step == DurableStep::ScratchSynced)
            return proceed(RemovalStep::ScratchSynced);
        renamed_ = true;
        return proceed(RemovalStep::Renamed);
    };
    const Status written = writeFileDurably(path, copy, how);
    // The handle is on the file the path led to before: once the new one is in its place, work on that.
    if (renamed_) {
        file_.close();
        if (auto s = file_.open(path); !s)
            return s;
    }
    if (!written)
        return written;
    // Once the rename is durable the note is spent: the file no longer has the noted count.
    return removeFile(removalNoteOf(path));
}

}  // namespace pw
