#include "transfer/ldif.h"

#include "transfer/csv_text.h"

#include <QHash>

#include <optional>

namespace pw {
namespace {

// Where an attribute's value goes. Mail programs write the home address with attributes of their
// own and the work address with the directory's standard ones.
enum class Goes { Given, Family, FullName, Email, Phone, Company, Note, Year, Month, Day, Address, Ignored };
struct Attribute {
    Goes goes;
    const char* kind = nullptr;   // the phone's type, or the address's ("home", "work")
    QString AddressBookEntry::Address::*part = nullptr;
};

using A = AddressBookEntry::Address;
const QHash<QByteArray, Attribute>& attributes()
{
    static const QHash<QByteArray, Attribute> table = {
        {"givenname", {Goes::Given}}, {"sn", {Goes::Family}}, {"surname", {Goes::Family}},
        {"cn", {Goes::FullName}}, {"commonname", {Goes::FullName}},
        {"mail", {Goes::Email}}, {"mozillasecondemail", {Goes::Email}},
        {"telephonenumber", {Goes::Phone, "work"}}, {"homephone", {Goes::Phone, "home"}},
        {"mobile", {Goes::Phone, "cell"}}, {"cellphone", {Goes::Phone, "cell"}},
        {"facsimiletelephonenumber", {Goes::Phone, "fax"}}, {"fax", {Goes::Phone, "fax"}},
        {"pager", {Goes::Phone, "pager"}}, {"pagerphone", {Goes::Phone, "pager"}},
        {"o", {Goes::Company}}, {"description", {Goes::Note}},
        {"birthyear", {Goes::Year}}, {"birthmonth", {Goes::Month}}, {"birthday", {Goes::Day}},
        {"mozillahomestreet", {Goes::Address, "home", &A::street}},
        {"mozillahomestreet2", {Goes::Address, "home", &A::extended}},
        {"mozillahomelocalityname", {Goes::Address, "home", &A::city}},
        {"mozillahomestate", {Goes::Address, "home", &A::region}},
        {"mozillahomepostalcode", {Goes::Address, "home", &A::postalCode}},
        {"mozillahomecountryname", {Goes::Address, "home", &A::country}},
        {"street", {Goes::Address, "work", &A::street}}, {"streetaddress", {Goes::Address, "work", &A::street}},
        {"mozillaworkstreet2", {Goes::Address, "work", &A::extended}},
        {"l", {Goes::Address, "work", &A::city}}, {"locality", {Goes::Address, "work", &A::city}},
        {"st", {Goes::Address, "work", &A::region}}, {"postalcode", {Goes::Address, "work", &A::postalCode}},
        {"c", {Goes::Address, "work", &A::country}}, {"countryname", {Goes::Address, "work", &A::country}},
        {"postofficebox", {Goes::Address, "work", &A::poBox}},
        // The directory's bookkeeping, and the mail program's own settings.
        {"dn", {Goes::Ignored}}, {"objectclass", {Goes::Ignored}}, {"modifytimestamp", {Goes::Ignored}},
        {"createtimestamp", {Goes::Ignored}}, {"changetype", {Goes::Ignored}}, {"member", {Goes::Ignored}},
        {"mozillausehtmlmail", {Goes::Ignored}}, {"xmozillausehtmlmail", {Goes::Ignored}},
    };
    return table;
}

struct Line {
    QByteArray text;
    int number = 0;
};

// The logical lines of the file: a line that begins with one blank continues the one before it.
// A blank line ends an entry and is kept as an empty line.
std::vector<Line> logicalLines(QByteArrayView bytes)
{
    std::vector<Line> lines;
    int number = 0;
    bool comment = false;
    const QByteArray all = bytes.toByteArray();
    for (QByteArrayView raw : all.split('\n')) {
        ++number;
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (raw.startsWith(' ')) {
            if (!comment && !lines.empty())
                lines.back().text += raw.sliced(1);
            continue;
        }
        comment = raw.startsWith('#');
        if (!comment)
            lines.push_back({raw.toByteArray(), number});
    }
    return lines;
}

void take(LdifEntry& e, const QByteArray& name, const QString& value, QString& year, QString& month, QString& day)
{
    const auto it = attributes().constFind(name);
    if (it == attributes().cend()) {
        if (!value.trimmed().isEmpty() && !e.notKept.contains(QString::fromUtf8(name)))
            e.notKept.append(QString::fromUtf8(name));
        return;
    }
    AddressBookEntry& a = e.entry;
    auto once = [&](QString& to) {
        if (to.isEmpty())
            to = value;
    };
    switch (it->goes) {
    case Goes::Given: once(a.given); break;
    case Goes::Family: once(a.family); break;
    case Goes::FullName: once(a.fullName); break;
    case Goes::Email: a.emails.append(value); break;
    case Goes::Phone: {
        AddressBookEntry::Phone& p = a.phone(QString::fromUtf8(name));
        p.type = QString::fromLatin1(it->kind);
        p.number = value;
        break;
    }
    case Goes::Company: once(a.company); break;
    case Goes::Note: once(a.note); break;
    case Goes::Year: year = value; break;
    case Goes::Month: month = value; break;
    case Goes::Day: day = value; break;
    case Goes::Address: {
        A& address = a.address(QString::fromLatin1(it->kind));
        address.type = QString::fromLatin1(it->kind);
        once(address.*(it->part));
        break;
    }
    case Goes::Ignored: break;
    }
}

}  // namespace

bool isLdifFile(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    const QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 4096)).toByteArray();
    for (QByteArrayView line : head.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        return line.startsWith("dn:") || line.startsWith("version:");
    }
    return false;
}

std::vector<LdifEntry> parseLdif(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    std::vector<LdifEntry> entries;
    std::optional<LdifEntry> open;
    QString year, month, day;
    auto close = [&] {
        if (!open)
            return;
        if (open->entry.birthday.isEmpty() && !month.isEmpty() && !day.isEmpty())
            open->entry.birthday = (year.isEmpty() ? QStringLiteral("-") : year) + u'-' + month + u'-' + day;
        const QString email = open->entry.emails.value(0);
        open->text = QStringList({open->entry.fullName, open->entry.given, open->entry.family, email})
                         .join(u' ')
                         .simplified();
        entries.push_back(std::move(*open));
        open.reset();
        year.clear();
        month.clear();
        day.clear();
    };
    for (const Line& line : logicalLines(bytes)) {
        if (line.text.trimmed().isEmpty()) {
            close();
            continue;
        }
        const qsizetype colon = line.text.indexOf(':');
        if (colon <= 0)
            continue;
        // "cn;lang-de:" is the cn all the same.
        const QByteArray name = line.text.left(colon).split(';').value(0).trimmed().toLower();
        if (!open) {
            if (name == "version")
                continue;
            open = LdifEntry{};
            open->line = line.number;
        }
        QByteArrayView rest = QByteArrayView(line.text).sliced(colon + 1);
        QString value;
        if (rest.startsWith(':'))
            value = decodeImportText(QByteArray::fromBase64(rest.sliced(1).trimmed().toByteArray()));
        else if (rest.startsWith('<'))
            continue;  // a value kept at an address elsewhere
        else
            value = decodeImportText(rest.trimmed());
        if (name == "objectclass" && value.compare(u"groupOfNames", Qt::CaseInsensitive) == 0)
            open->isPerson = false;
        take(*open, name, value.trimmed(), year, month, day);
    }
    close();
    return entries;
}

}  // namespace pw
