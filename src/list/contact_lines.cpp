#include "list/contact_lines.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "list/contact_search.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

namespace pw {
namespace {
using namespace Qt::StringLiterals;

constexpr QStringView kUnknown = u"Unknown";

QStringView orUnknown(const QString& text)
{
    QStringView trimmed = text;
    while (!trimmed.isEmpty() && trimmed.front() == u' ')
        trimmed = trimmed.sliced(1);
    while (!trimmed.isEmpty() && trimmed.back() == u' ')
        trimmed.chop(1);
    return trimmed.size() < 2 ? kUnknown : QStringView(text);
}

// A phone is shown when its digits, read past the punctuation people write them with ("(796)
// 555-1050", "+1 418 555 0100"), make a number of 1 or more: a blank or all-zero phone is not.
QStringView phone(const QString& text)
{
    const bool anyNonZero = std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });
    return anyNonZero ? QStringView(text) : QStringView();
}

// The sort keys of all lines in one buffer: each line case-folded and written as UTF-8, whose
// byte order is the order of the UTF-16 code units that QString compares. The first 16 bytes of
// each key, packed into two numbers, decide most comparisons without touching the buffer.
struct KeyRef final {
    quint64 prefix;
    quint64 next;
    quint32 offset;
    quint32 length;
    quint32 index;
};

// Writes the sort letters of `text` as UTF-8 at `out`, at most 3 bytes a character; returns the end.
char* writeSortKeyUtf8(char* out, QStringView text)
{
    for (QChar c : text) {
        char16_t u = c.unicode();
        if (u < 0x80) {  // most names: folded here, without a call
            *out++ = static_cast<char>(u >= u'A' && u <= u'Z' ? u + 32 : u);
            continue;
        }
        u = sortLetter(c).unicode();
        if (u < 0x80) {
            *out++ = static_cast<char>(u);
            continue;
        }
        if (u < 0x800) {
            *out++ = static_cast<char>(0xC0 | (u >> 6));
        } else {
            *out++ = static_cast<char>(0xE0 | (u >> 12));
            *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        }
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
}

}  // namespace

QStringView shownCity(const ContactRecord& record)
{
    return orUnknown(record.City);
}

QStringView shownZip(const ContactRecord& record)
{
    return orUnknown(record.Zip);
}

DisplayValues displayValues(const ContactRecord& record)
{
    DisplayValues v;
    v.first = record.FirstName;
    v.last = record.LastName;
    if (!record.MiddleInitial.isEmpty()) {
        const QChar initial = record.MiddleInitial.front();
        if (initial.unicode() >= u'A' && initial.unicode() <= u'Z')
            v.initial = initial;
    }
    const qsizetype streetLength = record.Street1.size();
    if (streetLength < 2)
        v.streetBlanks = 40;
    else
        v.street = record.Street1;
    if (streetLength >= 3 && streetLength <= 19)
        v.streetBlanks = 12;
    v.street2 = record.Street2;
    v.city = shownCity(record);
    v.state = record.State;
    v.zip = shownZip(record);
    v.home = phone(record.HomePhone);
    v.cell = phone(record.CellPhone);
    v.email = record.Email;
    return v;
}

namespace {

// Measures a line before it is written, so that each line is allocated once at its length.
struct LengthCounter final {
    qsizetype length = 0;
    void put(QStringView text) { length += text.size(); }
    void put(QChar) { ++length; }
    void blanks(qsizetype count) { length += std::max<qsizetype>(count, 0); }
};

struct LineWriter final {
    QChar* at;
    void put(QStringView text)
    {
        if (!text.isEmpty())  // an empty field's data may be null, which memcpy must not get
            std::memcpy(at, text.data(), text.size() * sizeof(QChar));
        at += text.size();
    }
    void put(QChar c) { *at++ = c; }
    void blanks(qsizetype count)
    {
        for (; count > 0; --count)
            *at++ = u' ';
    }
};

// The field as stored: padded with blanks to its width.
template <typename Out>
void putStored(Out& out, QStringView text, int width)
{
    const QStringView shown = text.left(width);
    out.put(shown);
    out.blanks(width - shown.size());
}

template <typename Out>
void putPhone(Out& out, QStringView text)
{
    if (text.isEmpty())
        out.blanks(22);
    else
        putStored(out, text, 15);
}

template <typename Out>
void putLine(Out& out, const DisplayValues& v, SortOrder order, AddressDisplay display)
{
    const auto putInitial = [&] {
        if (!v.initial.isNull()) {
            out.put(v.initial);
            out.put(u". ");
        }
    };
    if (order == SortOrder::FirstName) {
        out.put(v.first);
        out.put(u' ');
        putInitial();
        out.put(v.last);
    } else {
        out.put(v.last);
        out.put(u", ");
        out.put(v.first);
        out.put(u' ');
        putInitial();
    }
    out.put(u'\t');
    if (display == AddressDisplay::Street) {
        out.put(v.street);
        out.blanks(v.streetBlanks);
        out.put(u' ');
        out.put(v.street2);
        out.put(u'\t');
    }
    putStored(out, v.city, 16);
    out.put(u'\t');
    putStored(out, v.state, 2);
    out.put(u'\t');
    putStored(out, v.zip, 10);
    if (display == AddressDisplay::Street)
        out.blanks(6);
    out.put(u'\t');
    putPhone(out, v.home);
    out.put(u'\t');
    putPhone(out, v.cell);
    if (display == AddressDisplay::Email) {
        out.put(u'\t');
        putStored(out, v.email, 50);
    }
}

}  // namespace

QString contactLine(const DisplayValues& values, SortOrder order, AddressDisplay display)
{
    LengthCounter counter;
    putLine(counter, values, order, display);
    QString line(counter.length, Qt::Uninitialized);
    LineWriter writer{line.data()};
    putLine(writer, values, order, display);
    return line;
}

QStringList listHeadings(AddressDisplay display)
{
    if (display == AddressDisplay::Email)
        return {u"Name"_s, u"City"_s, u"ST"_s, u"Zip"_s, u"Home"_s, u"Cell"_s, u"Email Address"_s};
    return {u"Name"_s, u"Street"_s, u"City"_s, u"ST"_s, u"Zip"_s, u"Home"_s, u"Cell"_s};
}

std::array<int, 7> listColumns(AddressDisplay display)
{
    // Name 26 characters; street and second line 38; city 20; state 7; zip 14; phones 20; e-mail 52.
    if (display == AddressDisplay::Email)
        return {104, 184, 212, 268, 348, 428, 636};
    return {104, 256, 336, 364, 420, 500, 580};
}

QString lineSortKey(const QString& text)
{
    return sortKey(text);
}

void sortLines(std::vector<ContactLine>& lines)
{
    std::size_t total = 0;
    for (const ContactLine& line : lines)
        total += line.text.size();
    // Room for the longest encoding; only the pages written are ever touched.
    const std::unique_ptr<char[]> keys(new char[3 * total + 8]);
    std::vector<KeyRef> refs;
    refs.reserve(lines.size());
    char* end = keys.get();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        char* start = end;
        end = writeSortKeyUtf8(start, lines[i].text);
        const std::size_t length = end - start;
        char head[16] = {};
        std::memcpy(head, start, std::min<std::size_t>(length, 16));
        refs.push_back({qFromBigEndian<quint64>(head), qFromBigEndian<quint64>(head + 8), quint32(start - keys.get()),
                        quint32(length), quint32(i)});
    }
    const char* base = keys.get();
    std::sort(refs.begin(), refs.end(), [base](const KeyRef& a, const KeyRef& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        if (a.next != b.next)
            return a.next < b.next;
        // Equal heads: on, eight bytes at a time, to the first difference.
        const quint32 common = std::min(a.length, b.length);
        quint32 at = 16;
        for (; at + 8 <= common; at += 8) {
            const auto x = qFromBigEndian<quint64>(base + a.offset + at);
            const auto y = qFromBigEndian<quint64>(base + b.offset + at);
            if (x != y)
                return x < y;
        }
        if (at < common) {
            const int c = std::memcmp(base + a.offset + at, base + b.offset + at, common - at);
            if (c != 0)
                return c < 0;
        }
        if (a.length != b.length)
            return a.length < b.length;
        return a.index < b.index;
    });
    std::vector<ContactLine> sorted;
    sorted.reserve(lines.size());
    for (const KeyRef& ref : refs)
        sorted.push_back(std::move(lines[ref.index]));
    lines = std::move(sorted);
}

Expected<std::vector<ContactLine>> contactLines(const ContactsFile& contacts, const ContactSearch& search,
                                                SortOrder order, AddressDisplay display)
{
    std::vector<ContactLine> lines;
    if (auto count = contacts.recordCount())
        lines.reserve(*count);
    // Only the fields a line shows or a search reads are decoded: notes and the rest are skipped.
    static const std::vector<ContactRecord::Field> fields = [] {
        const auto used = {&ContactRecord::FirstName, &ContactRecord::MiddleInitial, &ContactRecord::LastName,
                           &ContactRecord::Street1,   &ContactRecord::Street2,       &ContactRecord::City,
                           &ContactRecord::State,     &ContactRecord::Zip,           &ContactRecord::HomePhone,
                           &ContactRecord::CellPhone, &ContactRecord::Email,         &ContactRecord::Category,
                           &ContactRecord::Company};
        std::vector<ContactRecord::Field> chosen;
        std::copy_if(ContactRecord::kFields.begin(), ContactRecord::kFields.end(), std::back_inserter(chosen),
                     [&](const ContactRecord::Field& f) {
                         return std::find(used.begin(), used.end(), f.member) != used.end();
                     });
        return chosen;
    }();
    ContactRecord record;
    auto visited = contacts.forEachStored([&](int number, QByteArrayView stored) {
        ContactRecord::decodeInto(stored, record, fields);
        if (search.takes(record))
            lines.push_back({contactLine(displayValues(record), order, display), number});
        return Visit::Next;
    });
    if (!visited)
        return std::unexpected(visited.error());
    return lines;
}

}  // namespace pw
