#include "transfer/contact_export.h"

#include "data/contact_record.h"
#include "data/contacts_file.h"
#include "data/durable_file.h"
#include "data/text_rules.h"
#include "transfer/csv_text.h"
#include "transfer/vcard.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>

namespace pw {
namespace {

constexpr qsizetype kWriteChunk = 1 << 20;
constexpr int kProgressEvery = 4096;

struct Column {
    const char* heading;
    QString ContactRecord::*field;
};

using R = ContactRecord;
constexpr int kColumns = 18;
const std::array<Column, kColumns> kExportColumns = {{
    {"First Name", &R::FirstName},   {"MI", &R::MiddleInitial},      {"Last Name", &R::LastName},
    {"Street1", &R::Street1},        {"Street2", &R::Street2},       {"City", &R::City},
    {"State", &R::State},            {"Zip", &R::Zip},               {"Country", &R::Country},
    {"Company", &R::Company},        {"Include Company in Address", &R::IncludeCompany},
    {"Home Phone", &R::HomePhone},   {"Cell Phone", &R::CellPhone},  {"Work Phone", &R::WorkPhone},
    {"Email", &R::Email},            {"Birthdate", &R::Birthdate},   {"Category", &R::Category},
    {"Notes", &R::Notes},
}};

struct Place {
    int offset;
    int width;
    bool birthdate;
};

// Where each exported field sits in a stored record.
const std::array<Place, kColumns>& fieldPlaces()
{
    static const std::array<Place, kColumns> table = [] {
        std::array<Place, kColumns> t{};
        for (int i = 0; i < kColumns; ++i) {
            for (const ContactRecord::Field& f : ContactRecord::kFields) {
                if (f.member == kExportColumns[i].field)
                    t[i] = {f.offset, f.width, f.member == &R::Birthdate};
            }
        }
        return t;
    }();
    return table;
}

char separatorOf(ExportFormat format)
{
    return format == ExportFormat::Csv ? ',' : '|';
}

QByteArrayView trimmed(QByteArrayView field)
{
    while (!field.isEmpty() && field.front() == ' ')
        field = field.sliced(1);
    while (!field.isEmpty() && field.back() == ' ')
        field.chop(1);
    return field;
}

// A stored field in the export's encoding, UTF-8. In CSV a cell a spreadsheet would run is guarded,
// and one holding a comma, a double quote or a line break is quoted with its quotes doubled.
void appendField(QByteArray& out, ExportFormat format, QByteArrayView stored)
{
    if (format != ExportFormat::Csv) {
        out += fromCodePage(stored).toUtf8();
        return;
    }
    QByteArray cell = formulaGuarded(fromCodePage(stored)).toUtf8();
    if (!std::any_of(cell.begin(), cell.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; })) {
        out += cell;
        return;
    }
    out += '"';
    out += cell.replace('"', "\"\"");
    out += '"';
}

// The line of one stored record, added to the end of `out`.
void appendLine(QByteArray& out, ExportFormat format, QByteArrayView record)
{
    if (format == ExportFormat::VCard) {
        out += vCardOf(ContactRecord::decode(record));
        return;
    }
    const auto& places = fieldPlaces();
    for (int i = 0; i < kColumns; ++i) {
        const Place& place = places[i];
        if (i > 0)
            out += separatorOf(format);
        const QByteArrayView field = trimmed(record.sliced(place.offset, place.width));
        if (place.birthdate && field.size() == 8) {
            // Stored YYYYMMDD, written MM-DD-YYYY; MM-DD when the year is not known.
            out += field.sliced(4, 2);
            out += '-';
            out += field.sliced(6, 2);
            if (!field.startsWith("0000")) {
                out += '-';
                out += field.sliced(0, 4);
            }
            continue;
        }
        appendField(out, format, field);
    }
    out += "\r\n";
}

}  // namespace

QString exportFileName(ExportFormat format, const QString& contactsPath)
{
    const QString base = QFileInfo(contactsPath).completeBaseName();
    switch (format) {
    case ExportFormat::Csv:
        return QStringLiteral("PWKC_") + base + QStringLiteral(".csv");
    case ExportFormat::Text:
        return QStringLiteral("PWKT_") + base + QStringLiteral(".txt");
    case ExportFormat::VCard:
        break;
    }
    return QStringLiteral("PWKV_") + base + QStringLiteral(".vcf");
}

QString exportFileFilter(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv:
        return QStringLiteral("CSV Files (*.csv)|*.csv");
    case ExportFormat::Text:
        return QStringLiteral("Text Files (*.txt)|*.txt");
    case ExportFormat::VCard:
        break;
    }
    return QStringLiteral("vCard Files (*.vcf)|*.vcf");
}

QByteArray exportHeaderLine(ExportFormat format)
{
    QByteArray line;
    if (format == ExportFormat::VCard)
        return line;
    // The mark tells spreadsheets and address-book services that read CSV that it is UTF-8; plain
    // text tools on Linux take UTF-8 as given and would keep a mark as part of the first heading.
    if (format == ExportFormat::Csv)
        line += "\xEF\xBB\xBF";
    for (int i = 0; i < kColumns; ++i) {
        if (i > 0)
            line += separatorOf(format);
        line += kExportColumns[i].heading;
    }
    return line + "\r\n";
}

QByteArray exportLine(ExportFormat format, QByteArrayView storedRecord)
{
    QByteArray line;
    appendLine(line, format, storedRecord);
    return line;
}

ExportResult exportContacts(const ContactsFile& contacts, ExportFormat format, QIODevice& out,
                            const ProgressReport& progress)
{
    ExportResult result;
    auto count = contacts.recordCount();
    if (!count) {
        result.error = count.error();
        return result;
    }
    result.total = *count;
    QByteArray buffer = exportHeaderLine(format);
    buffer.reserve(kWriteChunk + 4096);
    int pending = 0;  // lines in the buffer
    auto flush = [&]() -> Status {
        if (auto s = writeAll(out, buffer); !s)
            return s;
        result.written += pending;
        pending = 0;
        buffer.resize(0);
        return {};
    };
    auto visited = contacts.forEachStored([&](int, QByteArrayView record) -> PassStep {
        if (ContactsFile::damagedNumber(record) > 0) {
            ++result.damaged;
            return Visit::Next;
        }
        appendLine(buffer, format, record);
        ++pending;
        if (buffer.size() >= kWriteChunk) {
            if (auto s = flush(); !s)
                return std::unexpected(s.error());
        }
        const int done = result.written + pending;
        if (progress && done % kProgressEvery == 0 && !progress(done, result.total)) {
            result.cancelled = true;
            return Visit::Stop;
        }
        return Visit::Next;
    });
    if (!visited) {
        result.error = visited.error();
        return result;
    }
    if (auto s = flush(); !s)
        result.error = s.error();
    return result;
}

ExportResult writeExportFile(const ContactsFile& contacts, ExportFormat format, const QString& path,
                             const ProgressReport& progress, bool replace)
{
    ExportResult result;
    // A name typed in the save dialog or on the command line can be the contacts file's own.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString target = canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
    const QString lock = ContactsFile::lockPathFor(contacts.path());
    if (target == contacts.path() || target == lock || target == lock + QStringLiteral(".window")) {
        result.error = FileError{EINVAL, QStringLiteral("The export file cannot be the contacts file itself or one "
                                                        "of the files kept beside it")};
        return result;
    }
    DurableWrite how;
    how.replace = replace;
    how.mode = contacts.permissions();
    auto written = writeFileDurably(
        path,
        [&](QIODevice& out) -> Status {
            result = exportContacts(contacts, format, out, progress);
            return result.error ? std::unexpected(*result.error) : Status{};
        },
        how);
    if (!written && !result.error)
        result.error = written.error();
    return result;
}

Message exportReplaceQuestion(const QString& path)
{
    return {QStringLiteral("%1 already exists.  Do you want to replace it?").arg(QFileInfo(path).fileName()),
            QStringLiteral("Replace export file"), MessageIcon::Question, MessageButtons::YesNo, false,
            MessageResult::No};
}

Message exportEndMessage(const ExportResult& result, ExportFormat format, const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (result.cancelled)
        return {QStringLiteral("Export stopped.  %1 holds the first %2 of %3 contacts.")
                    .arg(shown)
                    .arg(result.written)
                    .arg(result.total),
                QStringLiteral("Export stopped"), MessageIcon::Information};
    if (result.written == 0)
        return {QStringLiteral("Export file could not be created.  There were no contacts on file."),
                QStringLiteral("Export file not created"), MessageIcon::Information};
    const QString kind = format == ExportFormat::Csv    ? QStringLiteral("csv")
                         : format == ExportFormat::Text ? QStringLiteral("text")
                                                        : QStringLiteral("vCard");
    const QString left = result.damaged > 0 ? QStringLiteral("  ") + ContactsFile::damagedSkippedText(result.damaged) : QString();
    return {QStringLiteral("D O N E !  A %1 file of contacts has been created and stored as %2").arg(kind, shown) + left,
            QStringLiteral("Export file created")};
}

}  // namespace pw
