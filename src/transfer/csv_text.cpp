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

namespace {

// The length of the UTF-8 sequence at `i`, or 0 when the byte there starts none.
int utf8SequenceAt(QByteArrayView bytes, qsizetype i)
{
    const auto b = [&](qsizetype k) { return k < bytes.size() ? uchar(bytes[k]) : 0; };
    const uchar lead = b(i);
    int length = 0;
    uint code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (b(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

ImportText readImportText(QByteArrayView bytes)
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
            return {decoder(bytes.sliced(mark.bytes.size())), {}};
        }
    }
    qsizetype valid = 0;
    qsizetype invalid = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        if (uchar(bytes[i]) < 0x80) {
            ++i;
        } else if (const int n = utf8SequenceAt(bytes, i); n > 0) {
            ++valid;
            i += n;
        } else {
            ++invalid;
            ++i;
        }
    }
    if (invalid == 0) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        return {utf8(bytes), {}};
    }
    if (invalid >= valid)
        return {fromCodePage(bytes), {}};
    ImportText out;
    out.text.reserve(bytes.size());
    int line = 1;
    for (qsizetype i = 0; i < bytes.size();) {
        const char c = bytes[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            ++line;
        if (uchar(c) < 0x80) {
            out.text += QChar(uchar(c));
            ++i;
        } else if (const int n = utf8SequenceAt(bytes, i); n > 0) {
            out.text += QString::fromUtf8(bytes.sliced(i, n));
            i += n;
        } else {
            out.text += fromCodePage(c);
            out.repairs.push_back({line, fromCodePage(c)});
            ++i;
        }
    }
    return out;
}

QString decodeImportText(QByteArrayView bytes)
{
    return readImportText(bytes).text;
}

QChar headingSeparator(QStringView line)
{
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u';')
            ++semicolons;
        else if (!quoted && c == u'\t')
            ++tabs;
    }
    if (tabs > commas && tabs >= semicolons)
        return u'\t';
    return semicolons > commas ? u';' : u',';
}

std::vector<CsvRow> parseCsv(QStringView text, QChar separator, int firstLine)
{
    std::vector<CsvRow> rows;
    CsvRow row;
    QString field;
    bool quoted = false;      // inside a quoted field
    bool hadText = false;     // the line holds anything at all
    int line = firstLine;
    row.line = firstLine;

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
        } else if (c == separator) {
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
