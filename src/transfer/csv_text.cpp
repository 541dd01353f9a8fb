#include "transfer/csv_text.h"

#include "data/text_rules.h"

#include <QStringDecoder>

#include <algorithm>

namespace pw {
namespace {

bool runsAsFormula(QStringView cell)
{
    while (cell.startsWith(u'\''))
        cell = cell.sliced(1);
    if (cell.isEmpty())
        return false;
    const QChar first = cell.front();
    if (first == u'=' || first == u'@' || first == u'\t' || first == u'\r')
        return true;
    if (first != u'+' && first != u'-')
        return false;
    // After a sign a spreadsheet reads the rest as a formula: only the characters of a number or a
    // phone number leave nothing to run.
    return std::any_of(cell.begin() + 1, cell.end(), [](QChar c) {
        return !(c >= u'0' && c <= u'9') && !QStringView(u" ()-./").contains(c);
    });
}

}  // namespace

QString decodeImportText(QByteArrayView bytes)
{
    struct Mark {
        QByteArrayView bytes;
        QStringConverter::Encoding encoding;
    };
    static const Mark marks[] = {
        {"\xEF\xBB\xBF", QStringConverter::Utf8},
        {"\xFF\xFE", QStringConverter::Utf16LE},
        {"\xFE\xFF", QStringConverter::Utf16BE},
    };
    for (const Mark& mark : marks) {
        if (bytes.startsWith(mark.bytes)) {
            QStringDecoder decoder(mark.encoding, QStringConverter::Flag::Stateless);
            return decoder(bytes.sliced(mark.bytes.size()));
        }
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return fromCodePage(bytes);
}

std::vector<CsvRow> parseCsv(QStringView text)
{
    std::vector<CsvRow> rows;
    CsvRow row;
    QString field;
    bool quoted = false;      // inside a quoted field
    bool hadText = false;     // the line holds anything at all
    int line = 1;
    row.line = 1;

    auto endField = [&] {
        row.fields.append(field);
        field.clear();
    };
    auto endRecord = [&] {
        endField();
        const bool blank = std::all_of(row.fields.cbegin(), row.fields.cend(),
                                       [](const QString& f) { return trimBlanks(f).isEmpty(); });
        if (hadText && !blank)
            rows.push_back(std::move(row));
        row = CsvRow{};
        hadText = false;
    };

    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        const bool lineEnd = c == u'\n' || c == u'\r';
        const bool crlf = c == u'\r' && i + 1 < n && text[i + 1] == u'\n';
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field.append(u'"');
                    ++i;
                } else {
                    quoted = false;
                }
                continue;
            }
            if (crlf) {
                field.append(u"\r\n");
                ++i;
            } else {
                field.append(c);
            }
            if (lineEnd)
                ++line;
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            hadText = true;
        } else if (c == u',') {
            endField();
            hadText = true;
        } else if (lineEnd) {
            if (crlf)
                ++i;
            endRecord();
            row.line = ++line;
        } else {
            field.append(c);
            hadText = true;
        }
    }
    if (hadText || !field.isEmpty())
        endRecord();
    return rows;
}

QString joinedColumns(const QStringList& fields)
{
    return fields.join(u',');
}

QStringList sliceColumns(const QStringList& fields, qsizetype from, qsizetype to)
{
    QStringList out;
    QString current;
    qsizetype at = 0;  // where the current field starts in the joined text
    for (qsizetype k = 0; k < fields.size() && at < to; ++k) {
        const QString& f = fields[k];
        const qsizetype begin = std::max(from, at);
        const qsizetype end = std::min(to, at + f.size());
        if (end > begin)
            current += QStringView(f).sliced(begin - at, end - begin);
        const qsizetype comma = at + f.size();
        if (comma >= from && comma < to) {
            out.append(current);
            current.clear();
        }
        at = comma + 1;
    }
    out.append(current);
    return out;
}

QString formulaGuarded(const QString& cell)
{
    return runsAsFormula(cell) ? u'\'' + cell : cell;
}

QString withoutFormulaGuard(const QString& cell)
{
    return cell.startsWith(u'\'') && runsAsFormula(QStringView(cell).sliced(1)) ? cell.sliced(1) : cell;
}

}  // namespace pw
