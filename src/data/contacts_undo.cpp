// Undoing the last removal or import: the file put back as it was before, byte for byte, only while
// it is still as that change left it.
#include "data/contacts_undo.h"

#include "data/contacts_file.h"
#include "data/contacts_file_parts.h"
#include "data/durable_file.h"

#include <QCryptographicHash>
#include <QFile>
#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>

namespace pw {

using namespace contacts_detail;

namespace {

// The SHA-256 of the file's bytes from `from` to `length`, read in large chunks.
Expected<QByteArray> sha256Of(const RecordFile& file, qint64 from, qint64 length)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray chunk;
    for (qint64 at = from; at < length; at += kChunkBytes) {
        if (auto s = file.readInto(at, std::min(kChunkBytes, length - at), chunk); !s)
            return std::unexpected(s.error());
        hash.addData(chunk);
    }
    return hash.result();
}

Expected<ChangeMark> markOf(const RecordFile& file, qint64 from)
{
    auto size = file.size();
    if (!size)
        return std::unexpected(size.error());
    const qint64 start = std::min(from, *size);
    auto sha = sha256Of(file, start, *size);
    if (!sha)
        return std::unexpected(sha.error());
    return ChangeMark{*size, start, *sha};
}

// The import note: the length before the import, its count of records, and the SHA-256 of the
// bytes it appended, ended by a line end so that a note cut short is never trusted.
QByteArray importNote(const UndoableImport& import)
{
    return QByteArray::number(import.after.from) + ' ' + QByteArray::number(import.count) + ' '
           + import.after.sha256.toHex() + "\r\n";
}

}  // namespace

QString ContactsFile::importNotePathFor(const QString& path)
{
    return realPath(path) + QStringLiteral(".lastimport");
}

std::optional<UndoableImport> importNoted(const QString& path)
{
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,15}) ([0-9]{1,9}) ([0-9a-f]{64})\r\n$"));
    QFile note(ContactsFile::importNotePathFor(path));
    if (!note.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto match = form.match(QString::fromLatin1(note.read(128)));
    if (!match.hasMatch())
        return std::nullopt;
    UndoableImport import;
    import.count = match.captured(2).toInt();
    import.after.from = match.captured(1).toLongLong();
    import.after.length = import.after.from + qint64(import.count) * ContactRecord::kSize;
    import.after.sha256 = QByteArray::fromHex(match.captured(3).toLatin1());
    return import;
}

Expected<ChangeMark> ContactsFile::markFrom(qint64 from) const
{
    LockHold hold(lock_, FileLock::Kind::Shared);
    if (!hold.status())
        return std::unexpected(hold.status().error());
    if (auto s = prepare(); !s)
        return std::unexpected(s.error());
    return markOf(file_, from);
}

Status ContactsFile::noteImport(qint64 from)
{
    lastImport_.reset();
    if (from < 0)
        return {};
    const QString note = importNotePathFor(path());
    auto mark = markOf(file_, from);
    if (!mark)
        return std::unexpected(mark.error());
    // An import that added nothing leaves no note by which an earlier one would be undone.
    const int count = int((mark->length - from) / ContactRecord::kSize);
    if (count == 0)
        return removeFile(note);
    // The note is part of the import: an import whose note cannot be written fails, and is undone.
    const UndoableImport import{{}, count, *mark};
    if (auto s = writeFileDurably(note, importNote(import), besideTheFile(file_)); !s)
        return s;
    lastImport_ = import;
    return {};
}

Expected<UndoableDelete> ContactsFile::removeUndoably(int n, const QString& name)
{
    auto bytes = [&]() -> Expected<QByteArray> {
        LockHold hold(lock_, FileLock::Kind::Shared);
        if (!hold.status())
            return std::unexpected(hold.status().error());
        if (auto s = prepare(); !s)
            return std::unexpected(s.error());
        return readFramed(file_, storedNumber(n));
    }();
    if (!bytes)
        return std::unexpected(bytes.error());
    if (auto s = remove(n); !s)
        return std::unexpected(s.error());
    // Every record after the removed one moved: the whole file is what the removal wrote. The
    // contact is gone either way; a file that cannot be read now is one the undo is never offered on.
    const auto after = markFrom(0);
    return UndoableDelete{n, *bytes, name, after.value_or(ChangeMark{})};
}

Expected<bool> ContactsFile::putBack(const UndoableDelete& removal)
{
    ChangeHold hold(*this);
    if (!hold.status())
        return std::unexpected(hold.status().error());
    auto now = markOf(file_, 0);
    if (!now)
        return std::unexpected(now.error());
    const qint64 at = qint64(removal.record - 1) * ContactRecord::kSize;
    if (*now != removal.after || at > now->length)
        return false;
    // The file with the record back in its place replaces the file in one step.
    const QString path = file_.path();
    const Status written = writeFileDurably(realPath(path), [&](QIODevice& out) -> Status {
        QByteArray chunk;
        const auto copy = [&](qint64 from, qint64 to) -> Status {
            for (qint64 offset = from; offset < to; offset += kChunkBytes) {
                if (auto s = file_.readInto(offset, std::min(kChunkBytes, to - offset), chunk); !s)
                    return s;
                if (auto s = writeAll(out, chunk); !s)
                    return s;
            }
            return {};
        };
        if (auto s = copy(0, at); !s)
            return s;
        if (auto s = writeAll(out, removal.bytes); !s)
            return s;
        return copy(at, now->length);
    });
    if (!written)
        return std::unexpected(written.error());
    // The handle is on the file the path led to before: work on the new one from here on.
    file_.close();
    if (auto s = file_.open(path); !s)
        return std::unexpected(s.error());
    return true;
}

Expected<bool> ContactsFile::cutOff(const UndoableImport& import)
{
    ChangeHold hold(*this);
    if (!hold.status())
        return std::unexpected(hold.status().error());
    auto now = markOf(file_, import.after.from);
    if (!now)
        return std::unexpected(now.error());
    if (*now != import.after)
        return false;
    if (auto s = file_.truncate(import.after.from); !s)
        return std::unexpected(s.error());
    if (auto s = file_.sync(); !s)
        return std::unexpected(s.error());
    // The note of this import is spent; one of a later import by another program is not.
    if (const auto noted = importNoted(path()); noted && noted->after == import.after)
        (void)removeFile(importNotePathFor(path()));
    if (lastImport_ && lastImport_->after == import.after)
        lastImport_.reset();
    return true;
}

Expected<ImportUndone> undoNotedImport(ContactsFile& file)
{
    const std::optional<UndoableImport> noted = importNoted(file.path());
    if (!noted)
        return ImportUndone{false, 0, QStringLiteral("no import into it is noted, so there is nothing to undo")};
    auto cut = file.cutOff(*noted);
    if (!cut)
        return std::unexpected(cut.error());
    if (!*cut) {
        return ImportUndone{false, noted->count,
                            QStringLiteral("it has changed since its last import (%1 contacts), so that import "
                                           "was not undone and nothing was changed")
                                .arg(noted->count)};
    }
    return ImportUndone{true, noted->count, {}};
}

}  // namespace pw
