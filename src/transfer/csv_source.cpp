#include "transfer/csv_source.h"

#include "data/same_person.h"
#include "data/text_rules.h"
#include "transfer/address_book_entry.h"
#include "transfer/heading_names.h"

#include <algorithm>

namespace pw {
namespace {

// Lines before the heading line that a file may hold: a title, a note on what it holds.
constexpr int kPreambleLines = 20;
// Headings quoted when none is known; more are counted as "...".
constexpr int kHeadingsShown = 12;

// The physical lines of the text with where each starts, up to `count` that hold anything.
struct LineAt {
    qsizetype start = 0;
    QStringView text;
    int number = 1;
};
std::vector<LineAt> firstLines(QStringView text, int count)
{
    std::vector<LineAt> lines;
    qsizetype start = 0;
    int number = 1;
    while (start < text.size() && int(lines.size()) < count) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        if (!trimBlanks(text.sliced(start, end - start).toString()).isEmpty())
            lines.push_back({start, text.sliced(start, end - start), number});
        qsizetype next = end;
        if (next < text.size())
            next += text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n' ? 2 : 1;
        start = next;
        ++number;
    }
    return lines;
}

QString whyNotRead(const QStringList& heading)
{
    QStringList unknown;
    bool named = false;
    for (const QString& h : heading) {
        const std::optional<HeadingMeaning> m = headingMeaning(h);
        if (!m && !h.trimmed().isEmpty())
            unknown.append(blankControlCharacters(h).simplified());
        named = named || (m && (m->part == EntryPart::Given || m->part == EntryPart::Family || m->part == EntryPart::FullName));
    }
    QString why;
    if (!unknown.isEmpty()) {
        const qsizetype shown = std::min<qsizetype>(unknown.size(), kHeadingsShown);
        why = QStringLiteral("headings not recognised: ") + unknown.mid(0, shown).join(QStringLiteral("; "))
              + (unknown.size() > shown ? QStringLiteral("; ...") : QString()) + QStringLiteral(".  ");
    } else if (!named) {
        why = QStringLiteral("no heading for a name among: ") + heading.join(QStringLiteral("; ")) + QStringLiteral(".  ");
    }
    return why + QStringLiteral("The heading line needs a name (First Name, Last Name or Name) and one more heading "
                                "it knows, such as E-mail Address, Street, City, Zip or Phone.");
}

bool isAddressPart(EntryPart part)
{
    return part >= EntryPart::Street && part != EntryPart::AddressType;
}

// The entry's address the contact took: the one whose city, postal code and country it holds.
QString chosenAddress(const AddressBookEntry& entry, const ContactRecord& r)
{
    for (const AddressBookEntry::Address& a : entry.addresses) {
        auto same = [](const QString& value, const QString& stored) {
            return blankControlCharacters(value.trimmed()) == stored;
        };
        // The city may be followed by its region ("Rozelle NSW").
        const QString city = blankControlCharacters(a.city.trimmed());
        const bool sameCity = city == r.City || (!city.isEmpty() && r.City.startsWith(city + u' '));
        if (!a.isEmpty() && sameCity && same(a.postalCode, r.Zip) && same(a.country, r.Country))
            return a.key;
    }
    return {};
}

// Whether the value of a bound column is in the contact: a second e-mail, a fax number or a second
// address has no field of its own.
bool kept(const BoundColumn& b, const QString& value, const QString& address, const ContactRecord& r)
{
    if (isAddressPart(b.part))
        return b.key == address;
    if (b.part == EntryPart::Email)
        return value.split(QStringLiteral(" ::: ")).contains(r.Email);
    if (b.part == EntryPart::Phone) {
        const QString digits = digitsOf(value.section(QStringLiteral(" ::: "), 0, 0));
        for (const QString* phone : {&r.HomePhone, &r.CellPhone, &r.WorkPhone}) {
            const QString stored = digitsOf(*phone);
            if (stored.isEmpty() ? !phone->isEmpty() && value == *phone : digits.endsWith(stored))
                return true;
        }
        return false;
    }
    return true;
}

// A date written day first with full stops, as the desktop programs of most European languages
// write a birthday ("24.12.1970", and "0.0.00" for none), in the year-first form the import reads.
QString dottedDate(const QString& text)
{
    const QStringList parts = text.trimmed().split(u'.');
    if (parts.size() != 3 || !std::all_of(parts.begin(), parts.end(), [](const QString& p) {
            return !p.isEmpty() && p.size() <= 4 && !digitsOf(p).isEmpty() && digitsOf(p).size() == p.size();
        }))
        return text;
    if (parts[0].toInt() == 0 && parts[1].toInt() == 0)
        return QString();
    return parts[2] + u'-' + parts[1] + u'-' + parts[0];
}

QString columnName(const QStringList& heading, qsizetype k)
{
    const QString h = heading.value(k).trimmed();
    return h.isEmpty() ? QStringLiteral("%1").arg(k + 1) : h;
}

}  // namespace

std::expected<CsvSource, FileError> readCsvSource(const QString& text)
{
    CsvSource source;
    const std::vector<LineAt> lines = firstLines(text, kPreambleLines);
    if (lines.empty())
        return source;
    const LineAt* found = nullptr;
    QChar separator = u',';
    for (const LineAt& line : lines) {
        separator = headingSeparator(line.text);
        const std::vector<CsvRow> heading = parseCsv(line.text, separator);
        if (!heading.empty() && (source.layout = recogniseLayout(heading.front().fields))) {
            found = &line;
            break;
        }
    }
    if (!found) {
        separator = headingSeparator(lines.front().text);
        const std::vector<CsvRow> heading = parseCsv(lines.front().text, separator);
        source.heading = heading.empty() ? QStringList() : heading.front().fields;
        source.whyNot = whyNotRead(source.heading);
        return source;
    }
    source.rows = parseCsv(QStringView(text).sliced(found->start), separator, found->number);
    source.heading = source.rows.front().fields;
    source.rows.erase(source.rows.begin());
    source.read.assign(std::size_t(source.heading.size()), false);
    if (const auto* named = std::get_if<NamedColumns>(&source.layout->columns)) {
        source.bound = named->bind(source.heading);
        for (const BoundColumn& b : source.bound)
            source.read[std::size_t(b.column)] = true;
        return source;
    }
    const auto& positional = std::get<PositionalColumns>(source.layout->columns);
    auto prepared = prepareHeading(positional, source.heading);
    if (!prepared)
        return std::unexpected(prepared.error());
    if (!*prepared) {
        source.layout = nullptr;
        source.whyNot = QStringLiteral("no e-mail heading (E-mail Address, Email Address, E-mail or Email) among: ")
                        + source.heading.join(QStringLiteral("; ")) + u'.';
        return source;
    }
    source.prepared = std::move(**prepared);
    for (const ColumnRule& rule : positional.rules) {
        const qsizetype h = rule.column == 0 ? source.prepared.size() - 1 : rule.column - 1;
        if (h >= 0 && h < source.prepared.size() && h < qsizetype(source.read.size())
            && source.prepared[h] == QLatin1StringView(rule.heading))
            source.read[std::size_t(h)] = true;
    }
    return source;
}

CsvContact contactFromCsvRow(const CsvSource& source, const QStringList& row)
{
    CsvContact c;
    const auto* positional = std::get_if<PositionalColumns>(&source.layout->columns);
    AddressBookEntry entry;
    if (positional) {
        c.contact = contactFromRow(*positional, source.prepared, row);
        c.notAContact = !c.contact;
    } else if (row == source.heading) {
        c.notAContact = true;  // the heading line repeated, as files joined together have it
    } else {
        entry = entryFromRow(source.bound, row);
        entry.birthday = dottedDate(entry.birthday);
        if (std::optional<EntryContact> taken = contactFromEntry(entry)) {
            c.contact = std::move(taken->record);
            c.noRoom = std::move(taken->noRoom);
            c.notes = std::move(taken->notes);
            c.cut = taken->cut;
        }
    }
    if (!c.contact)
        return c;
    const QString address = positional ? QString() : chosenAddress(entry, *c.contact);
    for (qsizetype k = 0; k < row.size(); ++k) {
        const QString value = row[k].trimmed();
        if (value.isEmpty())
            continue;
        bool isKept = k < qsizetype(source.read.size()) && source.read[std::size_t(k)];
        if (isKept && !positional) {
            const auto b = std::find_if(source.bound.begin(), source.bound.end(),
                                        [&](const BoundColumn& bc) { return bc.column == k; });
            isKept = kept(*b, value, address, *c.contact);
        }
        if (!isKept)
            c.notKept.append(columnName(source.heading, k));
    }
    return c;
}

}  // namespace pw
