#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace pw {

// The text of an import file. Today's exporters write UTF-8 (often after a byte-order mark) or
// UTF-16 with a mark; older ones write the single-byte code page. A byte-order mark decides; else
// the bytes are UTF-8 when the bytes that cannot be UTF-8 are fewer than the letters that are
// (one value typed in another program among a file of accents), each such byte then read as
// Windows-1252; anything else is Windows-1252.
struct ImportText final {
    QString text;
    // Where a byte was read as Windows-1252 inside UTF-8: its line (from 1) and the letter it gave.
    struct Repair {
        int line = 0;
        QChar letter;
    };
    std::vector<Repair> repairs;
};
ImportText readImportText(QByteArrayView bytes);
QString decodeImportText(QByteArrayView bytes);

// One record of a CSV file: its fields and the line of the file it starts on, counted from 1.
struct CsvRow final {
    QStringList fields;
    int line = 0;
    bool operator==(const CsvRow&) const = default;
};

// Reads CSV as RFC 4180 does: fields separated by `separator` (a comma, or the semicolon or tab
// that spreadsheets of some languages write); a field in double quotes may hold separators, line
// breaks and doubled quotes. CR LF, LF and a lone CR all end a line. A line of nothing but
// separators and blanks, as spreadsheets write for an empty row, is not a record. Lines are
// counted from `firstLine`.
std::vector<CsvRow> parseCsv(QStringView text, QChar separator = u',', int firstLine = 1);

// The separator a heading line uses: of comma, semicolon and tab, the one it holds most of outside
// quotes; a comma when it holds none.
QChar headingSeparator(QStringView line);

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
