#pragma once

#include "data/contact_record.h"
#include "data/file_error.h"
#include "transfer/csv_text.h"
#include "transfer/import_layouts.h"

#include <QString>
#include <QStringList>

#include <expected>
#include <optional>
#include <vector>

namespace pw {

// A CSV file as the import reads it: the heading line found, the layout it gives and the rows
// after it.
struct CsvSource final {
    const LayoutRules* layout = nullptr;  // none when no layout knows the heading line
    QStringList heading;                  // as the file writes it
    std::vector<CsvRow> rows;             // the rows after the heading line
    std::vector<BoundColumn> bound;       // for a layout that reads named columns
    QStringList prepared;                 // for one that reads columns by place: the heading it reads
    std::vector<bool> read;               // by heading column: whether a rule of the layout reads it
    // For a file no layout knows, or whose layout finds no e-mail heading: what was found and what
    // is needed, to be told after "CSV file not compatible with import function.".
    QString whyNot;
};

// Finds the heading line, which may follow a preamble of a few lines (a note before the table),
// and its separator (comma, semicolon or tab), and reads the rows after it.
std::expected<CsvSource, FileError> readCsvSource(const QString& text);

// One row as the import takes it.
struct CsvContact final {
    std::optional<ContactRecord> contact;  // none when the layout's rules skip the row
    bool notAContact = false;              // skipped by a rule (a repeated heading line), not for its name
    QStringList noRoom;                    // address lines the contact has no room for
    QStringList notKept;                   // headings of columns with a value no field holds
};
CsvContact contactFromCsvRow(const CsvSource& source, const QStringList& row);

}  // namespace pw
