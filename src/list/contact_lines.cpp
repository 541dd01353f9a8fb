#include "list/contact_lines.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "list/contact_search.h"

#include <algorithm>
#include <numeric>

namespace pw {
namespace {

const QString kUnknown = QStringLiteral("Unknown");

// The field as stored: padded with blanks to its width.
QString stored(const QString& text, int width)
{
    return text.leftJustified(width, u' ', true);
}

QString orUnknown(const QString& text, int width)
{
    return stored(trimBlanks(text).size() < 2 ? kUnknown : text, width);
}

// A phone whose number reads as 0, such as one that begins with a parenthesis, shows as blanks.
QString phone(const QString& text)
{
    return numericValue(text) >= 1 ? stored(text, 15) : QString(22, u' ');
}

QString street(const QString& street1)
{
    const qsizetype length = street1.size();
    if (length < 2)
        return QString(40, u' ');
    if (length >= 3 && length <= 19)
        return street1 + QString(12, u' ');
    return street1;
}

struct HeaderWord final {
    const char16_t* word;
    int at;
};

QString headerOf(std::initializer_list<HeaderWord> words)
{
    QString header;
    for (const HeaderWord& w : words)
        header = header.leftJustified(w.at, u' ') + QString::fromUtf16(w.word);
    return header;
}

}  // namespace

DisplayValues displayValues(const ContactRecord& record)
{
    DisplayValues v;
    v.first = record.FirstName;
    v.last = record.LastName;
    const QChar initial = record.MiddleInitial.isEmpty() ? QChar() : record.MiddleInitial.front();
    if (initial.unicode() >= u'A' && initial.unicode() <= u'Z')
        v.initial = QString(initial) + QStringLiteral(". ");
    v.street = street(record.Street1);
    v.street2 = record.Street2;
    v.city = orUnknown(record.City, 16);
    v.state = stored(record.State, 2);
    v.zip = orUnknown(record.Zip, 10);
    v.home = phone(record.HomePhone);
    v.cell = phone(record.CellPhone);
    v.email = stored(record.Email, 50);
    return v;
}

QString contactLine(const DisplayValues& v, SortOrder order, AddressDisplay display)
{
    QString line;
    line.reserve(160);
    if (order == SortOrder::FirstName)
        line += v.first + u' ' + v.initial + v.last;
    else
        line += v.last + QStringLiteral(", ") + v.first + u' ' + v.initial;
    line += u'\t';
    if (display == AddressDisplay::Email) {
        line += v.city + u'\t' + v.state + u'\t' + v.zip + u'\t' + v.home + u'\t' + v.cell + u'\t' + v.email;
    } else {
        line += v.street + u' ' + v.street2 + u'\t' + v.city + u'\t' + v.state + u'\t' + v.zip + QString(6, u' ') +
                u'\t' + v.home + u'\t' + v.cell;
    }
    return line;
}

QString listHeader(AddressDisplay display)
{
    if (display == AddressDisplay::Email)
        return headerOf({{u"Name", 0}, {u"City", 35}, {u"ST", 54}, {u"Zip", 61}, {u"Home", 73}, {u"Cell", 86},
                         {u"Email Address", 109}});
    return headerOf({{u"Name", 0}, {u"Street", 23}, {u"City", 59}, {u"ST", 80}, {u"Zip", 89}, {u"Home", 112},
                     {u"Cell", 132}});
}

std::array<int, 7> listTabStops(AddressDisplay display)
{
    if (display == AddressDisplay::Email)
        return {100, 110, 120, 154, 176, 212, 242};
    return {70, 70, 76, 120, 170, 200, 230};
}

QString lineSortKey(const QString& text)
{
    return text.toCaseFolded();
}

void sortLines(std::vector<ContactLine>& lines)
{
    std::vector<QString> keys;
    keys.reserve(lines.size());
    for (const ContactLine& line : lines)
        keys.push_back(lineSortKey(line.text));
    std::vector<quint32> order(lines.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) { return keys[a] < keys[b]; });
    std::vector<ContactLine> sorted;
    sorted.reserve(lines.size());
    for (quint32 i : order)
        sorted.push_back(std::move(lines[i]));
    lines = std::move(sorted);
}

Expected<std::vector<ContactLine>> contactLines(const ContactsFile& contacts, const ContactSearch& search,
                                                SortOrder order, AddressDisplay display)
{
    auto records = contacts.readAll();
    if (!records)
        return std::unexpected(records.error());
    std::vector<ContactLine> lines;
    lines.reserve(records->size());
    int number = 0;
    for (const ContactRecord& record : *records) {
        ++number;
        const DisplayValues values = displayValues(record);
        if (search.takes(record, values))
            lines.push_back({contactLine(values, order, display), number});
    }
    return lines;
}

}  // namespace pw
