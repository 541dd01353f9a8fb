#include "printing/address_format.h"

#include <QByteArrayView>
#include <QHash>
#include <QRegularExpression>

#include <iterator>

namespace pw {
namespace {

constexpr CountryFormat kFormats[] = {
#include "printing/address_formats.inc"
};

constexpr qsizetype kCountryWidth = 19;  // the record's country field

// Letters and digits only, without case.
QString folded(QStringView name)
{
    QString key;
    for (QChar c : name) {
        if (c.isLetterOrNumber())
            key += c.toCaseFolded();
    }
    return key;
}

const QHash<QString, const CountryFormat*>& byName()
{
    static const QHash<QString, const CountryFormat*> table = [] {
        QHash<QString, const CountryFormat*> all;
        const auto add = [&all](QStringView name, const CountryFormat* format) {
            all.insert(folded(name), format);
            all.insert(folded(name.left(kCountryWidth)), format);
        };
        QHash<QString, const CountryFormat*> codes;
        for (const CountryFormat& f : kFormats) {
            codes.insert(QString::fromLatin1(f.code), &f);
            add(QString::fromLatin1(f.code), &f);
            add(QString::fromLatin1(f.code3), &f);
            for (const QString& name : QString::fromUtf8(f.names).split(u'|'))
                add(name, &f);
        }
        for (const auto& [alias, code] : {std::pair{u"UK", u"GB"}, {u"Great Britain", u"GB"}, {u"England", u"GB"},
                                          {u"USA", u"US"}, {u"United States of America", u"US"},
                                          {u"Holland", u"NL"}}) {
            if (const CountryFormat* f = codes.value(QString::fromUtf16(code)))
                add(QStringView(alias), f);
        }
        return all;
    }();
    return table;
}

QString field(QChar part, const CountryFormat& format, const QString& city, const QString& state, const QString& zip)
{
    QString value;
    switch (part.unicode()) {
    case u'C': value = city; break;
    case u'S': value = state; break;
    case u'Z': value = zip; break;
    default: return {};
    }
    return inCapitals(format, static_cast<char>(part.unicode())) ? value.toUpper() : value;
}

// A format line with its parts filled in, and what an empty part leaves tidied away.
QString filled(QStringView line, const CountryFormat& format, const QString& city, const QString& state,
               const QString& zip)
{
    QString out;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'%' && i + 1 < line.size())
            out += field(line[++i], format, city, state, zip);
        else
            out += line[i];
    }
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    out = out.replace(blanks, QStringLiteral(" ")).trimmed();
    while (out.startsWith(u',') || out.startsWith(u'-'))
        out = out.mid(1).trimmed();
    while (out.endsWith(u',') || out.endsWith(u'-'))
        out.chop(1);
    return out.trimmed();
}

}  // namespace

const CountryFormat* countryNamed(QStringView country)
{
    const QString key = folded(country);
    return key.isEmpty() ? nullptr : byName().value(key);
}

QString countryKey(QStringView country)
{
    const CountryFormat* format = countryNamed(country);
    return format ? QString::fromLatin1(format->code) : folded(country);
}

bool inCapitals(const CountryFormat& format, char part)
{
    return QByteArrayView(format.upper).contains(part);
}

LocalityLines localityLines(const CountryFormat& format, const QString& city, const QString& state,
                            const QString& zip)
{
    LocalityLines result;
    const QString fmt = QString::fromUtf8(format.format);
    result.companyAbove = fmt.indexOf(u"%O") >= 0 && fmt.indexOf(u"%O") < fmt.indexOf(u"%N");
    const QStringList lines = fmt.split(QStringLiteral("%n"));
    qsizetype street = 0;
    while (street < lines.size() && !lines[street].contains(u"%A"))
        ++street;
    if (street == lines.size())
        return result;
    const QStringView tail = QStringView(lines[street]).mid(lines[street].indexOf(u"%A") + 2);
    if (const QString after = filled(tail, format, city, state, zip); !after.isEmpty())
        result.afterStreet = (tail.trimmed().startsWith(u',') ? QStringLiteral(", ") : QStringLiteral(" ")) + after;
    for (qsizetype i = street + 1; i < lines.size(); ++i) {
        if (const QString line = filled(lines[i], format, city, state, zip); !line.isEmpty())
            result.lines.append(line);
    }
    return result;
}

}  // namespace pw
