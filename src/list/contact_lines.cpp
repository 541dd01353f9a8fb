#include "list/contact_lines.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "list/contact_search.h"

#include <QtConcurrent/QtConcurrentRun>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

namespace pw {
namespace {
using namespace Qt::StringLiterals;

constexpr QStringView kUnknown = u"Unknown";

QStringView orUnknown(QStringView text)
{
    QStringView trimmed = text;
    while (!trimmed.isEmpty() && trimmed.front() == u' ')
        trimmed = trimmed.sliced(1);
    while (!trimmed.isEmpty() && trimmed.back() == u' ')
        trimmed.chop(1);
    return trimmed.size() < 2 ? kUnknown : text;
}

// A phone is shown when its digits, read past the punctuation people write them with ("(796)
// 555-1050", "+1 418 555 0100"), make a number of 1 or more: a blank or all-zero phone is not.
QStringView phone(QStringView text)
{
    const bool anyNonZero = std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });
    return anyNonZero ? text : QStringView();
}

// The fields a line shows, in this order wherever they are listed.
struct ShownFields final {
    QStringView first, middle, last, street, street2, city, state, zip, home, cell, email;
};
constexpr std::array kShownMembers = {&ContactRecord::FirstName, &ContactRecord::MiddleInitial,
                                      &ContactRecord::LastName,  &ContactRecord::Street1,
                                      &ContactRecord::Street2,   &ContactRecord::City,
                                      &ContactRecord::State,     &ContactRecord::Zip,
                                      &ContactRecord::HomePhone, &ContactRecord::CellPhone,
                                      &ContactRecord::Email};

DisplayValues displayValues(const ShownFields& f)
{
    DisplayValues v;
    v.first = f.first;
    v.last = f.last;
    if (!f.middle.isEmpty()) {
        const QChar initial = f.middle.front();
        if (initial.unicode() >= u'A' && initial.unicode() <= u'Z')
            v.initial = initial;
    }
    const qsizetype streetLength = f.street.size();
    if (streetLength < 2)
        v.streetBlanks = 40;
    else
        v.street = f.street;
    if (streetLength >= 3 && streetLength <= 19)
        v.streetBlanks = 12;
    v.street2 = f.street2;
    v.city = orUnknown(f.city);
    v.state = f.state;
    v.zip = orUnknown(f.zip);
    v.home = phone(f.home);
    v.cell = phone(f.cell);
    v.email = f.email;
    return v;
}

// The sort keys of all lines in one buffer: each line case-folded and written as UTF-8, whose
// byte order is the order of the UTF-16 code units that QString compares. Sixteen bytes of each
// key, packed into two numbers and kept beside it, decide most comparisons without touching the
// buffer.
struct KeyRef final {
    quint64 prefix;
    quint64 next;
    quint32 offset;
    quint32 length;
    quint32 index;
};

quint64 keyBytes(const char* key, quint32 length, quint32 at)
{
    if (at + 8 <= length)
        return qFromBigEndian<quint64>(key + at);
    char eight[8] = {};
    if (at < length)
        std::memcpy(eight, key + at, length - at);
    return qFromBigEndian<quint64>(eight);
}

// Loads the sixteen bytes of the key from `at` on, zeros past its end.
void loadHead(KeyRef& ref, const char* base, quint32 at)
{
    ref.prefix = keyBytes(base + ref.offset, ref.length, at);
    ref.next = keyBytes(base + ref.offset, ref.length, at + 8);
}

constexpr auto headsBefore = [](const KeyRef& a, const KeyRef& b) {
    return a.prefix != b.prefix ? a.prefix < b.prefix : a.next < b.next;
};

void sortFrom(KeyRef* first, KeyRef* last, const char* base, quint32 at);

// Sorts refs whose keys agree up to byte `at` + 16. A key that ends there is a prefix of the
// longer ones, so it goes first; equal keys keep the order the lines came in.
void sortRun(KeyRef* first, KeyRef* last, const char* base, quint32 at)
{
    KeyRef* const longer = std::partition(first, last, [&](const KeyRef& r) { return r.length <= at + 16; });
    std::sort(first, longer, [](const KeyRef& a, const KeyRef& b) {
        return a.length != b.length ? a.length < b.length : a.index < b.index;
    });
    for (KeyRef* r = longer; r != last; ++r)
        loadHead(*r, base, at + 16);
    sortFrom(longer, last, base, at + 16);
}

// Sorts refs whose keys agree before byte `at`, sixteen bytes at a time: the heads alone order
// most of them, and only a run with equal heads reads its keys' next sixteen bytes, each key once.
void sortFrom(KeyRef* first, KeyRef* last, const char* base, quint32 at)
{
    std::sort(first, last, headsBefore);
    while (first != last) {
        KeyRef* const runEnd = std::find_if(first + 1, last, [&](const KeyRef& r) { return headsBefore(*first, r); });
        if (runEnd - first > 1)
            sortRun(first, runEnd, base, at);
        first = runEnd;
    }
}

// Writes the sort letters of `text` as UTF-8 at `out`, at most 3 bytes a character; returns the end.
char* writeSortKeyUtf8(char* out, QStringView text)
{
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    // Four characters at a time while they are plain ASCII, as nearly all of a line is: capitals
    // lowered by adding 0x20 to each 16-bit lane from A to Z, then the lanes narrowed to bytes.
    // The lanes are where a little-endian host loads them.
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        for (; end - at >= 4; at += 4) {
            const quint64 four = qFromUnaligned<quint64>(at);
            if (four & 0xFF80FF80FF80FF80ull)
                break;
            const quint64 fromA = four + 0x003F003F003F003Full;  // a lane's 0x80 bit: at least 'A'
            const quint64 pastZ = four + 0x0025002500250025ull;  // a lane's 0x80 bit: beyond 'Z'
            quint64 bytes = four | (((fromA & ~pastZ) & 0x0080008000800080ull) >> 2);
            bytes = (bytes | (bytes >> 8)) & 0x0000FFFF0000FFFFull;
            qToUnaligned(quint32(bytes | (bytes >> 16)), out);
            out += 4;
        }
    }
    for (; at != end; ++at) {
        const QChar c(*at);
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

// Writes the keys of lines[first, last) into `keys` from `at` on, with their refs.
void writeKeys(const std::vector<ContactLine>& lines, std::size_t first, std::size_t last, KeyRef* refs, char* keys,
               std::size_t at)
{
    char* end = keys + at;
    for (std::size_t i = first; i < last; ++i) {
        char* start = end;
        end = writeSortKeyUtf8(start, lines[i].text);
        refs[i] = {0, 0, quint32(start - keys), quint32(end - start), quint32(i)};
        loadHead(refs[i], keys, 0);
    }
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

DisplayValues displayValues(const ContactRecord& r)
{
    return displayValues(ShownFields{r.FirstName, r.MiddleInitial, r.LastName, r.Street1, r.Street2, r.City, r.State,
                                     r.Zip, r.HomePhone, r.CellPhone, r.Email});
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
        if (count > 0)
            at = std::fill_n(at, count, QChar(u' '));
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
    // The keys of the two halves are written side by side, each in its own part of one buffer with
    // room for the longest encoding (only the pages written are ever touched).
    const std::size_t count = lines.size();
    const std::size_t half = count / 2;
    std::size_t firstTotal = 0, total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (i == half)
            firstTotal = total;
        total += lines[i].text.size();
    }
    const std::unique_ptr<char[]> keys(new char[3 * total + 8]);
    std::vector<KeyRef> refs(count);
    QFuture<void> secondHalf =
        QtConcurrent::run(writeKeys, std::cref(lines), half, count, refs.data(), keys.get(), 3 * firstTotal);
    writeKeys(lines, 0, half, refs.data(), keys.get(), 0);
    secondHalf.waitForFinished();

    // Then the refs are split around a middle head, and the two sides sorted side by side.
    KeyRef* const first = refs.data();
    KeyRef* const last = first + count;
    if (count < 4096) {
        sortFrom(first, last, keys.get(), 0);
    } else {
        std::nth_element(first, first + half, last, headsBefore);
        const KeyRef middle = first[half];
        KeyRef* const equal = std::partition(first, last, [&](const KeyRef& r) { return headsBefore(r, middle); });
        KeyRef* const above = std::partition(equal, last, [&](const KeyRef& r) { return !headsBefore(middle, r); });
        QFuture<void> upper = QtConcurrent::run(sortFrom, above, last, keys.get(), 0);
        sortFrom(first, equal, keys.get(), 0);
        sortRun(equal, above, keys.get(), 0);
        upper.waitForFinished();
    }
    std::vector<ContactLine> sorted;
    sorted.reserve(count);
    for (const KeyRef& ref : refs)
        sorted.push_back(std::move(lines[ref.index]));
    lines = std::move(sorted);
}

namespace {

// Where each of `members` is stored, in their order.
template <std::size_t N>
std::array<ContactRecord::Field, N> storedFields(const std::array<QString ContactRecord::*, N>& members)
{
    std::array<ContactRecord::Field, N> fields;
    std::transform(members.begin(), members.end(), fields.begin(), [](auto member) {
        return *std::find_if(ContactRecord::kFields.begin(), ContactRecord::kFields.end(),
                             [&](const ContactRecord::Field& f) { return f.member == member; });
    });
    return fields;
}

// The fields a line shows, in the order of ShownFields.
const auto& shownFields()
{
    static const auto fields = storedFields(kShownMembers);
    return fields;
}

// Those and the fields a search reads besides: notes and the rest are not decoded.
const auto& listedFields()
{
    static const auto fields = [] {
        std::array<QString ContactRecord::*, kShownMembers.size() + 2> members;
        std::copy(kShownMembers.begin(), kShownMembers.end(), members.begin());
        members[kShownMembers.size()] = &ContactRecord::Category;
        members[kShownMembers.size() + 1] = &ContactRecord::Company;
        return storedFields(members);
    }();
    return fields;
}

// Stored records copied out of the file's read buffer, with their numbers, for another thread:
// each record's first `stride` bytes, as far as the fields read.
struct RecordBatch final {
    static constexpr int kRecords = 2048;
    qsizetype stride = ContactRecord::kSize;
    QByteArray bytes;
    std::vector<int> numbers;
};

std::vector<ContactLine> batchLines(const RecordBatch& batch, const ContactSearch& search, SortOrder order,
                                    AddressDisplay display)
{
    std::vector<ContactLine> lines;
    lines.reserve(batch.numbers.size());
    ContactRecord record;
    std::array<char16_t, ContactRecord::kSize> buffer;
    std::array<QStringView, kShownMembers.size()> views;
    for (std::size_t i = 0; i < batch.numbers.size(); ++i) {
        const auto stored = QByteArrayView(batch.bytes).sliced(qsizetype(i) * batch.stride, batch.stride);
        if (search.kind != SearchKind::All) {
            ContactRecord::decodeInto(stored, record, listedFields());
            if (!search.takes(record))
                continue;
        }
        // The line is built from views of the stored bytes: no string is made for each field.
        ContactRecord::viewInto(stored, buffer, shownFields(), views);
        const ShownFields shown{views[0], views[1], views[2], views[3], views[4],  views[5],
                                views[6], views[7], views[8], views[9], views[10]};
        lines.push_back({contactLine(displayValues(shown), order, display), batch.numbers[i]});
    }
    return lines;
}

}  // namespace

Expected<std::vector<ContactLine>> contactLines(const ContactsFile& contacts, const ContactSearch& search,
                                                SortOrder order, AddressDisplay display)
{
    // This thread reads the file once, in order; the pool's threads decode the records and build
    // the lines a batch at a time.
    std::vector<QFuture<std::vector<ContactLine>>> building;
    const qsizetype stride =
        search.kind == SearchKind::All ? ContactRecord::fieldsEnd(shownFields()) : ContactRecord::kSize;
    RecordBatch batch{.stride = stride, .bytes = {}, .numbers = {}};
    const auto sendBatch = [&] {
        building.push_back(QtConcurrent::run(batchLines, std::move(batch), search, order, display));
        batch = {.stride = stride, .bytes = {}, .numbers = {}};
    };
    auto visited = contacts.forEachStored([&](int number, QByteArrayView stored) {
        if (batch.numbers.empty())
            batch.bytes.reserve(RecordBatch::kRecords * stride);
        batch.bytes.append(stored.first(stride));
        batch.numbers.push_back(number);
        if (batch.numbers.size() == RecordBatch::kRecords)
            sendBatch();
        return Visit::Next;
    });
    if (!batch.numbers.empty())
        sendBatch();
    std::vector<ContactLine> lines;
    for (QFuture<std::vector<ContactLine>>& built : building) {
        std::vector<ContactLine> part = built.takeResult();
        if (lines.empty())
            lines.reserve(part.size() * building.size());
        std::move(part.begin(), part.end(), std::back_inserter(lines));
    }
    if (!visited)
        return std::unexpected(visited.error());
    return lines;
}

}  // namespace pw
