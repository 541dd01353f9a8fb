#include "data/contacts_file.h"

#include "data/contacts_file_parts.h"
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
    const QString path = file.path();
    if (status_ && file.appendsFrom_ < 0
        && (QFileInfo::exists(appendNotePathFor(path)) || QFileInfo::exists(removalNotePathFor(path))))
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
    return ContactRecord::decode(*bytes);
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
    return eachStoredRecord(file_, *count, [&](qint64, QByteArrayView record) -> PassStep {
        if (++stored == hidden_)
            return Visit::Next;
        return visit(++n, record);
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
    // Only the flag byte changes, so each chunk is patched in memory and written back in place (a
    // short final record arrives framed and is written whole).
    auto s = forEachChunk(file_, *count, [&](qint64 offset, QByteArray& chunk) -> PassStep {
        for (qint64 at = 0; at < chunk.size(); at += ContactRecord::kSize)
            chunk[at + kBirthdayRemindersOffset] = flag;
        if (auto written = file_.writeAt(offset, chunk); !written)
            return std::unexpected(written.error());
        return Visit::Next;
    });
    if (!s)
        return s;
    return file_.sync();
}

}  // namespace pw
