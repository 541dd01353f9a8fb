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

}  // namespace contacts_detail

using namespace contacts_detail;

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
