#include "data/contact_record.h"

#include "data/text_rules.h"

#include <QSysInfo>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace pw {

const std::array<ContactRecord::Field, ContactRecord::kFieldCount> ContactRecord::kFields = {{
    {&ContactRecord::FirstName, 0, 14},
    {&ContactRecord::MiddleInitial, 15, 1},
    {&ContactRecord::LastName, 17, 18},
    {&ContactRecord::Street1, 36, 30},
    {&ContactRecord::Street2, 67, 15},
    {&ContactRecord::City, 83, 16},
    {&ContactRecord::State, 100, 2},
    {&ContactRecord::Zip, 103, 10},
    {&ContactRecord::Country, 114, 19},
    {&ContactRecord::HomePhone, 134, 15},
    {&ContactRecord::CellPhone, 150, 15},
    {&ContactRecord::WorkPhone, 166, 13},
    {&ContactRecord::Email, 180, 50},
    {&ContactRecord::Birthdate, 231, 8},
    {&ContactRecord::Category, 240, 80},
    {&ContactRecord::Notes, 321, 160},
    {&ContactRecord::Company, 482, 30},
    {&ContactRecord::IncludeCompany, 513, 1},
    {&ContactRecord::BirthdayReminders, 515, 1},
}};

QByteArray ContactRecord::encode() const
{
    QByteArray out(kSize, '|');
    for (const Field& f : kFields)
        out.replace(f.offset, f.width, fixedWidthBytes(this->*f.member, f.width));
    out[kSize - 2] = '\r';
    out[kSize - 1] = '\n';
    return out;
}

namespace {

// A field without its padding. The long fields are mostly padding, so it goes eight blanks at a
// time where it can.
QByteArrayView trimmedField(QByteArrayView field)
{
    constexpr quint64 kEightBlanks = 0x2020202020202020ull;
    while (field.size() >= 8) {
        quint64 tail;
        std::memcpy(&tail, field.data() + field.size() - 8, 8);
        if (tail != kEightBlanks)
            break;
        field.chop(8);
    }
    while (!field.isEmpty() && field.back() == ' ')
        field.chop(1);
    while (!field.isEmpty() && field.front() == ' ')
        field = field.sliced(1);
    return field;
}

// Whether any byte lies in 0x80 to 0x9F, where the code page differs from Latin-1; eight bytes
// at a time, as nearly every field has none.
bool hasWindowsOnlyByte(QByteArrayView field)
{
    constexpr quint64 kOnes = 0x0101010101010101ull;
    constexpr quint64 kHighs = 0x8080808080808080ull;
    qsizetype at = 0;
    for (; at + 8 <= field.size(); at += 8) {
        quint64 eight;
        std::memcpy(&eight, field.data() + at, 8);
        // A byte is 0x80 to 0x9F when its top three bits are 100: such a byte becomes zero here.
        const quint64 flipped = (eight & 0xE0E0E0E0E0E0E0E0ull) ^ kHighs;
        if ((flipped - kOnes) & ~flipped & kHighs)
            return true;
    }
    return std::any_of(field.begin() + at, field.end(), [](char b) { return (static_cast<uchar>(b) & 0xE0) == 0x80; });
}

// Widens Latin-1 bytes to UTF-16; four at a time on a little-endian host, each byte spread into
// the low half of its 16-bit lane.
void widenLatin1(QByteArrayView bytes, char16_t* out)
{
    qsizetype at = 0;
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        for (; at + 4 <= bytes.size(); at += 4, out += 4) {
            quint64 four = qFromUnaligned<quint32>(bytes.data() + at);
            four = (four | (four << 16)) & 0x0000FFFF0000FFFFull;
            four = (four | (four << 8)) & 0x00FF00FF00FF00FFull;
            qToUnaligned(four, out);
        }
    }
    for (; at < bytes.size(); ++at)
        *out++ = char16_t(uchar(bytes[at]));
}

}  // namespace

ContactRecord ContactRecord::decode(QByteArrayView bytes)
{
    ContactRecord r;
    decodeInto(bytes, r);
    return r;
}

void ContactRecord::decodeInto(QByteArrayView bytes, ContactRecord& r)
{
    decodeInto(bytes, r, kFields);
}

void ContactRecord::decodeInto(QByteArrayView bytes, ContactRecord& r, std::span<const Field> fields)
{
    QByteArray padded;
    if (bytes.size() < kSize) {
        padded = bytes.toByteArray().leftJustified(kSize, ' ');
        bytes = padded;
    }
    for (const Field& f : fields) {
        // Trimmed on the bytes, so that each field costs one decode and no copies.
        QByteArrayView field = trimmedField(bytes.sliced(f.offset, f.width));
        QString& text = r.*f.member;
        if (!hasWindowsOnlyByte(field)) {
            // Outside 0x80 to 0x9F the code page is Latin-1: converted in the storage the text
            // already has.
            text = QLatin1StringView(field);
            continue;
        }
        text = fromCodePage(field);
    }
}

qsizetype ContactRecord::fieldsEnd(std::span<const Field> fields)
{
    qsizetype end = 0;
    for (const Field& f : fields)
        end = std::max<qsizetype>(end, f.offset + f.width);
    return end;
}

void ContactRecord::viewInto(QByteArrayView bytes, std::span<char16_t, kSize> buffer, std::span<const Field> fields,
                             std::span<QStringView> views)
{
    const qsizetype end = fieldsEnd(fields);
    QByteArray padded;
    if (bytes.size() < end) {
        padded = bytes.toByteArray().leftJustified(end, ' ');
        bytes = padded;
    }
    // The bytes the fields lie in are checked once for the code page's own.
    const bool latin1 = !hasWindowsOnlyByte(bytes.first(end));
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QByteArrayView field = trimmedField(bytes.sliced(fields[i].offset, fields[i].width));
        char16_t* const out = buffer.data() + (field.data() - bytes.data());
        if (latin1)
            widenLatin1(field, out);
        else
            std::transform(field.begin(), field.end(), out, [](char b) { return fromCodePage(b).unicode(); });
        views[i] = QStringView(out, field.size());
    }
}

bool ContactRecord::viewLatin1(QByteArrayView bytes, std::span<const Field> fields, std::span<QLatin1StringView> views)
{
    if (hasWindowsOnlyByte(bytes.first(fieldsEnd(fields))))
        return false;
    for (std::size_t i = 0; i < fields.size(); ++i)
        views[i] = QLatin1StringView(trimmedField(bytes.sliced(fields[i].offset, fields[i].width)));
    return true;
}

QString ContactRecord::birthdateForDisplay() const
{
    if (numericValue(Birthdate) <= 1)
        return {};
    const QString b = Birthdate;
    if (b.startsWith(kNoBirthYear))
        return trimBlanks(b.mid(4, 2) + u'/' + b.mid(6, 2));
    return trimBlanks(b.mid(4, 2) + u'/' + b.mid(6, 2) + u'/' + b.left(4));
}

bool ContactRecord::includeCompanyChecked() const
{
    return numericValue(IncludeCompany) != 0;
}

bool ContactRecord::remindersOn() const
{
    return BirthdayReminders == u"1";
}

}  // namespace pw
