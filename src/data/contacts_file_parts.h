#pragma once

// What the contacts file's three source files share: record access (contacts_file.cpp), the crash
// journal (contacts_journal.cpp) and compaction (contacts_compaction.cpp).
#include "data/contact_record.h"
#include "data/contacts_file.h"
#include "data/durable_file.h"
#include "data/file_error.h"
#include "data/record_file.h"

#include <QByteArray>
#include <QString>

#include <algorithm>

namespace pw::contacts_detail {

constexpr int kRecordsPerChunk = 4096;
// Where a damaged record's stand-in names it, and the birth date no contact can have that marks it.
constexpr int kStreet1Offset = 36;
constexpr int kBirthdateOffset = 231;
constexpr char kDamagedMark[] = "damaged ";
constexpr qint64 kChunkBytes = qint64(kRecordsPerChunk) * ContactRecord::kSize;

// A record a removal has marked with the deleted marker.
bool isMarked(QByteArrayView record);
// Whether the bytes of a record that are there (all 518, or the start of one cut short) carry the
// separators and the line end where the layout puts them.
bool hasRecordFrame(QByteArrayView record);
// A whole record without its frame, or holding NUL bytes (a disk that lost it, a write over it).
bool isDamaged(QByteArrayView record);
// What a pass gives in place of damaged record n: a framed record that names it.
QByteArray damagedStandIn(int n);
// Whether the file of `size` bytes ends with a whole record that only lost its line end (both
// bytes, or the line feed): a contact, unlike a record cut short.
Expected<bool> endsWithoutLineEnd(const RecordFile& file, qint64 size);
// How a durable write beside the file makes its files: with the file's own permissions.
DurableWrite besideTheFile(const RecordFile& file);
// What a writer did with an unfinished import's note: cut the file back to it, or set it aside
// under a new name because it was written for another file.
struct NoteOutcome final {
    bool cut = false;
    QString setAside;
};
Expected<NoteOutcome> undoUnfinishedAppends(RecordFile& file, const QString& notePath);
// The start of a record that was cut short, completed as the record it begins: every field re-encoded,
// so that separators and the line end stand where the layout puts them. A whole record is returned
// as it is.
QByteArray framed(QByteArrayView stored);
// Record n (1 to the count), a short one completed by framed().
Expected<QByteArray> readFramed(const RecordFile& file, int n);
// The file a path leads to, through any symlinks, so that a removal replaces the file itself and
// the link keeps leading to it.
QString realPath(const QString& path);
QString folderOf(const QString& path);
// The removal's scratch file, its note and the note of an import under way, beside the real file.
inline QString scratchOf(const QString& real) { return real + QStringLiteral(".Tempf"); }
inline QString removalNoteOf(const QString& real) { return real + QStringLiteral(".Tempf.record"); }
inline QString appendNoteOf(const QString& real) { return real + QStringLiteral(".Tempf.append"); }
// The refusal of a change to a file opened for reading only.
FileError readOnly();
// Removes a file; one that is not there is no failure.
Status removeFile(const QString& path);
// The error of an operation stopped on purpose, as a crash would stop it (tests only).
FileError interrupted();
// The removal note: the record number being removed and the record count at the time, ended by a
// line end so that a note cut short by a crash is never trusted.
QByteArray removalNote(int n, int count);

// The one pass over the file: `visit(offset, chunk)` for records 1 to count, read in large chunks
// into one reused buffer, until the last, a Stop or a failure. A counted final record that is short
// arrives completed with its frame, as it would be written back. A file that has become shorter
// than it was counted (another program without locks) ends the pass with what was read.
template <typename F>
Status forEachChunk(const RecordFile& file, int count, F visit)
{
    const qint64 total = qint64(count) * ContactRecord::kSize;
    QByteArray chunk;
    for (qint64 offset = 0; offset < total; offset += kChunkBytes) {
        const qint64 wanted = std::min(kChunkBytes, total - offset);
        if (auto s = file.readInto(offset, wanted, chunk); !s)
            return s;
        const bool ended = chunk.size() < wanted;
        if (const qsizetype whole = chunk.size() - chunk.size() % ContactRecord::kSize; whole < chunk.size())
            chunk = chunk.left(whole) + framed(QByteArrayView(chunk).sliced(whole));
        const PassStep step = visit(offset, chunk);
        if (!step)
            return std::unexpected(step.error());
        if (*step == Visit::Stop || ended)
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

}  // namespace pw::contacts_detail

namespace pw {

class ContactsFile::ChangeHold final {
public:
    explicit ChangeHold(ContactsFile& file);
    ~ChangeHold();
    ChangeHold(const ChangeHold&) = delete;
    ChangeHold& operator=(const ChangeHold&) = delete;
    const Status& status() const { return status_; }
    // The take outlives the scope: commitAppends(), undoAppends() or close() let go of it.
    void keep() { kept_ = true; }

private:
    FileLock& lock_;
    Status status_;
    bool taken_ = false;
    bool kept_ = false;
};

}  // namespace pw
