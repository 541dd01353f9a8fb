#include "data/contacts_file.h"

#include "data/contacts_file_parts.h"
#include "data/durable_file.h"
#include "data/file_system.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace pw {
namespace contacts_detail {

bool isMarked(QByteArrayView record)
{
    return record.startsWith(QByteArrayView(kDeletedMarker));
}

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

bool isDamaged(QByteArrayView record)
{
    return !hasRecordFrame(record) || record.contains('\0');
}

QByteArray damagedStandIn(int n)
{
    ContactRecord r;
    r.Street1 = QStringLiteral("(damaged record %1)").arg(n);
    r.Birthdate = QString::fromLatin1(kDamagedMark);
    return r.encode();
}

Expected<bool> endsWithoutLineEnd(const RecordFile& file, qint64 size)
{
    const qint64 tail = size % ContactRecord::kSize;
    if (tail < ContactRecord::kSize - 2)
        return false;
    auto last = file.readAt(size - tail, tail);
    if (!last)
        return std::unexpected(last.error());
    return hasRecordFrame(*last) && !last->contains('\0');
}

DurableWrite besideTheFile(const RecordFile& file)
{
    DurableWrite how;
    how.mode = file.permissions();
    return how;
}

QByteArray framed(QByteArrayView stored)
{
    if (stored.size() >= ContactRecord::kSize)
        return stored.toByteArray();
    return ContactRecord::decode(stored).encode();
}

Expected<QByteArray> readFramed(const RecordFile& file, int n)
{
    auto total = file.count();
    if (!total)
        return std::unexpected(total.error());
    if (n < 1 || n > *total)
        return std::unexpected(badRecordNumber());
    auto bytes = file.readAt(qint64(n - 1) * ContactRecord::kSize, ContactRecord::kSize);
    if (!bytes)
        return bytes;
    return framed(*bytes);
}

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

Status removeFile(const QString& path)
{
    if (fileSystem().remove(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        return std::unexpected(FileError::fromErrno(errno));
    return {};
}

FileError interrupted()
{
    return {kErrInterrupted, QStringLiteral("Interrupted")};
}

FileError readOnly()
{
    return FileError::fromErrno(EACCES);
}

}  // namespace contacts_detail

using namespace contacts_detail;

QString ContactsFile::damagedSkippedText(int damaged)
{
    return damaged == 1 ? QStringLiteral("1 damaged record was left out.")
                        : QStringLiteral("%1 damaged records were left out.").arg(damaged);
}

int ContactsFile::damagedNumber(QByteArrayView record)
{
    static const QByteArray prefix = "(damaged record ";
    const auto street = record.sliced(kStreet1Offset, prefix.size() + 1);
    if (record.size() != ContactRecord::kSize || record.sliced(kBirthdateOffset, 8) != kDamagedMark
        || !street.startsWith(prefix))
        return 0;
    return ContactRecord::decode(record).Street1.mid(prefix.size()).chopped(1).toInt();
}

std::optional<unsigned> ContactsFile::permissions() const
{
    return file_.permissions();
}

void ContactsFile::close()
{
    file_.close();
    lock_.close();
    visible_ = -1;
    hidden_ = 0;
    followed_ = false;
}

Status ContactsFile::holdForChanges()
{
    ChangeHold hold(*this);
    if (hold.status())
        hold.keep();
    return hold.status();
}

bool ContactsFile::replaced() const
{
    return followed_ || (file_.isOpen() && !file_.stillAtPath());
}

Status ContactsFile::prepare() const
{
    if (!file_.isOpen())
        return std::unexpected(fileNotOpen());
    if (!file_.stillAtPath()) {
        // Another program renamed a file over ours, or removed it: work on what the path holds now,
        // never on the file no name leads to. The open handle stays when there is nothing to reopen.
        RecordFile now(ContactRecord::kSize);
        const auto how = mode_ == AccessMode::Read ? RecordFile::Mode::ReadOnly : RecordFile::Mode::ReadWriteExisting;
        if (auto s = now.open(file_.path(), how); !s)
            return s;
        file_.swap(now);
        followed_ = true;
        ++follows_;
    }
    if (mode_ == AccessMode::Read)
        return refreshReaderView();
    return {};
}

ContactsFile::ChangeHold::ChangeHold(ContactsFile& file) : lock_(file.lock_)
{
    if (file.mode_ == AccessMode::Read) {
        status_ = std::unexpected(readOnly());
        return;
    }
    status_ = lock_.take(FileLock::Kind::Exclusive);
    taken_ = bool(status_);
    if (status_)
        status_ = file.prepare();
    // Only another program's crash leaves a note while the lock is free; an import of our own under
    // way (appendsFrom_ set) holds the lock and its note.
    if (status_ && file.appendsFrom_ < 0 && file.journalPresent())
        status_ = file.repair();
}

ContactsFile::ChangeHold::~ChangeHold()
{
    if (taken_ && !kept_)
        lock_.release();
}

Expected<int> ContactsFile::recordCount() const
{
    LockHold hold(lock_, FileLock::Kind::Shared);
    if (!hold.status())
        return std::unexpected(hold.status().error());
    if (auto s = prepare(); !s)
        return std::unexpected(s.error());
    if (mode_ == AccessMode::Read)
        return visible_ - (hidden_ > 0 ? 1 : 0);
    return file_.count();
}

Expected<ContactRecord> ContactsFile::read(int n) const
{
    auto count = recordCount();  // prepares the handle and a reader's view
    if (!count)
        return std::unexpected(count.error());
    if (n < 1 || n > *count)
        return std::unexpected(badRecordNumber());
    LockHold hold(lock_, FileLock::Kind::Shared);
    if (!hold.status())
        return std::unexpected(hold.status().error());
    auto bytes = readFramed(file_, storedNumber(n));
    if (!bytes)
        return std::unexpected(bytes.error());
    return ContactRecord::decode(isDamaged(*bytes) ? damagedStandIn(n) : *bytes);
}

Status ContactsFile::forEachStored(const std::function<PassStep(int, QByteArrayView)>& visit) const
{
    LockHold hold(lock_, FileLock::Kind::Shared);
    if (!hold.status())
        return hold.status();
    if (auto s = prepare(); !s)
        return s;
    auto count = mode_ == AccessMode::Read ? Expected<int>(visible_) : file_.count();
    if (!count)
        return std::unexpected(count.error());
    int n = 0;
    int stored = 0;
    QByteArray standIn;
    return eachStoredRecord(file_, *count, [&](qint64, QByteArrayView record) -> PassStep {
        if (++stored == hidden_)
            return Visit::Next;
        if (!isDamaged(record))
            return visit(++n, record);
        standIn = damagedStandIn(++n);
        return visit(n, standIn);
    });
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
    ChangeHold hold(*this);
    if (!hold.status())
        return hold.status();
    auto size = file_.size();
    auto count = recordCount();
    if (!size || !count)
        return std::unexpected(!size ? size.error() : count.error());
    // A short final record that counts keeps reading as before: it is written whole, framed.
    const qint64 end = qint64(*count) * ContactRecord::kSize;
    const qint64 start = *size < end ? end - ContactRecord::kSize : *size;
    QByteArray bytes;
    bytes.reserve(end - start + qsizetype(records.size()) * ContactRecord::kSize);
    if (*size < end) {
        auto cut = file_.readAt(start, *size - start);
        if (!cut)
            return std::unexpected(cut.error());
        bytes = framed(*cut);
    }
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

Status ContactsFile::overwrite(int n, const ContactRecord& record)
{
    ChangeHold hold(*this);
    if (!hold.status())
        return hold.status();
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    if (n < 1 || n > *count)
        return std::unexpected(badRecordNumber());
    auto original = readFramed(file_, n);
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

Status ContactsFile::setBirthdayReminders(bool on)
{
    ChangeHold hold(*this);
    if (!hold.status())
        return hold.status();
    auto count = recordCount();
    if (!count)
        return std::unexpected(count.error());
    const char flag = on ? '1' : '0';
    // The file with every flag changed is written beside it and renamed over it in one step, so that
    // a crash leaves all the flags as they were or all changed (a short final record arrives framed).
    auto copy = [&](QIODevice& out) {
        return forEachChunk(file_, *count, [&](qint64, QByteArray& chunk) -> PassStep {
            for (qint64 at = 0; at < chunk.size(); at += ContactRecord::kSize)
                chunk[at + kBirthdayRemindersOffset] = flag;
            if (auto s = writeAll(out, chunk); !s)
                return std::unexpected(s.error());
            return Visit::Next;
        });
    };
    if (*count == 0)
        return {};
    auto size = file_.size();
    if (!size)
        return std::unexpected(size.error());
    // Bytes after the counted records (too few to count as one) are kept as they are.
    auto copyAll = [&](QIODevice& out) -> Status {
        auto rest = copy(out);
        if (const qint64 counted = qint64(*count) * ContactRecord::kSize; rest && *size > counted) {
            auto tail = file_.readAt(counted, *size - counted);
            rest = tail ? writeAll(out, *tail) : Status(std::unexpected(tail.error()));
        }
        return rest;
    };
    const QString path = file_.path();
    const Status written = writeFileDurably(path, copyAll);
    if (!written)
        return written;
    file_.close();
    return file_.open(path, RecordFile::Mode::ReadWriteExisting);
}

}  // namespace pw
