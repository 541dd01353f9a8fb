#include "transfer/vcard.h"

#include "data/text_rules.h"
#include "transfer/csv_text.h"

#include <QHash>
#include <QStringDecoder>
#include <QUuid>

#include <algorithm>
#include <cctype>
#include <optional>

namespace pw {
namespace {

struct PhysicalLine {
    QByteArrayView text;
    int number;
};

bool startsWithNoCase(QByteArrayView text, QByteArrayView prefix)
{
    return text.size() >= prefix.size() && text.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

bool equalsNoCase(QByteArrayView text, QByteArrayView other)
{
    return text.trimmed().compare(other, Qt::CaseInsensitive) == 0;
}

// A card's BEGIN or END line. A line that starts with a blank continues the one before it, so a
// folded value that happens to read "BEGIN:VCARD" after its fold is no card boundary.
bool isMarker(QByteArrayView text, QByteArrayView marker)
{
    return !text.isEmpty() && text.front() != ' ' && text.front() != '\t' && equalsNoCase(text, marker);
}

// A card's END line with something after it ("END:VCARD.", as a hand edit leaves it).
bool isEndWithJunk(QByteArrayView text)
{
    return !text.isEmpty() && text.front() != ' ' && text.front() != '\t' && startsWithNoCase(text, "END:VCARD");
}

constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

// The file's lines, each ended by CR LF or LF. A lone CR is part of its value: mail programs write
// one into custom fields, and ending the line there would split the card.
std::vector<PhysicalLine> physicalLines(QByteArrayView bytes)
{
    std::vector<PhysicalLine> lines;
    lines.reserve(bytes.size() / 24);
    qsizetype start = 0;
    int number = 1;
    const qsizetype n = bytes.size();
    // Cards saved one by one with a byte-order mark each and then joined carry a mark before every
    // card, at the start of a line or, after a last line without its line end, inside one.
    auto add = [&](QByteArrayView line, int at) {
        for (qsizetype mark = line.indexOf(kByteOrderMark); mark >= 0; mark = line.indexOf(kByteOrderMark)) {
            if (mark > 0)
                lines.push_back({line.first(mark), at});
            line = line.sliced(mark + kByteOrderMark.size());
        }
        lines.push_back({line, at});
    };
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\n')
            continue;
        const qsizetype end = i > start && bytes[i - 1] == '\r' ? i - 1 : i;
        add(bytes.sliced(start, end - start), number++);
        start = i + 1;
    }
    if (start < n)
        add(bytes.sliced(start), number);
    return lines;
}

// Where the property's name and parameters end: the first colon outside a quoted parameter value.
qsizetype colonAt(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return -1;
}

bool isQuotedPrintable(QByteArrayView line)
{
    const qsizetype colon = colonAt(line);
    return colon > 0 && line.first(colon).toByteArray().toUpper().contains("QUOTED-PRINTABLE");
}

QByteArray quotedPrintableDecoded(QByteArrayView value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '=' && i + 2 < value.size() && std::isxdigit(static_cast<unsigned char>(value[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(value[i + 2]))) {
            out += QByteArray::fromHex(value.sliced(i + 1, 2).toByteArray());
            i += 2;
        } else if (c == '=' && i + 1 == value.size()) {
            // a soft line break left at the very end
        } else {
            out += c;
        }
    }
    return out;
}

// The parts of a value split at `separator` where it is not escaped; escapes stay for unescaped().
QStringList splitUnescaped(const QString& value, QChar separator)
{
    QStringList parts;
    QString part;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            part += c;
            part += value[++i];
        } else if (c == separator) {
            parts.append(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.append(part);
    return parts;
}

QString unescaped(const QString& value)
{
    if (!value.contains(u'\\'))
        return value;
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        out += (next == u'n' || next == u'N') ? QChar(u'\n') : next;
    }
    return out;
}

QString component(const QStringList& parts, qsizetype i)
{
    return unescaped(parts.value(i)).trimmed();
}

constexpr int kUnmarked = 101;  // the preference of an unmarked value: after every marked one (1 to 100)

// A property line taken apart: name without its group, the types its parameters give, its value.
struct Property {
    QByteArray name;
    QString types, value;
    int preference = kUnmarked;  // 1 is the most preferred
    QByteArray omitYear;  // the stand-in year of a birthday written without its year
};

// Items in order of preference, the most preferred first; those of equal preference in file order.
template <typename List>
void orderByPreference(List& items, const std::vector<int>& preferences)
{
    std::vector<std::pair<int, std::size_t>> order;  // the index keeps file order among equals
    for (std::size_t i = 0; i < preferences.size(); ++i)
        order.emplace_back(preferences[i], i);
    std::sort(order.begin(), order.end());
    List sorted;
    for (const auto& [preference, i] : order)
        sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

std::optional<Property> parseProperty(QByteArrayView line, QString& error)
{
    const qsizetype colon = colonAt(line);
    if (colon <= 0) {
        error = QStringLiteral("no colon after the property name");
        return std::nullopt;
    }
    Property p;
    const QList<QByteArray> head = line.first(colon).toByteArray().split(';');
    p.name = head.front().toUpper();
    if (const qsizetype dot = p.name.indexOf('.'); dot >= 0)
        p.name = p.name.mid(dot + 1);
    bool qp = false;
    QByteArray charset;
    QStringList types;
    for (qsizetype i = 1; i < head.size(); ++i) {
        QByteArray param = head[i].trimmed();
        const qsizetype eq = param.indexOf('=');
        const QByteArray key = eq < 0 ? QByteArray("TYPE") : param.left(eq).toUpper();
        QByteArray value = eq < 0 ? param : param.mid(eq + 1);
        if (value.startsWith('"') && value.endsWith('"') && value.size() >= 2)
            value = value.mid(1, value.size() - 2);
        if (key == "ENCODING" || (key == "TYPE" && value.toUpper() == "QUOTED-PRINTABLE")) {
            qp = value.toUpper() == "QUOTED-PRINTABLE";
        } else if (key == "CHARSET") {
            charset = value;
        } else if (key == "TYPE") {
            types.append(QString::fromLatin1(value).toLower());
            if (types.back().split(u',').contains(u"pref"))
                p.preference = 1;
        } else if (key == "PREF") {
            p.preference = std::min(p.preference, std::clamp(value.trimmed().toInt(), 1, kUnmarked));
        } else if (key == "X-APPLE-OMIT-YEAR") {
            p.omitYear = value.trimmed();
        }
    }
    p.types = types.join(u',');
    const QByteArray raw = qp ? quotedPrintableDecoded(line.sliced(colon + 1)) : line.sliced(colon + 1).toByteArray();
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid()) {
            p.value = decoder(raw);
            return p;
        }
    }
    p.value = decodeImportText(raw);
    return p;
}

// What ties a card to others: its UID and, for a group card, the UIDs of its members.
struct CardLinks {
    QString uid;
    bool group = false;
    QStringList members;
};

// A UID as members name it: "urn:uuid:" and letter case do not count.
QString uidKey(const QString& uid)
{
    QString key = uid.trimmed().toLower();
    if (key.startsWith(u"urn:uuid:"))
        key.remove(0, 9);
    return key;
}

// The values of one card's logical lines, with its version known.
void readCard(VCard& card, CardLinks& links, const std::vector<QByteArray>& lines)
{
    AddressBookEntry& e = card.entry;
    QStringList shown;
    int addresses = 0, phones = 0;
    std::vector<int> addressPreferences, phonePreferences, emailPreferences;  // in file order
    for (const QByteArray& line : lines) {
        QString error;
        const std::optional<Property> p = parseProperty(line, error);
        if (!p) {
            card.error = error;
            return;
        }
        const QString& v = p->value;
        if (p->name == "N") {
            const QStringList parts = splitUnescaped(v, u';');
            e.family = component(parts, 0);
            e.given = component(parts, 1);
            e.middle = component(parts, 2);
        } else if (p->name == "FN") {
            e.fullName = unescaped(v).trimmed();
            shown.prepend(e.fullName);
        } else if (p->name == "ADR") {
            const QStringList parts = splitUnescaped(v, u';');
            AddressBookEntry::Address& a = e.address(QString::number(++addresses));
            addressPreferences.push_back(p->preference);
            a.type = p->types;
            a.poBox = component(parts, 0);
            a.extended = component(parts, 1);
            a.street = component(parts, 2);
            a.city = component(parts, 3);
            a.region = component(parts, 4);
            a.postalCode = component(parts, 5);
            a.country = component(parts, 6);
        } else if (p->name == "TEL") {
            AddressBookEntry::Phone& phone = e.phone(QString::number(++phones));
            phonePreferences.push_back(p->preference);
            phone.type = p->types;
            phone.number = unescaped(v).trimmed();
            if (phone.number.startsWith(u"tel:", Qt::CaseInsensitive)) {
                // tel:+1-418-656-9254;ext=102 is the number and its extension.
                const QStringList parts = phone.number.mid(4).split(u';');
                phone.number = parts.first();
                for (const QString& part : parts.mid(1)) {
                    if (part.startsWith(u"ext=", Qt::CaseInsensitive))
                        phone.number += QStringLiteral(" x") + part.mid(4);
                }
            }
        } else if (p->name == "EMAIL") {
            e.emails.append(unescaped(v).trimmed());
            emailPreferences.push_back(p->preference);
            shown.append(e.emails.back());
        } else if (p->name == "BDAY") {
            e.birthday = unescaped(v).trimmed();
            // A birthday without its year, written with the stand-in year the parameter names.
            if (const QString year = QString::fromLatin1(p->omitYear);
                !year.isEmpty() && (e.birthday.startsWith(year) || e.birthday.startsWith(u"1604")))
                e.birthday = QStringLiteral("--") + e.birthday.mid(e.birthday.indexOf(u'-') == 4 ? 5 : 4);
        } else if (p->name == "ORG") {
            e.company = component(splitUnescaped(v, u';'), 0);
            shown.append(e.company);
        } else if (p->name == "NOTE") {
            e.note = unescaped(v).trimmed();
        } else if (p->name == "CATEGORIES") {
            for (const QString& c : splitUnescaped(v, u','))
                e.categories.append(unescaped(c));
        } else if (p->name == "UID") {
            links.uid = uidKey(unescaped(v));
        } else if (p->name == "KIND" || p->name == "X-ADDRESSBOOKSERVER-KIND") {
            links.group = v.trimmed().compare(u"group", Qt::CaseInsensitive) == 0;
        } else if (p->name == "MEMBER" || p->name == "X-ADDRESSBOOKSERVER-MEMBER") {
            links.members.append(uidKey(unescaped(v)));
        } else if (p->name == "X-POSTWICK-INCLUDE-COMPANY") {
            e.includeCompany = v.trimmed() == u"1";
        }
    }
    orderByPreference(e.addresses, addressPreferences);
    orderByPreference(e.phones, phonePreferences);
    orderByPreference(e.emails, emailPreferences);
    if (e.fullName.isEmpty())
        shown.prepend((e.given + u' ' + e.family).trimmed());
    shown.removeAll(QString());
    card.text = shown.join(QStringLiteral(", "));
}

// Whether a property's value is base64 data (a photo, a key), whose lines some programs fold
// without the blank.
bool isBinary(QByteArrayView line)
{
    const qsizetype colon = colonAt(line);
    const QByteArray head = (colon > 0 ? line.first(colon) : line).toByteArray().toUpper();
    return head.contains("BASE64") || head.contains("ENCODING=B");
}

// One card's physical lines (between BEGIN and END) read into `card`.
void readCardLines(VCard& card, CardLinks& links, const std::vector<PhysicalLine>& all, std::size_t from,
                   std::size_t to)
{
    QByteArray version;
    for (std::size_t i = from; i < to; ++i) {
        if (startsWithNoCase(all[i].text, "VERSION:"))
            version = all[i].text.sliced(8).trimmed().toByteArray();
    }
    if (version.isEmpty())
        version = "3.0";  // as the older programs that write none mean it
    if (version != "2.1" && version != "3.0" && version != "4.0") {
        card.error = QStringLiteral("unknown vCard version %1").arg(QString::fromLatin1(version));
        return;
    }
    // 2.1 folds where there is white space and keeps it; 3.0 and 4.0 insert one blank to fold.
    const bool keepFoldBlank = version == "2.1";
    std::vector<QByteArray> lines;
    for (std::size_t i = from; i < to; ++i) {
        const QByteArrayView text = all[i].text;
        const bool continued = !text.isEmpty() && (text.front() == ' ' || text.front() == '\t');
        if (!lines.empty() && lines.back().endsWith('=') && isQuotedPrintable(lines.back())) {
            lines.back().chop(1);  // a soft line break of QUOTED-PRINTABLE
            lines.back() += text;
        } else if (!lines.empty() && continued) {
            lines.back() += keepFoldBlank ? text : text.sliced(1);
        } else if (text.trimmed().isEmpty()) {
            continue;
        } else if (colonAt(text) > 0) {
            lines.emplace_back(text.toByteArray());
        } else if (!lines.empty()) {
            // A fold that lost its blank: the line goes on with the value before it.
            if (!isBinary(lines.back()))
                card.notes.append(QStringLiteral("Line %1: a line without a colon read as part of the line before it")
                                      .arg(all[i].number));
            lines.back() += text;
        } else {
            card.notes.append(QStringLiteral("Line %1: a line without a colon left out").arg(all[i].number));
        }
    }
    readCard(card, links, lines);
}

// Text with the characters that mean something in a value escaped.
QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\' || c == u',' || c == u';')
            out += u'\\';
        if (c == u'\n') {
            out += QStringLiteral("\\n");
            continue;
        }
        out += c;
    }
    return out;
}

// A content line folded at 75 bytes, never inside a UTF-8 character, ended by CR LF.
void appendFolded(QByteArray& out, const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype start = 0;
    qsizetype room = 75;
    while (bytes.size() - start > room) {
        qsizetype end = start + room;
        while (end > start && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
            --end;
        out += bytes.mid(start, end - start);
        out += "\r\n ";
        start = end;
        room = 74;
    }
    out += bytes.mid(start);
    out += "\r\n";
}

}  // namespace

bool isVCardFile(QByteArrayView bytes)
{
    QByteArrayView rest = bytes;
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    else if (rest.startsWith("\xFF\xFE") || rest.startsWith("\xFE\xFF"))
        return isVCardFile(decodeImportText(bytes.first(std::min<qsizetype>(bytes.size(), 4096))).toUtf8());
    rest = rest.trimmed();
    return startsWithNoCase(rest, "BEGIN:VCARD");
}

std::vector<VCard> parseVCards(QByteArrayView input)
{
    QByteArray converted;
    QByteArrayView bytes = input;
    if (input.startsWith("\xFF\xFE") || input.startsWith("\xFE\xFF")) {
        converted = decodeImportText(input).toUtf8();
        bytes = converted;
    }
    const std::vector<PhysicalLine> lines = physicalLines(bytes);
    std::vector<VCard> cards;
    std::vector<CardLinks> links;
    auto unended = [&](std::size_t begin) {
        cards.push_back({lines[begin].number, {}, {}, QStringLiteral("the card has no END:VCARD"), {}});
        links.emplace_back();
    };
    std::optional<std::size_t> open;  // the BEGIN line of the card being read
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QByteArrayView text = lines[i].text;
        if (isMarker(text, "BEGIN:VCARD")) {
            if (open)
                unended(*open);
            open = i;
        } else if (open && isEndWithJunk(text)) {
            VCard card;
            card.line = lines[*open].number;
            links.emplace_back();
            readCardLines(card, links.back(), lines, *open + 1, i);
            if (!isMarker(text, "END:VCARD"))
                card.notes.append(QStringLiteral("Line %1: \"%2\" read as the end of the card")
                                      .arg(lines[i].number)
                                      .arg(QString::fromUtf8(text.trimmed())));
            cards.push_back(std::move(card));
            open.reset();
        }
    }
    if (open)
        unended(*open);

    // Group cards give their name to their members' categories.
    QHash<QString, std::size_t> byUid;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (!links[i].uid.isEmpty() && !links[i].group)
            byUid.insert(links[i].uid, i);
    }
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (!links[i].group || !cards[i].error.isEmpty())
            continue;
        VCard& group = cards[i];
        const AddressBookEntry& e = group.entry;
        const QString name = !e.fullName.isEmpty() ? e.fullName : !e.family.isEmpty() ? e.family : e.given;
        int found = 0;
        for (const QString& member : links[i].members) {
            const auto at = byUid.constFind(member);
            if (at == byUid.cend() || name.isEmpty())
                continue;
            QStringList& categories = cards[*at].entry.categories;
            if (!categories.contains(name))
                categories.append(name);
            ++found;
        }
        group.error = QStringLiteral("the group \"%1\", given to its %2 as their category")
                          .arg(name)
                          .arg(found == 1 ? QStringLiteral("1 member") : QStringLiteral("%1 members").arg(found));
    }
    return cards;
}

QString vCardUid(const ContactRecord& c, int repeat)
{
    // The namespace of this program's contact UIDs; never to change, or every UID changes with it.
    static const QUuid kContacts(QStringLiteral("6f1d3c52-8a4e-4b7a-9c35-2e0d5b7f41a8"));
    QString name = QStringList({c.FirstName, c.MiddleInitial, c.LastName, c.Street1, c.Zip}).join(u'\x1f');
    if (repeat > 0)
        name += QStringLiteral("\x1f%1").arg(repeat + 1);
    return QUuid::createUuidV5(kContacts, name.toUtf8()).toString(QUuid::WithoutBraces);
}

QByteArray vCardOf(const ContactRecord& c, int repeat)
{
    QByteArray out;
    out.reserve(512);
    auto line = [&](const QString& text) { appendFolded(out, text); };
    line(QStringLiteral("BEGIN:VCARD"));
    line(QStringLiteral("VERSION:3.0"));
    line(QStringLiteral("UID:") + vCardUid(c, repeat));
    line(QStringLiteral("N:%1;%2;%3;;").arg(escaped(c.LastName), escaped(c.FirstName), escaped(c.MiddleInitial)));
    // FN may not be empty; a contact without a name is known by its company or e-mail.
    QString full = QStringList({c.FirstName, c.MiddleInitial, c.LastName}).join(u' ').simplified();
    if (full.isEmpty())
        full = !c.Company.isEmpty() ? c.Company : c.Email;
    line(QStringLiteral("FN:") + escaped(full));
    if (!c.Company.isEmpty())
        line(QStringLiteral("ORG:") + escaped(c.Company));
    if (!(c.Street1 + c.Street2 + c.City + c.State + c.Zip + c.Country).isEmpty())
        line(QStringLiteral("ADR;TYPE=HOME:;%1;%2;%3;%4;%5;%6")
                 .arg(escaped(c.Street2), escaped(c.Street1), escaped(c.City), escaped(c.State), escaped(c.Zip),
                      escaped(c.Country)));
    const std::pair<const char*, const QString*> phones[] = {
        {"HOME,VOICE", &c.HomePhone}, {"CELL,VOICE", &c.CellPhone}, {"WORK,VOICE", &c.WorkPhone}};
    for (const auto& [type, number] : phones) {
        if (!number->isEmpty())
            line(QStringLiteral("TEL;TYPE=%1:%2").arg(QLatin1StringView(type), escaped(*number)));
    }
    if (!c.Email.isEmpty())
        line(QStringLiteral("EMAIL;TYPE=INTERNET:") + escaped(c.Email));
    if (c.Birthdate.size() == 8 && readsAsNumber(c.Birthdate) && c.Birthdate.startsWith(kNoBirthYear))
        line(QStringLiteral("BDAY:--") + c.Birthdate.right(4));
    else if (c.Birthdate.size() == 8 && readsAsNumber(c.Birthdate))
        line(QStringLiteral("BDAY:%1-%2-%3").arg(c.Birthdate.left(4), c.Birthdate.mid(4, 2), c.Birthdate.mid(6, 2)));
    if (!c.Notes.isEmpty())
        line(QStringLiteral("NOTE:") + escaped(c.Notes));
    if (!c.Category.isEmpty()) {
        QStringList categories;
        for (const QString& category : c.Category.split(u';', Qt::SkipEmptyParts))
            categories.append(escaped(category));
        line(QStringLiteral("CATEGORIES:") + categories.join(u','));
    }
    // Whether the company line is printed has no place of its own in the format.
    line(QStringLiteral("X-POSTWICK-INCLUDE-COMPANY:") + (c.IncludeCompany == u"1" ? QStringLiteral("1") : QStringLiteral("0")));
    line(QStringLiteral("END:VCARD"));
    return out;
}

}  // namespace pw
