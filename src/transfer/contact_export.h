#pragma once

#include "data/file_error.h"
#include "platform/platform.h"
#include "transfer/transfer_progress.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

namespace pw {

class ContactsFile;

// CSV and text for spreadsheets and other programs; vCard 3.0 for phones and mail programs.
enum class ExportFormat { Csv, Text, VCard };

// The export file's name for the contacts file at `contactsPath`: "PWKC_", "PWKT_" or "PWKV_", then
// that file's own name without folder and extension, then ".csv", ".txt" or ".vcf".
QString exportFileName(ExportFormat format, const QString& contactsPath);
// The save dialog's filter for the format: "CSV Files (*.csv)|*.csv" and the like.
QString exportFileFilter(ExportFormat format);

// The header line and the line of one stored record, each ended by CR LF. Fields are trimmed and
// the birthdate written MM-DD-YYYY. CSV and text are UTF-8, and the CSV header line begins with the
// byte-order mark. In CSV a cell a spreadsheet would run as a formula is guarded (formulaGuarded())
// and a field holding a comma, a double quote or a line break is quoted with its quotes doubled, so
// that every line reads back as 18 fields; the text form writes every field as it stands. A vCard
// file has no header line; each record is one card.
QByteArray exportHeaderLine(ExportFormat format);
QByteArray exportLine(ExportFormat format, QByteArrayView storedRecord);

struct ExportResult final {
    int written = 0;  // contacts written
    int total = 0;    // contacts in the file
    int damaged = 0;  // damaged records left out
    bool cancelled = false;
    std::optional<FileError> error;
};

// Writes the header line and every record of the contacts file to `out`, in file order.
ExportResult exportContacts(const ContactsFile& contacts, ExportFormat format, QIODevice& out,
                            const ProgressReport& progress = {});

// Writes the export file at `path` through a scratch file beside it that is made durable and then
// renamed over any earlier file in one step; without `replace`, an earlier file is an error
// (EEXIST) and stays. A stop keeps the lines written so far; a failure leaves an earlier file as it
// was. The contacts file itself is never the export file.
ExportResult writeExportFile(const ContactsFile& contacts, ExportFormat format, const QString& path,
                             const ProgressReport& progress = {}, bool replace = true);

// The question asked before an export replaces the file at `path`; No is the default.
Message exportReplaceQuestion(const QString& path);

// What the user is told when an export to `path` did not fail.
Message exportEndMessage(const ExportResult& result, ExportFormat format, const QString& path);

}  // namespace pw
