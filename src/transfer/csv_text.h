#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace pw {

// The text of an import file. Today's exporters write UTF-8 (often after a byte-order mark) or
// UTF-16 with a mark; older ones write the single-byte code page. A byte-order mark decides; else
// bytes that are valid UTF-8 are read as UTF-8, and anything else as Windows-1252.
QString decodeImportText(QByteArrayView bytes);

// One record of a CSV file: its fields and the line of the file it starts on, counted from 1.
struct CsvRow final {
    QStringList fields;
    int line = 0;
    bool operator==(const CsvRow&) const = default;
};

// Reads CSV as RFC 4180 does: fields separated by commas; a field in double quotes may hold
// commas, line breaks and doubled quotes. CR LF, LF and a lone CR all end a line. A line of nothing
// but commas and blanks, as spreadsheets write for an empty row, is not a record.
std::vector<CsvRow> parseCsv(QStringView text);

// The fields joined by commas, as the line would read without its quotes.
QString joinedColumns(const QStringList& fields);

// The columns holding characters `from` to `to` (exclusive) of joinedColumns(fields); the first
// and last are cut where the range cuts them. A comma inside a field stays part of that field.
QStringList sliceColumns(const QStringList& fields, qsizetype from, qsizetype to);

// A cell as Postwick's CSV export writes it: one that a spreadsheet would run as a formula gets an
// apostrophe before it, so that it shows as text. That is a cell beginning with "=", "@", a tab or a
// carriage return, or with "+" or "-" and more than a number or phone ("+1 418 555 0100" and "-5"
// stay as they are; "-2+cmd|..." does not). A cell whose apostrophes only lead up to such a cell
// gets one more, so that the import can take exactly one away.
QString formulaGuarded(const QString& cell);
// The cell as it was before formulaGuarded().
QString withoutFormulaGuard(const QString& cell);

}  // namespace pw
