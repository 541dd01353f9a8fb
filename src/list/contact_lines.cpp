#include "list/contact_lines.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "list/contact_search.h"

#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace pw {
namespace {
using namespace Qt::StringLiterals;

QStringView orUnknown(QStringView text)
{
    const auto notBlank = [](QChar c) { return c != u' '; };
    const auto first = std::find_if(text.begin(), text.end(), notBlank);
    const auto last = std::find_if(text.rbegin(), text.rend(), notBlank).base();
    return last - first < 2 ? QStringView(u"Unknown") : text;
}

// A phone is shown when its digits, read past the punctuation people write them with ("(796)
// 555-1050", "+1 418 555 0100"), make a number of 1 or more: a blank or all-zero phone is not.
QStringView phone(QStringView text)
{
    const bool anyNonZero = std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });
    return anyNonZero ? text : QStringView();
}

// The fields a line shows, in the order they are given to displayValuesOf.
constexpr std::array kShownMembers = {&ContactRecord::FirstName, &ContactRecord::MiddleInitial,
                                      &ContactRecord::LastName,  &ContactRecord::Street1,
                                      &ContactRecord::Street2,   &ContactRecord::City,
                                      &ContactRecord::State,     &ContactRecord::Zip,
                                      &ContactRecord::HomePhone, &ContactRecord::CellPhone,
                                      &ContactRecord::Email};
using ShownFields = std::array<QStringView, kShownMembers.size()>;

DisplayValues displayValuesOf(const ShownFields& f)
{
    const auto [first, middle, last, street, street2, city, state, zip, home, cell, email] = f;
    const bool noStreet = street.size() < 2;
    const int streetBlanks = noStreet ? 40 : street.size() >= 3 && street.size() <= 19 ? 12 : 0;
    DisplayValues v{first,
                    last,
                    {},
                    noStreet ? QStringView() : street,
                    streetBlanks,
                    street2,
                    orUnknown(city),
                    state,
                    orUnknown(zip),
                    email,
                    phone(home),
                    phone(cell)};
    if (!middle.isEmpty() && middle.front() >= u'A' && middle.front() <= u'Z')
        v.initial = middle.front();
    return v;
}

// Writes a line at the end of a block of text.
struct LineWriter final {
    QString& block;
    void put(QStringView text) { block.append(text); }
    void put(QChar c) { block.append(c); }
    void blanks(qsizetype count)
    {
        if (count > 0)
            block.resize(block.size() + count, u' ');
    }
    // The field as stored: padded with blanks to its width.
    void stored(QStringView text, int width)
    {
        const QStringView shown = text.left(width);
        put(shown);
        blanks(width - shown.size());
    }
    void phone(QStringView text)
    {
        if (text.isEmpty())
            blanks(22);
        else
            stored(text, 15);
    }
};

void appendLine(QString& block, const DisplayValues& v, SortOrder order, AddressDisplay display)
{
    LineWriter out{block};
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
    out.stored(v.city, 16);
    out.put(u'\t');
    out.stored(v.state, 2);
    out.put(u'\t');
    out.stored(v.zip, 10);
    if (display == AddressDisplay::Street)
        out.blanks(6);
    out.put(u'\t');
    out.phone(v.home);
    out.put(u'\t');
    out.phone(v.cell);
    if (display == AddressDisplay::Email) {
        out.put(u'\t');
        out.stored(v.email, 50);
    }
}

// Appends the sort key of `text` to `keys`: one letter for each character, the capitals of plain
// ASCII lowered here, the rest looked up.
void appendSortKey(QString& keys, QStringView text)
{
    const qsizetype from = keys.size();
    keys.resize(from + text.size());
    std::transform(text.begin(), text.end(), keys.begin() + from, [](QChar c) {
        return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c < u'\x80' ? c : sortLetter(c);
    });
}

// Lines, their keys beside them, put in the list's order: by key, then the order they came in.
// The two halves are sorted side by side on the pool, then merged.
std::vector<ContactLine> sortedByKey(std::vector<ContactLine>& lines, const std::vector<QStringView>& keys)
{
    struct Keyed final {
        QStringView key;
        quint32 place;
    };
    const auto before = [](const Keyed& a, const Keyed& b) {
        const int byKey = compareLineKeys(a.key, b.key);
        return byKey != 0 ? byKey < 0 : a.place < b.place;
    };
    std::vector<Keyed> order(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        order[i] = {keys[i], quint32(i)};
    const auto middle = order.begin() + std::ptrdiff_t(order.size() / 2);
    std::array halves{std::pair{order.begin(), middle}, std::pair{middle, order.end()}};
    QtConcurrent::blockingMap(halves, [&](const auto& half) { std::sort(half.first, half.second, before); });
    std::inplace_merge(order.begin(), middle, order.end(), before);
    std::vector<ContactLine> sorted;
    sorted.reserve(lines.size());
    for (const Keyed& k : order)
        sorted.push_back(std::move(lines[k.place]));
    return sorted;
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
    ShownFields fields;
    std::transform(kShownMembers.begin(), kShownMembers.end(), fields.begin(),
                   [&](auto member) { return QStringView(r.*member); });
    return displayValuesOf(fields);
}

QString contactLine(const DisplayValues& values, SortOrder order, AddressDisplay display)
{
    QString line;
    appendLine(line, values, order, display);
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

QString lineSortKey(QStringView text)
{
    QString key;
    appendSortKey(key, text);
    return key;
}

int compareLineKeys(QStringView a, QStringView b)
{
    return a.compare(b);
}

void sortLines(std::vector<ContactLine>& lines)
{
    std::vector<QString> keys;
    std::vector<QStringView> views;
    keys.reserve(lines.size());
    for (const ContactLine& line : lines)
        views.push_back(keys.emplace_back(lineSortKey(line.text())));
    lines = sortedByKey(lines, views);
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

// The fields a line shows, in the order of kShownMembers.
const auto& shownFields()
{
    static const auto fields = storedFields(kShownMembers);
    return fields;
}

// Stored records copied out of the file's read buffer, with their numbers, for a thread of the
// pool: each record's first `stride` bytes, as far as the fields read.
struct RecordBatch final {
    static constexpr int kRecords = 2048;
    explicit RecordBatch(qsizetype stride) : stride(stride) { bytes.reserve(kRecords * stride); }
    qsizetype stride;
    QByteArray bytes;
    std::vector<int> numbers;
};

// The lines of a batch's records that the search takes, in file order, written back to back into
// one block; their keys in a block of their own, at the same places.
struct BatchLines final {
    std::vector<ContactLine> lines;
    std::vector<qsizetype> starts;  // where each line and its key begin in their blocks
    QString keys;
};

// Takes everything by value: the batch's work may outlive the pass that sent it.
BatchLines batchLines(RecordBatch batch, ContactSearch search, SortOrder order, AddressDisplay display)
{
    QString block;
    block.reserve(batch.numbers.size() * 160);
    BatchLines built;
    std::vector<int> records;
    ContactRecord record;
    std::array<char16_t, ContactRecord::kSize> buffer;
    ShownFields shown;
    for (std::size_t i = 0; i < batch.numbers.size(); ++i) {
        const auto bytes = QByteArrayView(batch.bytes).sliced(qsizetype(i) * batch.stride, batch.stride);
        if (search.kind != SearchKind::All) {
            ContactRecord::decodeInto(bytes, record);
            if (!search.takes(record))
                continue;
        }
        // The line is built from views of the record's text: no string is made for each field.
        ContactRecord::viewInto(bytes, buffer, shownFields(), shown);
        built.starts.push_back(block.size());
        records.push_back(batch.numbers[i]);
        appendLine(block, displayValuesOf(shown), order, display);
    }
    block.squeeze();  // a search may have taken few of the batch's records
    appendSortKey(built.keys, block);
    built.lines.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const qsizetype end = i + 1 < records.size() ? built.starts[i + 1] : block.size();
        built.lines.emplace_back(block, built.starts[i], end - built.starts[i], records[i]);
    }
    return built;
}

}  // namespace

Expected<std::vector<ContactLine>> contactLines(const ContactsFile& contacts, const ContactSearch& search,
                                                SortOrder order, AddressDisplay display)
{
    // This thread reads the file once, in order; the pool's threads decode the records and build
    // their lines and keys a batch at a time; the lines of all batches are then sorted at once.
    const qsizetype stride =
        search.kind == SearchKind::All ? ContactRecord::fieldsEnd(shownFields()) : ContactRecord::kSize;
    std::vector<QFuture<BatchLines>> building;
    RecordBatch batch(stride);
    const auto sendBatch = [&] {
        building.push_back(QtConcurrent::run(batchLines, std::move(batch), search, order, display));
        batch = RecordBatch(stride);
    };
    const auto visited = contacts.forEachStored([&](int number, QByteArrayView stored) {
        batch.bytes.append(stored.first(stride));
        batch.numbers.push_back(number);
        if (batch.numbers.size() == RecordBatch::kRecords)
            sendBatch();
        return Visit::Next;
    });
    if (!visited)
        return std::unexpected(visited.error());  // the batches sent own what they work on
    if (!batch.numbers.empty())
        sendBatch();
    std::vector<BatchLines> built;  // the keys' blocks, kept while the keys are compared
    built.reserve(building.size());
    std::vector<ContactLine> lines;
    std::vector<QStringView> keys;
    for (QFuture<BatchLines>& future : building) {
        BatchLines& b = built.emplace_back(future.takeResult());
        for (std::size_t i = 0; i < b.lines.size(); ++i) {
            keys.push_back(QStringView(b.keys).sliced(b.starts[i], b.lines[i].text().size()));
            lines.push_back(std::move(b.lines[i]));
        }
    }
    return sortedByKey(lines, keys);
}

}  // namespace pw
