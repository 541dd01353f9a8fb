#include "transfer/csv_import.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "transfer/address_book_entry.h"
#include "transfer/csv_source.h"
#include "transfer/csv_text.h"
#include "transfer/duplicate_index.h"
#include "transfer/ldif.h"
#include "transfer/vcard.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

constexpr int kProgressEvery = 64;  // rows between two progress reports

Expected<QByteArray> readWhole(QIODevice& device)
{
    QByteArray bytes;
    char buffer[1 << 16];
    for (;;) {
        errno = 0;
        const qint64 got = device.read(buffer, sizeof buffer);
        if (got < 0)
            return std::unexpected(FileError{errno != 0 ? errno : EIO, device.errorString()});
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

// One row or card on its way into the contacts file.
struct Candidate {
    int line = 0;
    QString text;
    std::optional<ContactRecord> contact;
    SkippedRow::Reason reasonWhenNone = SkippedRow::Reason::NoName;
    QStringList noRoom;   // address lines the contact has no room for
    QStringList notKept;  // "column 'Spouse' not kept", for a contact taken
    QStringList notes;    // what else was not stored as given, for a contact taken
    int cut = 0;          // of those, values left out for want of room
};

// A contact from an address-book entry, with what it could not hold.
void takeEntry(Candidate& c, const AddressBookEntry& entry)
{
    if (std::optional<EntryContact> taken = contactFromEntry(entry)) {
        c.contact = std::move(taken->record);
        c.noRoom = std::move(taken->noRoom);
        c.notes = std::move(taken->notes);
        c.cut = taken->cut;
    }
}

// What a skipped row shows of itself: enough to find it in the file, never a screenful.
QString shortText(const QString& text, qsizetype shown = 160)
{
    const QString line = text.simplified();
    return line.size() > shown ? line.left(shown - 3) + QStringLiteral("...") : line;
}

// A value as a summary quotes it: at most 60 characters, a longer one cut with "...".
constexpr qsizetype kQuotedAtMost = 60;
QString quoted(const QString& value)
{
    return u'"' + shortText(value, kQuotedAtMost) + u'"';
}

// Text in UTF-16 without a byte-order mark, as some programs write it, told by its zero bytes (every
// other byte of Latin text), as UTF-8 with a mark; other bytes as they are.
QByteArray withoutBareUtf16(QByteArray bytes)
{
    const qsizetype n = std::min<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    if (n < 4 || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return bytes;
    qsizetype evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        evenZeros += bytes[i] == 0;
        oddZeros += bytes[i + 1] == 0;
    }
    if (std::max(evenZeros, oddZeros) < n / 4 || std::min(evenZeros, oddZeros) > 0)
        return bytes;
    QStringDecoder utf16(evenZeros > oddZeros ? QStringConverter::Utf16BE : QStringConverter::Utf16LE);
    return "\xEF\xBB\xBF" + QString(utf16(bytes)).toUtf8();
}

bool isUsOrNoCountry(const QString& country)
{
    static const QSet<QString> us = {u""_s, u"us"_s, u"usa"_s, u"u.s."_s, u"u.s.a."_s, u"united states"_s,
                                     u"united states of america"_s};
    return us.contains(country.trimmed().toLower());
}

// A US zip code that a spreadsheet read as a number has lost its leading zeros (01327 became
// 1327): they are put back, and the note says so.
std::optional<QString> mendedZip(ContactRecord& r)
{
    const QString zip = r.Zip.trimmed();
    if ((zip.size() != 3 && zip.size() != 4) || !isUsOrNoCountry(r.Country)
        || !std::all_of(zip.begin(), zip.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    r.Zip = zip.rightJustified(5, u'0');
    return QStringLiteral("zip code %1 given its leading zeros: %2").arg(quoted(zip), quoted(r.Zip));
}

}  // namespace

ImportResult importContacts(QIODevice& csv, ContactsFile& contacts, const ImportOptions& options)
{
    ImportResult result;
    bool begun = false;  // records are going to the file, to be kept only by the commit at the end
    auto fail = [&](const FileError& error) {
        if (begun)
            contacts.undoAppends();
        result.end = ImportResult::End::Failed;
        result.error = error;
        return result;
    };

    auto bytes = readWhole(csv);
    if (!bytes) {
        result.sourceFailed = true;
        return fail(bytes.error());
    }
    *bytes = withoutBareUtf16(std::move(*bytes));
    // Each source gives its rows one by one; all share the duplicate test, batches and progress.
    std::size_t total = 0;
    std::function<Candidate(std::size_t)> candidate;

    std::vector<VCard> cards;
    std::vector<LdifEntry> entries;
    CsvSource table;
    if (isVCardFile(*bytes)) {
        result.vCard = true;
        cards = parseVCards(*bytes);
        total = cards.size();
        candidate = [&](std::size_t i) -> Candidate {
            const VCard& card = cards[i];
            Candidate c{card.line, card.text, std::nullopt, SkippedRow::Reason::NotAContact, {}, {}, {}, 0};
            result.changed += card.notes;
            if (card.error.isEmpty()) {
                takeEntry(c, card.entry);
                c.reasonWhenNone = SkippedRow::Reason::NoName;
            } else {
                c.text = card.error;
            }
            return c;
        };
    } else if (isLdifFile(*bytes)) {
        result.ldif = true;
        entries = parseLdif(*bytes);
        total = entries.size();
        candidate = [&](std::size_t i) -> Candidate {
            const LdifEntry& e = entries[i];
            Candidate c{e.line, e.text, std::nullopt, SkippedRow::Reason::NotAContact, {}, {}, {}, 0};
            if (e.isPerson) {
                takeEntry(c, e.entry);
                c.reasonWhenNone = SkippedRow::Reason::NoName;
            }
            for (const QString& name : e.notKept)
                c.notKept.append(QStringLiteral("attribute '%1' not kept").arg(name));
            return c;
        };
    } else {
        const ImportText text = readImportText(*bytes);
        auto source = readCsvSource(text.text);
        if (!source)
            return fail(source.error());
        table = std::move(*source);
        if (!table.layout) {
            result.end = ImportResult::End::NotCompatible;
            result.whyNot = table.whyNot;
            return result;
        }
        int lastLine = 0;
        for (const ImportText::Repair& repair : text.repairs) {
            if (repair.line == lastLine)
                continue;
            lastLine = repair.line;
            result.changed.append(
                QStringLiteral("Line %1: a byte that is not UTF-8 read as Windows-1252 (\"%2\")").arg(repair.line).arg(repair.letter));
        }
        total = table.rows.size();
        candidate = [&](std::size_t i) -> Candidate {
            const CsvRow& row = table.rows[i];
            CsvContact taken = contactFromCsvRow(table, row.fields);
            Candidate c{row.line, joinedColumns(row.fields), std::move(taken.contact),
                        taken.notAContact ? SkippedRow::Reason::NotAContact : SkippedRow::Reason::NoName,
                        std::move(taken.noRoom), {}, std::move(taken.notes), taken.cut};
            for (const QString& column : taken.notKept)
                c.notKept.append(QStringLiteral("column '%1' not kept").arg(column));
            // A row the layout takes whose name columns are empty is no one to print a label for.
            if (c.contact && c.contact->FirstName.isEmpty() && c.contact->LastName.isEmpty()) {
                c.contact.reset();
                c.reasonWhenNone = SkippedRow::Reason::NoName;
            }
            return c;
        };
    }

    // The stored contacts are read for the duplicate test under the take that the appends keep to the
    // commit, so that no other program's import slips a contact in between.
    if (auto s = contacts.beginAppends(); !s)
        return fail(s.error());
    begun = true;
    DuplicateIndex existing;
    if (auto s = existing.load(contacts); !s)
        return fail(s.error());

    const QString reminders = options.remindersOn ? QStringLiteral("1") : QStringLiteral("0");
    std::vector<ContactRecord> batch;
    batch.reserve(options.batchSize);
    int appended = 0;
    auto flush = [&]() -> Status {
        if (batch.empty())
            return {};
        if (auto s = contacts.append(batch); !s)
            return s;
        appended += int(batch.size());
        batch.clear();
        return {};
    };
    auto skip = [&](const Candidate& c, SkippedRow::Reason reason) {
        int& count = reason == SkippedRow::Reason::Duplicate ? result.duplicates
                     : reason == SkippedRow::Reason::NoName  ? result.noName
                                                             : result.notContacts;
        ++count;
        result.skipped.push_back({c.line, reason, shortText(c.text)});
    };

    for (std::size_t i = 0; i < total; ++i) {
        Candidate c = candidate(i);
        ++result.read;
        if (!c.contact) {
            skip(c, c.reasonWhenNone);
        } else {
            ContactRecord& r = *c.contact;
            r.BirthdayReminders = reminders;
            const QString dateAsWritten = r.Birthdate;
            const std::optional<QString> date = birthdateFromText(dateAsWritten);
            r.Birthdate = date.value_or(QString());
            const std::optional<QString> zip = mendedZip(r);
            const std::vector<MovedPhone> phonesMoved = fitPhones(r);
            QStringList nearer;  // values given the nearest letters the file holds
            for (const ContactRecord::Field& f : ContactRecord::kFields) {
                QString& value = r.*f.member;
                if (countUnstorable(value) == 0)
                    continue;
                const QString nearest = nearestStorable(value);
                nearer.append(QStringLiteral("%1 stored as %2").arg(quoted(value), quoted(nearest)));
                value = nearest;
            }
            const ContactRecord stored = ContactRecord::decode(r.encode());
            if (options.taking && !options.taking(c.line, stored)) {
                --result.read;
            } else if (existing.contains(stored)) {
                skip(c, SkippedRow::Reason::Duplicate);
            } else {
                existing.add(stored);
                auto note = [&](const QString& text) { result.changed.append(QStringLiteral("Line %1: ").arg(c.line) + text); };
                result.replaced += int(nearer.size());
                for (const QString& value : nearer)
                    note(value);
                if (!date) {
                    ++result.datesLeftOut;
                    note(QStringLiteral("birthday %1 is no date, left out").arg(quoted(dateAsWritten)));
                }
                if (zip)
                    note(*zip);
                result.fieldsCut += c.cut;
                for (const QString& text : c.notes)
                    note(text);
                for (const MovedPhone& phone : phonesMoved)
                    note(QStringLiteral("%1 %2 too long for its field, kept whole in Notes")
                             .arg(phone.caption.toLower(), quoted(phone.number)));
                result.fieldsCut += int(c.noRoom.size());
                for (const QString& line : c.noRoom)
                    note(QStringLiteral("address line %1 left out, no room in Street 2").arg(quoted(line)));
                result.fieldsCut += fieldsCutToFit(r);
                for (const ContactRecord::Field& f : ContactRecord::kFields) {
                    const QString value = trimLeadingBlanks(r.*f.member);
                    if (value.size() <= f.width)
                        continue;
                    const QString kept = trimTrailingBlanks(value.left(f.width));
                    note(kept.size() <= kQuotedAtMost
                             ? QStringLiteral("%1 cut to %2").arg(quoted(value), quoted(kept))
                             : QStringLiteral("%1 cut to its first %2 characters").arg(quoted(value)).arg(f.width));
                }
                for (const QString& column : c.notKept) {
                    if (!result.notKept.contains(column))
                        result.notKept.append(column);
                }
                batch.push_back(std::move(r));
            }
        }
        if (int(batch.size()) >= options.batchSize) {
            if (auto s = flush(); !s)
                return fail(s.error());
        }
        const std::size_t done = i + 1;
        if (options.progress && (done % kProgressEvery == 0) && !options.progress(qint64(done), qint64(total))) {
            if (begun)
                contacts.undoAppends();
            result.end = ImportResult::End::Cancelled;
            return result;
        }
    }
    if (auto s = flush(); !s)
        return fail(s.error());
    if (begun) {
        if (auto s = contacts.commitAppends(); !s)
            return fail(s.error());
    }
    result.imported = appended;
    return result;
}

ImportResult importCards(const std::vector<QByteArray>& cards, ContactsFile& contacts, const ImportOptions& options)
{
    QByteArray joined;
    std::vector<SkippedRow> notCards;
    std::vector<std::pair<int, int>> firstLines;  // the line each card begins on in `joined`, and the card
    int lines = 0;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const QByteArray& card = cards[i];
        if (!isVCardFile(card)) {
            notCards.push_back({0, SkippedRow::Reason::NotAContact, shortText(QString::fromUtf8(card))});
            continue;
        }
        firstLines.emplace_back(lines + 1, int(i));
        joined += card;
        if (!card.endsWith('\n'))
            joined += "\r\n";
        lines += int(card.count('\n')) + (card.endsWith('\n') ? 0 : 1);
    }
    ImportResult result;
    result.vCard = true;
    if (!joined.isEmpty()) {
        QBuffer buffer(&joined);
        buffer.open(QIODevice::ReadOnly);
        ImportOptions byCard = options;
        if (options.taking) {
            byCard.taking = [&](int line, const ContactRecord& r) {
                const auto after = std::upper_bound(firstLines.begin(), firstLines.end(), std::pair{line, INT_MAX});
                return options.taking(after == firstLines.begin() ? 0 : std::prev(after)->second, r);
            };
        }
        result = importContacts(buffer, contacts, byCard);
    }
    result.read += int(notCards.size());
    result.notContacts += int(notCards.size());
    result.skipped.insert(result.skipped.end(), notCards.begin(), notCards.end());
    return result;
}

std::optional<Message> importEndMessage(const ImportResult& result)
{
    switch (result.end) {
    case ImportResult::End::Completed:
        return Message{QStringLiteral("D O N E !  %1 contacts successfully imported.").arg(result.imported),
                       QStringLiteral("Import completed")};
    case ImportResult::End::NotCompatible:
        return Message{result.whyNot.isEmpty()
                           ? QStringLiteral("CSV file not compatible with import function.")
                           : QStringLiteral("CSV file not compatible with import function; ") + result.whyNot,
                       QStringLiteral("No contacts imported"), MessageIcon::Information};
    case ImportResult::End::Cancelled:
        return Message{QStringLiteral("Import stopped.  No contacts were imported; the contacts file is as it was."),
                       QStringLiteral("Import stopped"), MessageIcon::Information};
    case ImportResult::End::Failed:
        break;
    }
    return std::nullopt;
}

QStringList importSummaryLines(const ImportResult& result)
{
    auto count = [](int n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1StringView(n == 1 ? one : many));
    };
    QStringList lines = {
        count(result.read, "card read", "cards read"),
        count(result.imported, "contact imported", "contacts imported"),
        count(result.duplicates, "skipped as a duplicate", "skipped as duplicates"),
        count(result.noName, "skipped for having no name", "skipped for having no name"),
    };
    if (result.ldif)
        lines[0] = count(result.read, "entry read", "entries read");
    else if (!result.vCard)
        lines[0] = count(result.read, "row read", "rows read");
    if (result.notContacts > 0)
        lines.append(count(result.notContacts, "skipped as not a contact", "skipped as not contacts"));
    lines.append(count(result.fieldsCut, "field cut to fit", "fields cut to fit"));
    if (result.datesLeftOut > 0)
        lines.append(count(result.datesLeftOut, "birthday left out as no date", "birthdays left out as no date"));
    if (result.replaced > 0)
        lines.append(count(result.replaced, "value given the nearest letters the file holds",
                           "values given the nearest letters the file holds"));
    return lines + result.notKept;
}

QStringList skippedRowLines(const ImportResult& result)
{
    QStringList lines;
    lines.reserve(qsizetype(result.skipped.size()));
    for (const SkippedRow& row : result.skipped) {
        const char* why = row.reason == SkippedRow::Reason::Duplicate ? "duplicate"
                          : row.reason == SkippedRow::Reason::NoName  ? "no name"
                                                                      : "not a contact";
        lines.append(QStringLiteral("Line %1 (%2): %3").arg(row.line).arg(QLatin1StringView(why), row.text));
    }
    return lines;
}

FileError importFailure(const ImportResult& result)
{
    FileError error = result.error.value_or(FileError{});
    error.description += QStringLiteral(" (no contacts were imported)");
    return error;
}

Status openImportFile(QFile& file, const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::unexpected(FileError::fromErrno(errno));
    struct stat st {};
    const char* what = nullptr;
    if (::fstat(fd, &st) != 0)
        what = "cannot be looked at";
    else if (S_ISDIR(st.st_mode))
        what = "a folder";
    else if (S_ISFIFO(st.st_mode))
        what = "a pipe";
    else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        what = "a device";
    else if (!S_ISREG(st.st_mode))
        what = "a socket";
    if (what) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return std::unexpected(FileError{error, QStringLiteral("%1 (%2, not a file to import)")
                                                    .arg(FileError::fromErrno(error).description, QLatin1StringView(what))});
    }
    // Reads of a regular file never wait; the flag only kept the open from waiting on a pipe.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    return {};
}

}  // namespace pw
