#include "transfer/address_book_entry.h"

#include "data/text_rules.h"
#include "printing/address_format.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

// Lower case, accents and full stops gone, blanks single: "U.S.  Virgin Islands" and
// "u.s. virgin islands" meet, and so do "Québec" and "Quebec".
QString plainKey(const QString& text)
{
    QString decomposed = text.normalized(QString::NormalizationForm_D).toLower();
    QString key;
    key.reserve(decomposed.size());
    bool blank = false;
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing || c == u'.')
            continue;
        if (c.isSpace()) {
            blank = !key.isEmpty();
            continue;
        }
        if (blank)
            key += u' ';
        blank = false;
        key += c;
    }
    return key;
}

const QHash<QString, QString>& stateCodes()
{
    static const QHash<QString, QString> codes = [] {
        static const char* const table[][2] = {
            {"Alabama", "AL"}, {"Alaska", "AK"}, {"Arizona", "AZ"}, {"Arkansas", "AR"}, {"California", "CA"},
            {"Colorado", "CO"}, {"Connecticut", "CT"}, {"Delaware", "DE"}, {"District of Columbia", "DC"},
            {"Washington DC", "DC"}, {"Washington D C", "DC"}, {"Florida", "FL"}, {"Georgia", "GA"}, {"Hawaii", "HI"},
            {"Idaho", "ID"}, {"Illinois", "IL"}, {"Indiana", "IN"}, {"Iowa", "IA"}, {"Kansas", "KS"},
            {"Kentucky", "KY"}, {"Louisiana", "LA"}, {"Maine", "ME"}, {"Maryland", "MD"}, {"Massachusetts", "MA"},
            {"Michigan", "MI"}, {"Minnesota", "MN"}, {"Mississippi", "MS"}, {"Missouri", "MO"}, {"Montana", "MT"},
            {"Nebraska", "NE"}, {"Nevada", "NV"}, {"New Hampshire", "NH"}, {"New Jersey", "NJ"},
            {"New Mexico", "NM"}, {"New York", "NY"}, {"North Carolina", "NC"}, {"North Dakota", "ND"},
            {"Ohio", "OH"}, {"Oklahoma", "OK"}, {"Oregon", "OR"}, {"Pennsylvania", "PA"}, {"Rhode Island", "RI"},
            {"South Carolina", "SC"}, {"South Dakota", "SD"}, {"Tennessee", "TN"}, {"Texas", "TX"}, {"Utah", "UT"},
            {"Vermont", "VT"}, {"Virginia", "VA"}, {"Washington", "WA"}, {"West Virginia", "WV"},
            {"Wisconsin", "WI"}, {"Wyoming", "WY"},
            {"American Samoa", "AS"}, {"Guam", "GU"}, {"Northern Mariana Islands", "MP"}, {"Puerto Rico", "PR"},
            {"U.S. Virgin Islands", "VI"}, {"US Virgin Islands", "VI"}, {"Virgin Islands", "VI"},
            {"Federated States of Micronesia", "FM"}, {"Micronesia", "FM"}, {"Marshall Islands", "MH"},
            {"Palau", "PW"}, {"Armed Forces Americas", "AA"}, {"Armed Forces Europe", "AE"},
            {"Armed Forces Pacific", "AP"},
            {"Alberta", "AB"}, {"British Columbia", "BC"}, {"Manitoba", "MB"}, {"New Brunswick", "NB"},
            {"Newfoundland and Labrador", "NL"}, {"Newfoundland", "NL"}, {"Nova Scotia", "NS"},
            {"Northwest Territories", "NT"}, {"Nunavut", "NU"}, {"Ontario", "ON"},
            {"Prince Edward Island", "PE"}, {"Quebec", "QC"}, {"Saskatchewan", "SK"}, {"Yukon", "YT"},
            {"Yukon Territory", "YT"},
        };
        QHash<QString, QString> h;
        for (const auto& row : table)
            h.insert(plainKey(QString::fromLatin1(row[0])), QString::fromLatin1(row[1]));
        return h;
    }();
    return codes;
}

bool typeHas(const QString& type, std::initializer_list<const char*> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&](const char* w) { return type.contains(QLatin1StringView(w), Qt::CaseInsensitive); });
}

bool allDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Years as the contact windows take them, so that an imported date can be saved there unchanged.
constexpr int kFirstYear = 1000;
constexpr int kLastYear = 9999;

std::optional<QString> storedDate(int year, int month, int day)
{
    // A leap year checks the day of a birthday without its year.
    const bool yearKnown = year != 0;
    if ((yearKnown && (year < kFirstYear || year > kLastYear)) || !QDate::isValid(yearKnown ? year : 2000, month, day))
        return std::nullopt;
    return QStringLiteral("%1%2%3")
        .arg(year, 4, 10, QChar(u'0'))
        .arg(month, 2, 10, QChar(u'0'))
        .arg(day, 2, 10, QChar(u'0'));
}

int widthOf(QString ContactRecord::*member)
{
    const auto& fields = ContactRecord::kFields;
    return std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f.member == member; })->width;
}

// Lines of a value, trimmed, without the empty ones.
QStringList linesOf(const QString& text)
{
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        if (const QString t = line.trimmed(); !t.isEmpty())
            lines.append(t);
    }
    return lines;
}

// The street lines of an address: the street itself, which may hold several lines and may begin
// with the address's kind ("Home: 4 Elm St", as older mail programs write it); the extended address
// (apartment, suite), which a label cannot do without and so comes next; and the post-office box.
QStringList streetLines(const AddressBookEntry::Address& a)
{
    static const QRegularExpression kindWord(QStringLiteral("^(home|work|business|other):\\s*"),
                                             QRegularExpression::CaseInsensitiveOption);
    QStringList street = linesOf(a.street);
    if (!street.isEmpty())
        street.first().remove(kindWord);
    QStringList lines = street.mid(0, 1) + linesOf(a.extended) + street.mid(1);
    if (const QString box = a.poBox.trimmed(); !box.isEmpty())
        lines.append(box.startsWith(u"P", Qt::CaseInsensitive) ? box : QStringLiteral("PO Box ") + box);
    lines.removeAll(QString());
    return lines;
}

// The second street field filled with the lines after the first, whole, as many as it has room
// for; the others are returned. A single line too long for it is taken, to be cut and named.
QStringList fillSecondStreet(QString& street2, const QStringList& lines, int width)
{
    QStringList noRoom;
    for (const QString& line : lines) {
        const QString joined = street2.isEmpty() ? line : street2 + QStringLiteral(", ") + line;
        if (street2.isEmpty() || joined.size() <= width)
            street2 = joined;
        else
            noRoom.append(line);
    }
    return noRoom;
}

// Whether a region is one the state field holds: two letters at most.
bool isStateCode(const QString& region)
{
    return !region.isEmpty() && region.size() <= 2
        && std::all_of(region.begin(), region.end(), [](QChar c) { return c.isLetter(); });
}

// A region that is no two-letter code ("NSW", "West Java", "Sachsen"). Where the country's addresses
// print one, it follows the city ("Rozelle NSW"), if there is room; where they print none (Germany),
// it is left out. Either loss is named.
// The country a name in its own language gives ("Deutschland", "España"), by the locales Qt knows.
const CountryFormat* countryNamedNatively(const QString& name)
{
    static const QHash<QString, QString> codes = [] {
        QHash<QString, QString> h;
        for (const QLocale& locale :
             QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory))
            h.insert(plainKey(locale.nativeTerritoryName()), QLocale::territoryToCode(locale.territory()));
        return h;
    }();
    const QString code = codes.value(plainKey(name));
    return code.isEmpty() ? nullptr : countryNamed(code);
}

void placeRegion(ContactRecord& r, const QString& region, EntryContact& taken)
{
    const CountryFormat* format = countryNamed(r.Country);
    if (!format && !r.Country.trimmed().isEmpty())
        format = countryNamedNatively(r.Country);
    if (format && !QByteArrayView(format->format).contains("%S")) {
        taken.notes.append(QStringLiteral("state \"%1\" left out: addresses in %2 name none")
                         .arg(region, QString::fromUtf8(format->names).section(u'|', 0, 0)));
        return;
    }
    const QString city = r.City.isEmpty() ? region : r.City + u' ' + region;
    if (city.size() <= widthOf(&ContactRecord::City))
        r.City = city;
    else {
        taken.notes.append(QStringLiteral("state \"%1\" left out, no room after the city").arg(region));
        ++taken.cut;
    }
}

// A phone number that does not fit its field loses its formatting before it loses digits: a
// number cut short dials someone else. "+1 (555) 123-4567" becomes "555-123-4567".
QString fittedNumber(const QString& number, int width)
{
    if (number.size() <= width)
        return number;
    QString n = number;
    if (n.startsWith(u"+1 ") || n.startsWith(u"+1-") || n.startsWith(u"1 ") || n.startsWith(u"1-"))
        n = n.mid(n.indexOf(u'1') + 2);
    n.remove(u'(');
    n.replace(u')', u'-').replace(u' ', u'-').replace(u'.', u'-');
    while (n.contains(u"--"))
        n.replace(u"--"_s, u"-"_s);
    n = n.trimmed();
    while (n.startsWith(u'-'))
        n.remove(0, 1);
    if (n.size() <= width)
        return n;
    // Other countries' numbers fit, if at all, with their digits run together.
    QString digits;
    for (QChar c : number) {
        if (c.isLetterOrNumber() || c == u'+')
            digits += c;
    }
    return digits.size() <= width ? digits : number;
}

// A phone made to fit its field: the number's own digits come first, an extension ("x12",
// "ext. 12") only when there is room left for it.
QString fittedPhone(const QString& phone, int width)
{
    static const QRegularExpression extension(QStringLiteral("\\s*(?:x|ext\\.?)\\s*(\\d+)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = extension.match(phone);
    if (phone.size() <= width || !m.hasMatch())
        return fittedNumber(phone, width);
    const QString number = fittedNumber(phone.left(m.capturedStart()), width);
    const QString withExtension = number + QStringLiteral(" x") + m.captured(1);
    return withExtension.size() <= width ? withExtension : number;
}

}  // namespace

bool AddressBookEntry::Address::isEmpty() const
{
    return poBox.trimmed().isEmpty() && extended.trimmed().isEmpty() && street.trimmed().isEmpty()
        && city.trimmed().isEmpty() && region.trimmed().isEmpty() && postalCode.trimmed().isEmpty()
        && country.trimmed().isEmpty();
}

AddressBookEntry::Address& AddressBookEntry::address(const QString& key)
{
    for (Address& a : addresses) {
        if (a.key == key)
            return a;
    }
    addresses.push_back({});
    addresses.back().key = key;
    return addresses.back();
}

AddressBookEntry::Phone& AddressBookEntry::phone(const QString& key)
{
    for (Phone& p : phones) {
        if (p.key == key)
            return p;
    }
    phones.push_back({});
    phones.back().key = key;
    return phones.back();
}

std::optional<EntryContact> contactFromEntry(const AddressBookEntry& entry)
{
    ContactRecord r;
    r.FirstName = entry.given.trimmed();
    r.LastName = entry.family.trimmed();
    r.MiddleInitial = entry.middle.trimmed().left(1);
    const QString company = entry.company.simplified();
    // A company's own card or row names it alone, or names it as its display name: the company is
    // the name, whole, and its label prints it once.
    const bool companyCard = r.FirstName.isEmpty() && r.LastName.isEmpty() && !company.isEmpty()
                             && (entry.fullName.trimmed().isEmpty() || entry.fullName.simplified() == company);
    if (companyCard) {
        r.LastName = company;
    } else if (r.FirstName.isEmpty() && r.LastName.isEmpty()) {
        // Only a display name: its last word is taken for the family name.
        QStringList words = entry.fullName.simplified().split(u' ', Qt::SkipEmptyParts);
        if (words.isEmpty())
            return std::nullopt;
        if (words.size() > 1)
            r.LastName = words.takeLast();
        r.FirstName = words.join(u' ');
    }

    const AddressBookEntry::Address* chosen = nullptr;
    for (const AddressBookEntry::Address& a : entry.addresses) {
        if (!a.isEmpty() && typeHas(a.type, {"home"})) {
            chosen = &a;
            break;
        }
    }
    for (const AddressBookEntry::Address& a : entry.addresses) {
        if (!chosen && !a.isEmpty())
            chosen = &a;
    }
    bool workAddress = false;
    EntryContact taken;
    if (chosen) {
        const QStringList lines = streetLines(*chosen);
        r.Street1 = lines.value(0);
        taken.noRoom = fillSecondStreet(r.Street2, lines.mid(1), widthOf(&ContactRecord::Street2));
        r.City = chosen->city.trimmed();
        r.Zip = chosen->postalCode.trimmed();
        r.Country = chosen->country.trimmed();
        const QString region = statePostalCode(chosen->region.simplified());
        if (isStateCode(region))
            r.State = region.toUpper();
        else if (!region.isEmpty())
            placeRegion(r, region, taken);
        workAddress = typeHas(chosen->type, {"work", "business"});
    }

    QString untyped;
    for (const AddressBookEntry::Phone& p : entry.phones) {
        const QString number = p.number.trimmed();
        if (number.isEmpty())
            continue;
        // A fax or pager number is no number to call.
        if (typeHas(p.type, {"fax", "pager"}))
            continue;
        QString* slot = nullptr;
        if (typeHas(p.type, {"cell", "mobile"}))
            slot = &r.CellPhone;
        else if (typeHas(p.type, {"home"}))
            slot = &r.HomePhone;
        else if (typeHas(p.type, {"work", "business"}))
            slot = &r.WorkPhone;
        else if (untyped.isEmpty())
            untyped = number;
        if (slot && slot->isEmpty())
            *slot = number;
    }
    if (r.HomePhone.isEmpty())
        r.HomePhone = untyped;

    for (const QString& email : entry.emails) {
        if (!email.trimmed().isEmpty()) {
            r.Email = email.trimmed();
            break;
        }
    }
    r.Birthdate = entry.birthday.trimmed();  // read by the import, which names a date that is none
    r.Company = entry.company.trimmed();
    r.Notes = entry.note.trimmed();
    QStringList categories;
    for (const QString& c : entry.categories) {
        if (!c.trimmed().isEmpty())
            categories.append(c);
    }
    r.Category = categories.join(u';');
    r.IncludeCompany = !companyCard && entry.includeCompany.value_or(workAddress && !r.Company.isEmpty())
                           ? QStringLiteral("1")
                           : QStringLiteral("0");
    // A tab or line break would split every line-oriented output made from the record.
    for (const ContactRecord::Field& f : ContactRecord::kFields)
        r.*f.member = blankControlCharacters(r.*f.member);
    taken.record = std::move(r);
    return taken;
}

std::vector<MovedPhone> fitPhones(ContactRecord& r)
{
    static const std::pair<QString ContactRecord::*, const char*> phones[] = {
        {&ContactRecord::HomePhone, "Home phone"},
        {&ContactRecord::CellPhone, "Cell phone"},
        {&ContactRecord::WorkPhone, "Work phone"}};
    std::vector<MovedPhone> moved;
    for (const auto& [member, caption] : phones) {
        QString& phone = r.*member;
        phone = trimBlanks(phone);
        const int width = widthOf(member);
        if (phone.size() <= width)
            continue;
        const QString fitted = fittedPhone(phone, width);
        if (fitted.size() <= width) {
            phone = fitted;
            continue;
        }
        // Cut short it would dial someone else: the notes keep it whole.
        const QString kept = QLatin1StringView(caption) + QStringLiteral(": ") + phone;
        r.Notes = r.Notes.trimmed().isEmpty() ? kept : r.Notes.trimmed() + QStringLiteral("; ") + kept;
        moved.push_back({QString::fromLatin1(caption), phone});
        phone.clear();
    }
    return moved;
}

QString statePostalCode(const QString& text)
{
    return stateCodes().value(plainKey(text), text);
}

std::optional<QString> birthdateFromText(const QString& text)
{
    QString date = text.trimmed().section(u'T', 0, 0);  // 1980-04-10T00:00:00Z
    if (date.isEmpty())
        return QString();
    const bool yearless = date.startsWith(u"--");  // --12-09, --1209
    if (yearless)
        date.remove(0, 2);
    if (allDigits(date) && (date.size() == 8 || (yearless && date.size() == 4))) {
        const QString year = yearless ? QString() : date.left(4);
        date = date.right(4);
        return storedDate(year.toInt(), date.left(2).toInt(), date.right(2).toInt());
    }
    for (QChar separator : {u'-', u'/'}) {
        const QStringList parts = date.split(separator);
        if (parts.size() < 2 || parts.size() > 3
            || !std::all_of(parts.begin(), parts.end(), [](const QString& p) { return allDigits(p) && p.size() <= 4; }))
            continue;
        // Some programs write 0/0/00 for no date at all.
        if (std::all_of(parts.begin(), parts.end(), [](const QString& p) { return p.toInt() == 0; }))
            return QString();
        if (parts.size() == 2)  // 12-09, 12/09: month and day
            return parts[0].size() <= 2 && parts[1].size() <= 2 ? storedDate(0, parts[0].toInt(), parts[1].toInt())
                                                                : std::nullopt;
        if (parts[0].size() == 4 && !yearless)
            return storedDate(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
        // Month first, as US exports write it; a two-digit year cannot be placed in its century.
        if (parts[2].size() == 4 && parts[0].size() <= 2 && parts[1].size() <= 2 && !yearless)
            return storedDate(parts[2].toInt(), parts[0].toInt(), parts[1].toInt());
        return std::nullopt;
    }
    return std::nullopt;
}

int fieldsCutToFit(const ContactRecord& r)
{
    int cut = 0;
    for (const ContactRecord::Field& f : ContactRecord::kFields)
        cut += trimLeadingBlanks(r.*f.member).size() > f.width ? 1 : 0;
    return cut;
}

}  // namespace pw
