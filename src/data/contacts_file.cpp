#include "data/contacts_file.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace pw {
namespace {

constexpr int kRecordsPerChunk = 4096;
constexpr qint64 kChunkBytes = qint64(kRecordsPerChunk) * ContactRecord::kSize;
const QByteArrayView kMarker(kDeletedMarker);

bool isMarked(QByteArrayView record)
{
    return record.startsWith(kMarker);
}

FileError interrupted()
{
    return {kErrInterrupted, QStringLiteral("Interrupted")};
}

Status removeFile(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        return std::unexpected(FileError::fromErrno(errno));
    return {};
}

// Calls `visit(offset, chunk)` for records 1 to count, read in large chunks into one reused
// buffer. A counted final record that is short arrives padded with blanks.
template <typename Visit>
Status forEachChunk(const RecordFile& file, int count, Visit visit)
{
    const qint64 total = qint64(count) * ContactRecord::kSize;
    QByteArray chunk;
    for (qint64 offset = 0; offset < total; offset += kChunkBytes) {
        const qint64 wanted = std::min(kChunkBytes, total - offset);
        if (auto s = file.readInto(offset, wanted, chunk); !s)
            return s;
        if (chunk.size() < wanted)
            chunk = chunk.leftJustified(wanted, ' ');
        if (auto s = visit(offset, chunk); !s)
            return s;
    }
    return {};
}

// Calls `visit(offset, record)` with records 1 to count in order.
template <typename Visit>
Status forEachRecord(const RecordFile& file, int count, Visit visit)
{
    return forEachChunk(file, count, [&](qint64 offset, const QByteArray& chunk) -> Status {
        for (qint64 at = 0; at < chunk.size(); at += ContactRecord::kSize) {
            if (auto s = visit(offset + at, QByteArrayView(chunk).sliced(at, ContactRecord::kSize)); !s)
                return s;
        }
        return {};
    });
}

}  // namespace

QString ContactsFile::scratchPathFor(const QString& path)
{
    return path + QStringLiteral(".Tempf");
}

Status ContactsFile::open(const QString& path)
{
    if (auto s = file_.open(path); !s)
        return s;
    // A scratch file left beside the contacts file means a removal was cut short. Until the rename
    // the original is complete, so the scratch is dropped and any marked record removed afresh.
    const QString scratch = scratchPathFor(path);
    if (!QFileInfo::exists(scratch))
        return {};
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    bool marked = false;
    auto scan = forEachRecord(file_, *count, [&](qint64, QByteArrayView record) -> Status {
        marked = marked || isMarked(record);
        return {};
    });
    if (!scan)
        return scan;
    if (marked)
        return compact(*count);
    if (auto s = removeFile(scratch); !s)
        return s;
    return syncDirectory(QFileInfo(path).absolutePath());
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

Expected<std::vector<ContactRecord>> ContactsFile::readAll() const
{
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    std::vector<ContactRecord> records;
    records.reserve(*count);
    auto s = forEachRecord(file_, *count, [&](qint64, QByteArrayView record) -> Status {
        records.push_back(ContactRecord::decode(record));
        return {};
    });
    if (!s)
        return std::unexpected(s.error());
    return records;
}

Status ContactsFile::visitRecords(const std::function<void(int, const ContactRecord&)>& visit) const
{
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    int n = 0;
    ContactRecord decoded;
    return forEachRecord(file_, *count, [&](qint64, QByteArrayView record) -> Status {
        ContactRecord::decodeInto(record, decoded);
        visit(++n, decoded);
        return {};
    });
}

Status ContactsFile::append(const ContactRecord& record)
{
    auto size = file_.size();
    auto count = recordCount();
    if (!size || !count)
        return std::unexpected(!size ? size.error() : count.error());
    // A short final record that counts keeps reading as before: its gap is filled with blanks.
    const qint64 end = qint64(*count) * ContactRecord::kSize;
    QByteArray bytes;
    if (*size < end)
        bytes = QByteArray(end - *size, ' ');
    bytes += record.encode();
    if (auto s = file_.writeAt(std::min(*size, end), bytes); !s)
        return s;
    return file_.sync();
}

Status ContactsFile::overwrite(int n, const ContactRecord& record)
{
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    if (n < 1 || n > *count)
        return std::unexpected(badRecordNumber());
    if (auto s = file_.writeRecord(n, record.encode()); !s)
        return s;
    return file_.sync();
}

Status ContactsFile::remove(int n)
{
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    auto record = file_.readRecord(n);
    if (!record)
        return std::unexpected(record.error());

    // The scratch file exists, durably, before the record is marked: whoever opens the file
    // after a crash then knows to look for the mark.
    const QString path = file_.path();
    const QString dir = QFileInfo(path).absolutePath();
    {
        RecordFile scratch(ContactRecord::kSize);
        if (auto s = scratch.open(scratchPathFor(path)); !s)
            return s;
    }
    if (auto s = syncDirectory(dir); !s)
        return s;
    if (!proceed(RemovalStep::ScratchCreated))
        return std::unexpected(interrupted());

    record->replace(0, 14, QByteArray(kDeletedMarker).leftJustified(14, ' '));
    if (auto s = file_.writeRecord(n, *record); !s)
        return s;
    if (auto s = file_.sync(); !s)
        return s;
    if (!proceed(RemovalStep::Marked))
        return std::unexpected(interrupted());
    return compact(*count);
}

// Writes every unmarked record of the first `count` into the scratch file and renames it over the
// contacts file, which is then open again.
Status ContactsFile::compact(int count)
{
    const QString path = file_.path();
    const QString scratchPath = scratchPathFor(path);
    const QString dir = QFileInfo(path).absolutePath();

    RecordFile scratch(ContactRecord::kSize);
    if (auto s = scratch.open(scratchPath); !s)
        return s;
    // Start from an empty scratch file; it stays in place so that a crash is still noticed.
    if (auto s = scratch.truncate(0); !s)
        return s;

    qint64 written = 0;
    QByteArray out;
    out.reserve(kChunkBytes);
    const int halfway = (count + 1) / 2;
    int seen = 0;
    auto flush = [&]() -> Status {
        if (auto s = scratch.writeAt(written, out); !s)
            return s;
        written += out.size();
        out.resize(0);  // keeps the buffer for the next chunk
        return {};
    };
    auto copied = forEachRecord(file_, count, [&](qint64, QByteArrayView record) -> Status {
        if (!isMarked(record))
            out.append(record);
        if (++seen == halfway) {
            if (auto s = flush(); !s)
                return s;
            if (!proceed(RemovalStep::ScratchHalfWritten))
                return std::unexpected(interrupted());
        }
        return out.size() >= kChunkBytes ? flush() : Status{};
    });
    if (!copied)
        return copied;
    if (auto s = flush(); !s)
        return s;
    if (auto s = scratch.sync(); !s)
        return s;
    scratch.close();
    if (!proceed(RemovalStep::ScratchSynced))
        return std::unexpected(interrupted());

    file_.close();
    if (std::rename(QFile::encodeName(scratchPath).constData(), QFile::encodeName(path).constData()) != 0) {
        const FileError error = FileError::fromErrno(errno);
        (void)file_.open(path);  // the original is untouched: keep working on it
        return std::unexpected(error);
    }
    if (!proceed(RemovalStep::Renamed))
        return std::unexpected(interrupted());
    if (auto s = syncDirectory(dir); !s)
        return s;
    return file_.open(path);
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
    auto s = forEachChunk(file_, *count, [&](qint64 offset, QByteArray& chunk) -> Status {
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
        return file_.writeAt(offset, chunk);
    });
    if (!s)
        return s;
    return file_.sync();
}

}  // namespace pw
