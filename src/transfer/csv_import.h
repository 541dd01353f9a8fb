#pragma once

#include "data/contact_record.h"
#include "data/file_error.h"
#include "platform/platform.h"
#include "transfer/transfer_progress.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QFile;
class QIODevice;

namespace pw {

class ContactsFile;

struct ImportOptions final {
    bool remindersOn = true;  // the setting the appended records take
    int batchSize = 1000;     // records appended with one write and one sync
    ProgressReport progress;
    // Each contact as it would be stored, before the duplicate test, by the line its row or card
    // begins on (importCards: by the index of its card); false keeps it out of the file, uncounted.
    std::function<bool(int, const ContactRecord&)> taking;
};

// A row or card that was read but not stored, and why.
struct SkippedRow final {
    enum class Reason { Duplicate, NoName, NotAContact };
    int line = 0;  // where it starts in the file, from 1
    Reason reason = Reason::Duplicate;
    QString text;  // what it holds, to be recognised by
};

// How an import ended, and what became of every row it read.
struct ImportResult final {
    enum class End { Completed, NotCompatible, Cancelled, Failed };
    End end = End::Completed;
    bool vCard = false;
    bool ldif = false;
    int read = 0;  // rows or cards after the heading line
    int imported = 0;
    int duplicates = 0;
    int noName = 0;
    int notContacts = 0;  // rows a layout's own rules pass over (repeated headings, no e-mail)
    int fieldsCut = 0;    // values of imported contacts longer than their field
    int datesLeftOut = 0;  // birthdays of imported contacts that are no date (13-45-1980)
    int replaced = 0;     // values holding characters the contacts file cannot, given the nearest it can
    std::vector<SkippedRow> skipped;
    QStringList changed;  // each value stored otherwise than the file wrote it (nearer letters, cut), named
    QStringList notKept;  // each column or attribute with values that no field holds, named once
    QString whyNot;       // for NotCompatible: what the heading line holds and what it needs
    std::optional<FileError> error;  // for Failed
    bool sourceFailed = false;       // the error was the imported file's, not the contacts file's
};

// Appends the contacts of a CSV, vCard or LDIF file to the contacts file. A vCard or LDIF file is
// told by its content, whatever its name. For CSV the layout is recognised from the heading line and each row
// goes through its layout's rules. A contact that is certainly a person on file or a row taken
// before it (samePerson()) is skipped as a duplicate. Records go to the file in batches,
// and the import is all or nothing: a failure, a stop or a crash leaves the file as it was before
// (a partial import, run again, would take contacts of its own first half for duplicates).
ImportResult importContacts(QIODevice& csv, ContactsFile& contacts, const ImportOptions& options);

// Appends the cards an address-book server gave, as one vCard file of them all would be. An address
// book without cards is an import of nothing that completed; a card that is no vCard is skipped.
ImportResult importCards(const std::vector<QByteArray>& cards, ContactsFile& contacts, const ImportOptions& options);

// What the user is told at the end of an import; none for a failure, which goes to the error prompt
// (see importFailure()).
std::optional<Message> importEndMessage(const ImportResult& result);

// The summary of a completed or stopped import, one line per count.
QStringList importSummaryLines(const ImportResult& result);
// The skipped rows as the user sees and copies them, one line each.
QStringList skippedRowLines(const ImportResult& result);

// The failure of an import as the error prompt shows it, with how many contacts were stored first.
FileError importFailure(const ImportResult& result);

// Opens the file at `path` for the import, or says why it cannot: the system's error, or what the
// path is when it is no regular file (a folder, a pipe, a device). A pipe is opened without waiting
// for a writer, so that the question never hangs.
Status openImportFile(QFile& file, const QString& path);

}  // namespace pw
