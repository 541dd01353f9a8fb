#include "printing/mailing_address.h"

#include "platform/platform.h"
#include "printing/address_format.h"

#include <QStringList>

#include <algorithm>

namespace pw {
namespace {

const QString kApplication = QStringLiteral("Postwick");
const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("HomeCountry");
constexpr qsizetype kCountryWidth = 19;  // the record's country field

// Case, dots and blanks do not count in a country's name. Compared in place, without a copy: every
// label of a list asks.
bool ignored(QChar c)
{
    return c == u'.' || c.isSpace();
}

QChar folded(QChar c)
{
    return c.unicode() < 0x80 ? QChar(c.unicode() | (c.isUpper() ? 0x20 : 0)) : c.toCaseFolded();
}

bool isBlankName(QStringView name)
{
    return std::all_of(name.begin(), name.end(), ignored);
}

bool sameComparable(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        while (i < a.size() && ignored(a[i]))
            ++i;
        while (j < b.size() && ignored(b[j]))
            ++j;
        if (i == a.size() || j == b.size())
            return i == a.size() && j == b.size();
        if (folded(a[i++]) != folded(b[j++]))
            return false;
    }
}

// Whether `a` names `b`, or `b` cut to the record's width.
bool sameName(QStringView a, QStringView b)
{
    return sameComparable(a, b) || sameComparable(a, b.left(kCountryWidth));
}

bool namesUnitedStates(QStringView name)
{
    for (const char16_t* usual : {u"USA", u"US", u"United States", u"United States of America"}) {
        if (sameName(name, usual))
            return true;
    }
    return false;
}

}  // namespace

QString homeCountry(Platform& platform)
{
    const QString stored = platform.readSetting(kApplication, kSection, kKey).trimmed();
    return stored.isEmpty() ? kDefaultHomeCountry.toString() : stored;
}

void setHomeCountry(Platform& platform, const QString& country)
{
    platform.writeSetting(kApplication, kSection, kKey, country.trimmed());
}

bool isForeignCountry(QStringView country, QStringView home)
{
    if (isBlankName(country))
        return false;
    // "UK" and "United Kingdom" are one country.
    const CountryFormat* known = countryNamed(country);
    if (const CountryFormat* atHome = countryNamed(home); known && atHome)
        return known != atHome;
    if (namesUnitedStates(home))
        return !namesUnitedStates(country);
    return !sameName(country, home);
}

QString countryLine(const QString& country, QStringView home)
{
    return isForeignCountry(country, home) ? country.trimmed().toUpper() : QString();
}

QString hyphenatedZip(const QString& zip)
{
    const QString z = zip.trimmed();
    if (z.size() != 9 || !std::all_of(z.begin(), z.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return zip;
    return z.left(5) + u'-' + z.mid(5);
}

bool nameIsCompany(const QString& first, const QString& last, const QString& company)
{
    constexpr qsizetype kLastNameWidth = 18;  // the record's last name
    const QString name = last.trimmed();
    const QString whole = company.trimmed();
    return first.trimmed().isEmpty() && !name.isEmpty()
           && (name.compare(whole, Qt::CaseInsensitive) == 0
               || name.compare(whole.left(kLastNameWidth).trimmed(), Qt::CaseInsensitive) == 0);
}

QString nameLine(const QString& first, const QString& initial, const QString& last, const QString& company)
{
    if (nameIsCompany(first, last, company))
        return company.trimmed();
    QStringList parts;
    for (const QString& part : {first, initial, last}) {
        if (!part.trimmed().isEmpty())
            parts.append(part.trimmed());
    }
    return parts.join(u' ');
}

QString cityLine(const QString& city, const QString& state, const QString& zip)
{
    QString line;
    line.reserve(city.size() + state.size() + zip.size() + 4);
    line += city;
    if (!state.isEmpty())
        line += (line.isEmpty() ? QString() : QStringLiteral(", ")) + state;
    if (!zip.isEmpty())
        line += (line.isEmpty() ? QString() : QStringLiteral("  ")) + zip;
    return line;
}

}  // namespace pw
