#include "transfer/csv_import.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "transfer/address_book_entry.h"
#include "transfer/csv_text.h"
#include "transfer/import_layouts.h"
#include "transfer/vcard.h"

#include <QBuffer>
#include <QIODevice>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <vector>

namespace pw {
namespace {

constexpr int kProgressEvery = 64;  // rows between two progress reports

// The records on file and the rows taken so far, by the values the duplicate test compares.
class DuplicateIndex final {
public:
    explicit DuplicateIndex(bool nameAlone) : nameAlone_(nameAlone) {}

    Status load(const ContactsFile& contacts)
    {
        // Only the four compared fields are decoded: the rest would cost most of the time.
        const ContactRecord::Field first = field(&ContactRecord::FirstName);
        const ContactRecord::Field last = field(&ContactRecord::LastName);
        const ContactRecord::Field email = field(&ContactRecord::Email);
        const ContactRecord::Field street = field(&ContactRecord::Street1);
        return contacts.forEachStored([&](int, QByteArrayView stored) {
            ContactRecord r;
            r.FirstName = fromCodePage(trimmed(stored, first));
            r.LastName = fromCodePage(trimmed(stored, last));
            r.Email = fromCodePage(trimmed(stored, email));
            r.Street1 = fromCodePage(trimmed(stored, street));
            add(r);
            return Visit::Next;
        });
    }

    void add(const ContactRecord& stored)
    {
        for (const QString& key : keys(stored))
            keys_.insert(key);
    }

    // A row is a duplicate when its first and last name match and so does its e-mail or its
    // street, compared as the record would store them: two people may share an e-mail or a house.
    // With `nameAlone`, a name with neither matches the same name with neither: an address book read
    // again from its server holds the same card, which would otherwise come in at every update.
    bool contains(const ContactRecord& stored) const
    {
        const QStringList k = keys(stored);
        return std::any_of(k.begin(), k.end(), [&](const QString& key) { return keys_.contains(key); });
    }

private:
    static ContactRecord::Field field(QString ContactRecord::*member)
    {
        for (const ContactRecord::Field& f : ContactRecord::kFields) {
            if (f.member == member)
                return f;
        }
        return {};
    }
    static QByteArrayView trimmed(QByteArrayView record, const ContactRecord::Field& f)
    {
        QByteArrayView v = record.sliced(f.offset, f.width);
        while (!v.isEmpty() && v.front() == ' ')
            v = v.sliced(1);
        while (!v.isEmpty() && v.back() == ' ')
            v.chop(1);
        return v;
    }
    QStringList keys(const ContactRecord& r) const
    {
        const QString name = r.FirstName + u'\x1f' + r.LastName + u'\x1f';
        QStringList k;
        if (!r.Email.isEmpty())
            k.append(name + QStringLiteral("e:") + r.Email);
        if (!r.Street1.isEmpty())
            k.append(name + QStringLiteral("s:") + r.Street1);
        if (k.isEmpty() && nameAlone_)
            k.append(name);
        return k;
    }

    bool nameAlone_;
    QSet<QString> keys_;
};

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
    QStringList noRoom;  // address lines the contact has no room for
};

// A contact from an address-book entry, with what it could not hold.
void takeEntry(Candidate& c, const AddressBookEntry& entry)
{
    if (std::optional<EntryContact> taken = contactFromEntry(entry)) {
        c.contact = std::move(taken->record);
        c.noRoom = std::move(taken->noRoom);
    }
}

// What a skipped row shows of itself: enough to find it in the file, never a screenful.
QString shortText(const QString& text)
{
    constexpr qsizetype kShown = 160;
    const QString line = text.simplified();
    return line.size() > kShown ? line.left(kShown - 3) + QStringLiteral("...") : line;
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
    if (!bytes)
        return fail(bytes.error());
    // Each source gives its rows one by one; all share the duplicate test, batches and progress.
    std::size_t total = 0;
    std::function<Candidate(std::size_t)> candidate;

    std::vector<VCard> cards;
    std::vector<CsvRow> rows;
    const LayoutRules* layout = nullptr;
    const PositionalColumns* positional = nullptr;  // none for a layout that reads named columns
    QStringList heading;
    std::vector<BoundColumn> bound;
    if (isVCardFile(*bytes)) {
        result.vCard = true;
        cards = parseVCards(*bytes);
        total = cards.size();
        candidate = [&](std::size_t i) -> Candidate {
            const VCard& card = cards[i];
            Candidate c{card.line, card.text, std::nullopt, SkippedRow::Reason::NotAContact, {}};
            if (card.error.isEmpty()) {
                takeEntry(c, card.entry);
                c.reasonWhenNone = SkippedRow::Reason::NoName;
            } else {
                c.text = card.error;
            }
            return c;
        };
    } else {
        rows = parseCsv(decodeImportText(*bytes));
        layout = rows.empty() ? nullptr : recogniseLayout(rows.front().fields);
        if (!layout) {
            result.end = ImportResult::End::NotCompatible;
            return result;
        }
        positional = std::get_if<PositionalColumns>(&layout->columns);
        if (!positional) {
            bound = std::get<NamedColumns>(layout->columns).bind(rows.front().fields);
        } else {
            auto prepared = prepareHeading(*positional, rows.front().fields);
            if (!prepared)
                return fail(prepared.error());
            if (!*prepared) {
                result.end = ImportResult::End::NotCompatible;
                return result;
            }
            heading = std::move(**prepared);
        }
        total = rows.size() - 1;
        candidate = [&](std::size_t i) -> Candidate {
            const CsvRow& row = rows[i + 1];
            Candidate c{row.line, joinedColumns(row.fields), std::nullopt, SkippedRow::Reason::NoName, {}};
            if (!positional) {
                takeEntry(c, entryFromRow(bound, row.fields));
                return c;
            }
            c.contact = contactFromRow(*positional, heading, row.fields);
            c.reasonWhenNone = SkippedRow::Reason::NotAContact;
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
    DuplicateIndex existing(options.nameAloneMatches);
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
            for (const ContactRecord::Field& f : ContactRecord::kFields) {
                QString& value = r.*f.member;
                if (countUnstorable(value) == 0)
                    continue;
                const QString nearest = nearestStorable(value);
                ++result.replaced;
                result.changed.append(
                    QStringLiteral("Line %1: \"%2\" stored as \"%3\"").arg(c.line).arg(value, nearest));
                value = nearest;
            }
            const ContactRecord stored = ContactRecord::decode(r.encode());
            if (existing.contains(stored)) {
                skip(c, SkippedRow::Reason::Duplicate);
            } else {
                existing.add(stored);
                if (!date) {
                    ++result.datesLeftOut;
                    result.changed.append(
                        QStringLiteral("Line %1: birthday \"%2\" is no date, left out").arg(c.line).arg(dateAsWritten));
                }
                result.fieldsCut += int(c.noRoom.size());
                for (const QString& line : c.noRoom)
                    result.changed.append(QStringLiteral("Line %1: address line \"%2\" left out, no room in Street 2")
                                              .arg(c.line)
                                              .arg(line));
                result.fieldsCut += fieldsCutToFit(r);
                for (const ContactRecord::Field& f : ContactRecord::kFields) {
                    const QString value = trimLeadingBlanks(r.*f.member);
                    if (value.size() > f.width)
                        result.changed.append(QStringLiteral("Line %1: \"%2\" cut to \"%3\"")
                                                  .arg(c.line)
                                                  .arg(value, trimTrailingBlanks(value.left(f.width))));
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
    for (const QByteArray& card : cards) {
        if (!isVCardFile(card)) {
            notCards.push_back({0, SkippedRow::Reason::NotAContact, shortText(QString::fromUtf8(card))});
            continue;
        }
        joined += card;
        if (!card.endsWith('\n'))
            joined += "\r\n";
    }
    ImportResult result;
    result.vCard = true;
    if (!joined.isEmpty()) {
        QBuffer buffer(&joined);
        buffer.open(QIODevice::ReadOnly);
        result = importContacts(buffer, contacts, options);
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
        return Message{QStringLiteral("CSV file not compatible with import function."),
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
    if (!result.vCard)
        lines[0] = count(result.read, "row read", "rows read");
    if (result.notContacts > 0)
        lines.append(count(result.notContacts, "skipped as not a contact", "skipped as not contacts"));
    lines.append(count(result.fieldsCut, "field cut to fit", "fields cut to fit"));
    if (result.datesLeftOut > 0)
        lines.append(count(result.datesLeftOut, "birthday left out as no date", "birthdays left out as no date"));
    if (result.replaced > 0)
        lines.append(count(result.replaced, "value given the nearest letters the file holds",
                           "values given the nearest letters the file holds"));
    return lines;
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

}  // namespace pw
