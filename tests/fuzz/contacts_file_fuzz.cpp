// Opening any file as the contacts file: the check before it becomes current, the move of a
// trailing fragment, recovery from a removal note (the part of the input after "\n--note--\n") and
// from the note of an unfinished import (after a further "\n--append--\n"), then the record count
// and every reader, and a removal on whatever opened.
#include "fuzz_support.h"

#include "data/contacts_file.h"

#include <QFile>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace pw;
    const auto [content, notes] = fuzz::splitAt(fuzz::bytesOf(data, size), "\n--note--\n");
    const auto [removalNote, appendNote] = fuzz::splitAt(notes, "\n--append--\n");
    const QString path = fuzz::writeScratch("c.DAT", content);
    QFile::remove(ContactsFile::scratchPathFor(path));
    QFile::remove(path + QStringLiteral(".fragment"));
    for (const auto& [note, notePath] : {std::pair{removalNote, ContactsFile::removalNotePathFor(path)},
                                         std::pair{appendNote, ContactsFile::appendNotePathFor(path)}}) {
        QFile::remove(notePath);
        if (!note.isEmpty())
            fuzz::writeScratch(QFileInfo(notePath).fileName().toLatin1().constData(), note);
    }

    ContactsFile file;
    auto opened = file.open(path);
    if (!opened || !opened->opened())
        return 0;
    auto count = file.recordCount();
    if (!count)
        return 0;
    int seen = 0;
    if (!file.forEachRecord([&](int, const ContactRecord& r) {
            (void)r.birthdateForDisplay();
            ++seen;
            return Visit::Next;
        })
        || seen != *count)
        __builtin_trap();
    for (int n : {0, 1, *count, *count + 1})
        (void)file.read(n);
    if (*count > 0) {
        // A removal that reports success has taken exactly one record out.
        if (file.remove(1 + int(size % *count)) && file.recordCount().value_or(-1) != *count - 1)
            __builtin_trap();
    }
    return 0;
}
