#pragma once

#include "data/file_error.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace pw {

class ContactsFile;

// How a change left the contacts file: its length, and a SHA-256 of its bytes from `from` to the
// end (the bytes the change wrote). The change can be undone only while the file still matches,
// so that any later change, by this program or another, withdraws the undo.
struct ChangeMark final {
    qint64 length = 0;
    qint64 from = 0;
    QByteArray sha256;
    bool operator==(const ChangeMark&) const = default;
};

// A removal that can be undone: the record's number and stored bytes, the name it was shown under,
// and the file as the removal left it (every record after it moved, so the mark covers the file).
struct UndoableDelete final {
    int record = 0;
    QByteArray bytes;
    QString name;
    ChangeMark after;
};

// An import that can be undone: its records are the file's end from `after.from` on.
struct UndoableImport final {
    QString source;
    int count = 0;
    ChangeMark after;
};

// The last import into the file at `path` by any program, as its note beside the file says; none
// when there is no note or it is not whole.
std::optional<UndoableImport> importNoted(const QString& path);

// What undoing the last import noted beside a contacts file came to.
struct ImportUndone final {
    bool undone = false;
    int count = 0;
    QString why;  // when not undone: the reason, one line
};

// Cuts the file back to its length before the last import that its note names, when the file
// still ends with exactly the bytes that import appended; otherwise changes nothing and says why.
Expected<ImportUndone> undoNotedImport(ContactsFile& file);

}  // namespace pw
