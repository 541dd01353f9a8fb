#include "list/contact_lines.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "list/contact_search.h"

#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <type_traits>

namespace pw {
namespace {
using namespace Qt::StringLiterals;

// A character of either kind of text the lines are built from.
char16_t unit(QChar c)
{
    return c.unicode();
}
char16_t unit(char c)
{
    return uchar(c);
}

// "Unknown", in the kind of text given.
template <typename Text>
Text unknownText()
{
    if constexpr (std::is_same_v<Text, QLatin1StringView>)
        return QLatin1StringView("Unknown");
    else
        return QStringView(u"Unknown");
}

template <typename Text>
Text orUnknown(Text text)
{
    Text trimmed = text;
    while (!trimmed.isEmpty() && unit(*trimmed.begin()) == u' ')
        trimmed = trimmed.sliced(1);
    while (!trimmed.isEmpty() && unit(*(trimmed.end() - 1)) == u' ')
        trimmed.chop(1);
    return trimmed.size() < 2 ? unknownText<Text>() : text;
}

// A phone is shown when its digits, read past the punctuation people write them with ("(796)
// 555-1050", "+1 418 555 0100"), make a number of 1 or more: a blank or all-zero phone is not.
template <typename Text>
Text phone(Text text)
{
    const bool anyNonZero = std::any_of(text.begin(), text.end(), [](auto c) { return unit(c) >= u'1' && unit(c) <= u'9'; });
    return anyNonZero ? text : Text();
}

// The fields a line shows, in this order wherever they are listed: views of UTF-16 text, or of
// the stored Latin-1 bytes.
template <typename Text>
struct ShownFields final {
    Text first, middle, last, street, street2, city, state, zip, home, cell, email;
};
constexpr std::array kShownMembers = {&ContactRecord::FirstName, &ContactRecord::MiddleInitial,
                                      &ContactRecord::LastName,  &ContactRecord::Street1,
                                      &ContactRecord::Street2,   &ContactRecord::City,
                                      &ContactRecord::State,     &ContactRecord::Zip,
                                      &ContactRecord::HomePhone, &ContactRecord::CellPhone,
                                      &ContactRecord::Email};

template <typename Text>
DisplayValuesOf<Text> displayValues(const ShownFields<Text>& f)
{
    DisplayValuesOf<Text> v;
    v.first = f.first;
    v.last = f.last;
    if (!f.middle.isEmpty()) {
        const char16_t initial = unit(*f.middle.begin());
        if (initial >= u'A' && initial <= u'Z')
            v.initial = QChar(initial);
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

// Writes the sort letter of one character as UTF-8 at `out`; returns the end.
char* putSortLetter(char* out, char16_t u)
{
    if (u < 0x80) {  // most names: folded here, without a call
        *out++ = static_cast<char>(u >= u'A' && u <= u'Z' ? u + 32 : u);
        return out;
    }
    u = sortLetter(QChar(u)).unicode();
    if (u < 0x80) {
        *out++ = static_cast<char>(u);
        return out;
    }
    if (u < 0x800) {
        *out++ = static_cast<char>(0xC0 | (u >> 6));
    } else {
        *out++ = static_cast<char>(0xE0 | (u >> 12));
        *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (u & 0x3F));
    return out;
}

// Lowers the capitals A to Z among lanes of plain ASCII packed in a number; `ones` holds a 1 at
// the bottom of each lane. Adding 0x3F and 0x25 sets a lane's 0x80 bit from 'A' on and beyond 'Z'.
constexpr quint64 loweredAscii(quint64 lanes, quint64 ones)
{
    const quint64 fromA = lanes + 0x3F * ones;
    const quint64 pastZ = lanes + 0x25 * ones;
    return lanes | (((fromA & ~pastZ) & (0x80 * ones)) >> 2);
}

// Writes the sort letters of `text` as UTF-8 at `out`, at most 3 bytes a character; returns the end.
char* writeSortKeyUtf8(char* out, QStringView text)
{
    const char16_t* at = text.utf16();
    const char16_t* const end = at + text.size();
    // Four characters at a time while they are plain ASCII, as nearly all of a line is: capitals
    // lowered in their 16-bit lanes, then the lanes narrowed to bytes. The lanes are where a
    // little-endian host loads them.
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        for (; end - at >= 4; at += 4) {
            const quint64 four = qFromUnaligned<quint64>(at);
            if (four & 0xFF80FF80FF80FF80ull)
                break;
            quint64 bytes = loweredAscii(four, 0x0001000100010001ull);
            bytes = (bytes | (bytes >> 8)) & 0x0000FFFF0000FFFFull;
            qToUnaligned(quint32(bytes | (bytes >> 16)), out);
            out += 4;
        }
    }
    for (; at != end; ++at)
        out = putSortLetter(out, *at);
    return out;
}

// The same for Latin-1 text, eight plain ASCII characters at a time, each byte lowered alike.
char* writeSortKeyUtf8(char* out, QLatin1StringView text)
{
    const char* at = text.data();
    const char* const end = at + text.size();
    for (; end - at >= 8; at += 8) {
        const quint64 eight = qFromUnaligned<quint64>(at);
        if (eight & 0x8080808080808080ull)
            break;
        qToUnaligned(loweredAscii(eight, 0x0101010101010101ull), out);
        out += 8;
    }
    for (; at != end; ++at)
        out = putSortLetter(out, uchar(*at));
    return out;
}

// The key a line sorts by is its text case-folded, compared by UTF-16 code units as QString
// compares. Its first 32 bytes, written as UTF-8 (whose byte order is that same order), are kept
// beside the line's text and decide nearly every comparison without reading the text.
struct LineRef final {
    std::array<quint64, 4> head;  // big-endian, zeros past the key's end
    QAnyStringView text;
    quint32 place;  // where the line came in, for lines with equal keys
};

// The first 32 bytes of the line's key.
template <typename Text>
std::array<quint64, 4> keyHeadOf(Text line)
{
    // At most 32 characters give the 32 bytes wanted; at most 3 bytes each.
    char key[32 * 3 + 8];
    const qsizetype written = writeSortKeyUtf8(key, line.first(std::min<qsizetype>(line.size(), 32))) - key;
    char head[32] = {};
    std::memcpy(head, key, std::min<qsizetype>(written, 32));
    std::array<quint64, 4> numbers;
    for (int i = 0; i < 4; ++i)
        numbers[i] = qFromBigEndian<quint64>(head + 8 * i);
    return numbers;
}

std::array<quint64, 4> keyHead(QAnyStringView line)
{
    return line.visit([](auto text) {
        if constexpr (std::is_same_v<decltype(text), QUtf8StringView>)  // never a line's own text
            return keyHeadOf(QStringView(text.toString()));
        else
            return keyHeadOf(text);
    });
}

// Lines whose first 32 key bytes are equal are compared whole, letter by letter.
template <typename A, typename B>
int compareKeys(A a, B b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = sortLetter(QChar(unit(a[i]))).unicode(), y = sortLetter(QChar(unit(b[i]))).unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// Kept out of line: the comparison that calls it is wanted inline, and it is seldom reached.
Q_NEVER_INLINE int compareKeys(QAnyStringView a, QAnyStringView b)
{
    return a.visit([&](auto x) {
        return b.visit([&](auto y) {
            constexpr bool utf8 = std::is_same_v<decltype(x), QUtf8StringView> || std::is_same_v<decltype(y), QUtf8StringView>;
            if constexpr (utf8)  // never a line's own text
                return compareKeys(QStringView(QAnyStringView(x).toString()), QStringView(QAnyStringView(y).toString()));
            else
                return compareKeys(x, y);
        });
    });
}

// A closure rather than a function, so that the sorts and the merge have it inline.
constexpr auto lineBefore = [](const LineRef& a, const LineRef& b) {
    for (int i = 0; i < 4; ++i) {
        if (a.head[i] != b.head[i])
            return a.head[i] < b.head[i];
    }
    if (const int byKey = compareKeys(a.text, b.text))
        return byKey < 0;
    return a.place < b.place;
};

// Sorted lines and their refs, in the same order.
struct SortedRun final {
    std::vector<ContactLine> lines;
    std::vector<LineRef> refs;
};

// Moves the `count` first lines of the sorted runs to `out`, in order; from the end, the `count`
// last lines, so that the list ends at `out + count`. A tree of the runs' next lines keeps the
// first of them at its root; after each line only the path of the run it came from is played
// again.
template <bool fromTheEnd>
void mergeLines(std::vector<SortedRun>& runs, ContactLine* out, std::size_t count)
{
    constexpr std::ptrdiff_t step = fromTheEnd ? -1 : 1;
    constexpr std::ptrdiff_t kAhead = 8 * step;
    std::size_t leaves = 1;
    while (leaves < runs.size())
        leaves *= 2;
    // Each run's next ref, null once the run is used up, and where its refs stop.
    std::vector<const LineRef*> next(leaves, nullptr);
    std::vector<const LineRef*> stop(leaves, nullptr);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::vector<LineRef>& refs = runs[i].refs;
        if (refs.empty())
            continue;
        next[i] = fromTheEnd ? &refs.back() : &refs.front();
        stop[i] = fromTheEnd ? refs.data() - 1 : refs.data() + refs.size();
    }
    const auto first = [&](std::size_t a, std::size_t b) {
        if (!next[a] || !next[b])
            return next[a] ? a : b;
        return (fromTheEnd ? lineBefore(*next[a], *next[b]) : lineBefore(*next[b], *next[a])) ? b : a;
    };
    std::vector<std::size_t> tree(2 * leaves);  // node i plays tree[2i] against tree[2i + 1]
    for (std::size_t i = 0; i < leaves; ++i)
        tree[leaves + i] = i;
    for (std::size_t node = leaves - 1; node >= 1; --node)
        tree[node] = first(tree[2 * node], tree[2 * node + 1]);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t run = tree[1];
        std::vector<ContactLine>& lines = runs[run].lines;
        const std::size_t at = next[run] - runs[run].refs.data();
        out[fromTheEnd ? count - 1 - i : i] = std::move(lines[at]);
        next[run] += step;
        if (next[run] == stop[run]) {
            next[run] = nullptr;
        } else if (std::abs(stop[run] - next[run]) > std::abs(kAhead)) {
            // The runs are read at one place a batch, too many places for the processor to see
            // coming: the run's ref and line a few ahead are asked for now.
            const LineRef* const ahead = next[run] + kAhead;
            __builtin_prefetch(ahead);
            __builtin_prefetch(&lines[ahead - runs[run].refs.data()]);
        }
        for (std::size_t node = (leaves + run) / 2; node >= 1; node /= 2)
            tree[node] = first(tree[2 * node], tree[2 * node + 1]);
    }
}

// The lines of sorted runs moved out into one sorted list: the first half from the front on this
// thread and the second from the back on another, at the same time.
std::vector<ContactLine> mergedLines(std::vector<SortedRun>& runs)
{
    std::size_t total = 0;
    for (const SortedRun& run : runs)
        total += run.lines.size();
    std::vector<ContactLine> lines(total);
    const std::size_t half = total / 2;
    QFuture<void> back = QtConcurrent::run([&] { mergeLines<true>(runs, lines.data() + half, total - half); });
    mergeLines<false>(runs, lines.data(), half);
    back.waitForFinished();
    return lines;
}

}  // namespace

QStringView shownCity(const ContactRecord& record)
{
    return orUnknown(QStringView(record.City));
}

QStringView shownZip(const ContactRecord& record)
{
    return orUnknown(QStringView(record.Zip));
}

DisplayValues displayValues(const ContactRecord& r)
{
    return displayValues(ShownFields<QStringView>{r.FirstName, r.MiddleInitial, r.LastName, r.Street1, r.Street2, r.City,
                                                  r.State, r.Zip, r.HomePhone, r.CellPhone, r.Email});
}

namespace {

// Measures a line before it is written, so that it is written in place at its length.
struct LengthCounter final {
    qsizetype length = 0;
    void put(QStringView text) { length += text.size(); }
    void put(QLatin1StringView text) { length += text.size(); }
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

// The same into Latin-1 bytes, from fields that are Latin-1 and punctuation that is ASCII.
struct Latin1Writer final {
    char* at;
    void put(QLatin1StringView text)
    {
        if (!text.isEmpty())
            std::memcpy(at, text.data(), text.size());
        at += text.size();
    }
    void put(QStringView punctuation)
    {
        for (QChar c : punctuation)
            put(c);
    }
    void put(QChar c) { *at++ = char(c.unicode()); }
    void blanks(qsizetype count)
    {
        if (count > 0)
            at = std::fill_n(at, count, ' ');
    }
};

// The field as stored: padded with blanks to its width.
template <typename Out, typename Text>
void putStored(Out& out, Text text, int width)
{
    const Text shown = text.left(width);
    out.put(shown);
    out.blanks(width - shown.size());
}

template <typename Out, typename Text>
void putPhone(Out& out, Text text)
{
    if (text.isEmpty())
        out.blanks(22);
    else
        putStored(out, text, 15);
}

template <typename Out, typename Text>
void putLine(Out& out, const DisplayValuesOf<Text>& v, SortOrder order, AddressDisplay display)
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

// Writes the line at the end of `block`: UTF-16 text, or Latin-1 bytes from Latin-1 fields.
template <typename Block, typename Text>
void appendLine(Block& block, const DisplayValuesOf<Text>& values, SortOrder order, AddressDisplay display)
{
    LengthCounter counter;
    putLine(counter, values, order, display);
    const qsizetype from = block.size();
    block.resize(from + counter.length);
    if constexpr (std::is_same_v<Block, QByteArray>) {
        Latin1Writer writer{block.data() + from};
        putLine(writer, values, order, display);
    } else {
        LineWriter writer{block.data() + from};
        putLine(writer, values, order, display);
    }
}

}  // namespace

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

QString lineSortKey(QAnyStringView text)
{
    return sortKey(text.toString());
}

void sortLines(std::vector<ContactLine>& lines)
{
    // Sorted in runs side by side, then merged.
    constexpr std::size_t kRun = 4096;
    std::vector<std::size_t> starts;
    for (std::size_t start = 0; start < lines.size(); start += kRun)
        starts.push_back(start);
    std::vector<SortedRun> runs(starts.size());
    QtConcurrent::blockingMap(starts, [&](std::size_t start) {
        SortedRun& run = runs[start / kRun];
        const std::size_t end = std::min(start + kRun, lines.size());
        for (std::size_t i = start; i < end; ++i)
            run.refs.push_back({keyHead(lines[i].text()), lines[i].text(), quint32(i)});
        std::sort(run.refs.begin(), run.refs.end(), lineBefore);
        for (const LineRef& ref : run.refs)
            run.lines.push_back(std::move(lines[ref.place]));  // its text stays where it is
    });
    lines = mergedLines(runs);
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
    void clear()
    {
        bytes.resize(0);  // keeps its storage
        numbers.clear();
    }
};

// Where a line was written: in which block, from and to where.
struct LineSpan final {
    bool wide;
    qsizetype from, to;
};

SortedRun batchLines(const RecordBatch* batch, const ContactSearch* search, SortOrder order, AddressDisplay display)
{
    // The lines are written back to back into one block, each line's key head taken while the
    // line is fresh. A record holding a letter beyond Latin-1 (the code page's 0x80 to 0x9F) has
    // its line in a second block, of UTF-16. Once the blocks are whole the lines are sorted,
    // here on this thread, the record numbers giving equal lines their file order, and made in
    // that order.
    QByteArray latin1;
    QString wide;
    std::vector<LineSpan> spans;
    spans.reserve(batch->numbers.size());
    SortedRun run;
    run.refs.reserve(batch->numbers.size());
    ContactRecord record;
    std::array<QLatin1StringView, kShownMembers.size()> stored;
    std::array<char16_t, ContactRecord::kSize> buffer;
    std::array<QStringView, kShownMembers.size()> widened;
    for (std::size_t i = 0; i < batch->numbers.size(); ++i) {
        const auto bytes = QByteArrayView(batch->bytes).sliced(qsizetype(i) * batch->stride, batch->stride);
        if (search->kind != SearchKind::All) {
            ContactRecord::decodeInto(bytes, record, listedFields());
            if (!search->takes(record))
                continue;
        }
        // The line is built from views of the stored bytes: no string is made for each field.
        LineSpan span;
        if (ContactRecord::viewLatin1(bytes, shownFields(), stored)) {
            const ShownFields<QLatin1StringView> shown{stored[0], stored[1], stored[2], stored[3],
                                                       stored[4], stored[5], stored[6], stored[7],
                                                       stored[8], stored[9], stored[10]};
            span = {false, latin1.size(), 0};
            appendLine(latin1, displayValues(shown), order, display);
            if (span.from == 0)  // room for the rest of the batch's lines, a quarter longer than the first
                latin1.reserve(latin1.size() * qsizetype(batch->numbers.size() - i) * 5 / 4);
            span.to = latin1.size();
            run.refs.push_back({keyHead(QLatin1StringView(latin1).sliced(span.from)), {}, quint32(batch->numbers[i])});
        } else {
            ContactRecord::viewInto(bytes, buffer, shownFields(), widened);
            const ShownFields<QStringView> shown{widened[0], widened[1], widened[2], widened[3],
                                                 widened[4], widened[5], widened[6], widened[7],
                                                 widened[8], widened[9], widened[10]};
            span = {true, wide.size(), 0};
            appendLine(wide, displayValues(shown), order, display);
            span.to = wide.size();
            run.refs.push_back({keyHead(QStringView(wide).sliced(span.from)), {}, quint32(batch->numbers[i])});
        }
        spans.push_back(span);
    }
    latin1.squeeze();  // a search may have taken few of the batch's records
    for (std::size_t i = 0; i < run.refs.size(); ++i) {
        const LineSpan& span = spans[i];
        const qsizetype length = span.to - span.from;
        if (span.wide)
            run.refs[i].text = QStringView(wide).sliced(span.from, length);
        else
            run.refs[i].text = QLatin1StringView(latin1).sliced(span.from, length);
    }
    std::sort(run.refs.begin(), run.refs.end(), lineBefore);
    run.lines.reserve(run.refs.size());
    for (const LineRef& ref : run.refs) {
        ref.text.visit([&](auto text) {
            if constexpr (std::is_same_v<decltype(text), QLatin1StringView>)
                run.lines.emplace_back(latin1, text.data() - latin1.constData(), text.size(), int(ref.place));
            else if constexpr (std::is_same_v<decltype(text), QStringView>)
                run.lines.emplace_back(wide, text.data() - wide.constData(), text.size(), int(ref.place));
        });
    }
    return run;
}

}  // namespace

Expected<std::vector<ContactLine>> contactLines(const ContactsFile& contacts, const ContactSearch& search,
                                                SortOrder order, AddressDisplay display)
{
    // This thread reads the file once, in order; the pool's threads decode the records, build the
    // lines and sort them a batch at a time; the sorted batches are then merged. A few batches are
    // out at once, each refilled once its lines are built, so that the copying goes through the
    // same few hundred kilobytes whatever the size of the file.
    constexpr std::size_t kOut = 4;
    const qsizetype stride =
        search.kind == SearchKind::All ? ContactRecord::fieldsEnd(shownFields()) : ContactRecord::kSize;
    std::array<RecordBatch, kOut> batches;
    for (RecordBatch& batch : batches) {
        batch.stride = stride;
        batch.bytes.reserve(RecordBatch::kRecords * stride);
    }
    std::vector<QFuture<SortedRun>> building;
    // Batch i is filled in batches[i % kOut]; before that is filled again, the batch sent from it
    // is waited for.
    const auto filling = [&]() -> RecordBatch& { return batches[building.size() % kOut]; };
    const auto sendBatch = [&] {
        building.push_back(QtConcurrent::run(batchLines, &filling(), &search, order, display));
        if (building.size() >= kOut)
            building[building.size() - kOut].waitForFinished();
        filling().clear();
    };
    const auto visited = contacts.forEachStored([&](int number, QByteArrayView stored) {
        RecordBatch& batch = filling();
        batch.bytes.append(stored.first(stride));
        batch.numbers.push_back(number);
        if (batch.numbers.size() == RecordBatch::kRecords)
            sendBatch();
        return Visit::Next;
    });
    if (!filling().numbers.empty())
        sendBatch();
    std::vector<SortedRun> runs;
    for (QFuture<SortedRun>& batch : building)
        runs.push_back(batch.takeResult());
    if (!visited)
        return std::unexpected(visited.error());
    return mergedLines(runs);
}

}  // namespace pw
