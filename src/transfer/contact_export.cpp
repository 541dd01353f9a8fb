#include "transfer/contact_export.h"

#include "data/contact_record.h"
#include "data/contacts_file.h"
#include "data/durable_file.h"
#include "transfer/vcard.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

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

char* put(char* to, QByteArrayView bytes)
{
    std::memcpy(to, bytes.data(), bytes.size());
    return to + bytes.size();
}

// Writes one field at `to` and returns the end; a field needing quotes takes at most twice its size + 2.
char* putField(char* to, ExportFormat format, QByteArrayView field)
{
    const bool quote = format == ExportFormat::Csv
                       && std::any_of(field.begin(), field.end(),
                                      [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    if (!quote)
        return put(to, field);
    *to++ = '"';
    for (char c : field) {
        if (c == '"')
            *to++ = '"';
        *to++ = c;
    }
    *to++ = '"';
    return to;
}

// The line of one stored record, written straight into the end of `out`.
void appendLine(QByteArray& out, ExportFormat format, QByteArrayView record)
{
    if (format == ExportFormat::VCard) {
        out += vCardOf(ContactRecord::decode(record));
        return;
    }
    // Every field doubled and quoted, plus separators and the line end, fits in this.
    constexpr qsizetype kLongest = 2 * ContactRecord::kSize + 2 * kColumns + 2;
    const qsizetype start = out.size();
    out.resize(start + kLongest);
    char* const begin = out.data() + start;
    char* to = begin;
    const char separator = separatorOf(format);
    const auto& places = fieldPlaces();
    for (int i = 0; i < kColumns; ++i) {
        const Place& place = places[i];
        if (i > 0)
            *to++ = separator;
        const QByteArrayView field = trimmed(record.sliced(place.offset, place.width));
        if (place.birthdate && field.size() == 8) {
            // Stored YYYYMMDD, written MM-DD-YYYY.
            to = put(to, field.sliced(4, 2));
            *to++ = '-';
            to = put(to, field.sliced(6, 2));
            *to++ = '-';
            to = put(to, field.sliced(0, 4));
            continue;
        }
        to = putField(to, format, field);
    }
    *to++ = '\r';
    *to++ = '\n';
    out.resize(start + (to - begin));
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

QByteArray exportHeaderLine(ExportFormat format)
{
    QByteArray line;
    if (format == ExportFormat::VCard)
        return line;
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
                             const ProgressReport& progress)
{
    ExportResult result;
    auto written = writeFileDurably(path, [&](QIODevice& out) -> Status {
        result = exportContacts(contacts, format, out, progress);
        return result.error ? std::unexpected(*result.error) : Status{};
    });
    if (!written && !result.error)
        result.error = written.error();
    return result;
}

Message exportEndMessage(const ExportResult& result, ExportFormat format, const QString& fileName)
{
    if (result.cancelled)
        return {QStringLiteral("Export stopped.  %1 holds the first %2 of %3 contacts.")
                    .arg(fileName)
                    .arg(result.written)
                    .arg(result.total),
                QStringLiteral("Export stopped"), MessageIcon::Information};
    if (result.written == 0)
        return {QStringLiteral("Export file could not be created.  There were no contacts on file."),
                QStringLiteral("Export file not created"), MessageIcon::Information};
    const QString kind = format == ExportFormat::Csv    ? QStringLiteral("csv")
                         : format == ExportFormat::Text ? QStringLiteral("text")
                                                        : QStringLiteral("vCard");
    return {QStringLiteral("D O N E !  A %1 file of contacts has been created and stored in your Postwick folder.  "
                           "This file is named %2")
                .arg(kind, fileName),
            QStringLiteral("Export file created")};
}

}  // namespace pw
