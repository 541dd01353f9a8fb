#pragma once

// What the contacts file's three source files share: record access (contacts_file.cpp), the crash
// journal (contacts_journal.cpp) and compaction (contacts_compaction.cpp).
#include "data/contact_record.h"
#include "data/contacts_file.h"
#include "data/file_error.h"
#include "data/record_file.h"

#include <QByteArray>
#include <QString>

#include <algorithm>

namespace pw::contacts_detail {

constexpr int kRecordsPerChunk = 4096;
constexpr qint64 kChunkBytes = qint64(kRecordsPerChunk) * ContactRecord::kSize;

// A record a removal has marked with the deleted marker.
bool isMarked(QByteArrayView record);
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
