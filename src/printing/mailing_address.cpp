#include "printing/mailing_address.h"

#include "platform/platform.h"

namespace pw {
namespace {

const QString kApplication = QStringLiteral("Postwick");
const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("HomeCountry");
constexpr qsizetype kCountryWidth = 19;  // the record's country field

QString comparable(QStringView name)
{
    QString out;
    for (QChar c : name) {
        if (c != u'.' && !c.isSpace())
            out += c.toCaseFolded();
    }
    return out;
}

// Whether `a` names `b`, or `b` cut to the record's width.
bool sameName(QStringView a, QStringView b)
{
    const QString name = comparable(a);
    return name == comparable(b) || name == comparable(b.left(kCountryWidth));
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
    if (comparable(country).isEmpty())
        return false;
    if (namesUnitedStates(home))
        return !namesUnitedStates(country);
    return !sameName(country, home);
}

QString countryLine(const QString& country, QStringView home)
{
    return isForeignCountry(country, home) ? country.trimmed() : QString();
}

QString cityLine(const QString& city, const QString& state, const QString& zip)
{
    QString line = city;
    if (!state.isEmpty())
        line += (line.isEmpty() ? QString() : QStringLiteral(", ")) + state;
    if (!zip.isEmpty())
        line += (line.isEmpty() ? QString() : QStringLiteral("  ")) + zip;
    return line;
}

}  // namespace pw
