#include "data/same_person.h"

#include "data/text_rules.h"

#include <algorithm>

namespace pw {
namespace {

constexpr qsizetype kFewestPhoneDigits = 7;
constexpr qsizetype kMostPhoneDigitsCompared = 10;

QString folded(const QString& text)
{
    return sortKey(text.simplified());
}

bool samePhone(const QString& a, const QString& b)
{
    const qsizetype shorter = std::min(a.size(), b.size());
    if (shorter < kFewestPhoneDigits)
        return false;
    const qsizetype compared = std::min(shorter, kMostPhoneDigitsCompared);
    return a.right(compared) == b.right(compared);
}

bool hasNone(const PersonMarks& m)
{
    return m.email.isEmpty() && m.street.isEmpty() && m.phones.isEmpty();
}

}  // namespace

QString digitsOf(const QString& text)
{
    QString digits;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    return digits;
}

PersonMarks personMarks(const ContactRecord& stored)
{
    PersonMarks m;
    const QString first = folded(stored.FirstName), last = folded(stored.LastName);
    if (!first.isEmpty() || !last.isEmpty())
        m.name = first + u'\x1f' + last;
    m.email = stored.Email.trimmed().toLower();
    m.street = folded(stored.Street1);
    for (const QString* phone : {&stored.HomePhone, &stored.CellPhone, &stored.WorkPhone}) {
        if (QString digits = digitsOf(*phone); !digits.isEmpty())
            m.phones.append(digits);
    }
    return m;
}

bool samePerson(const PersonMarks& a, const PersonMarks& b)
{
    if (a.name.isEmpty() || a.name != b.name)
        return false;
    if (hasNone(a) && hasNone(b))
        return true;
    if (!a.email.isEmpty() && a.email == b.email)
        return true;
    if (!a.street.isEmpty() && a.street == b.street)
        return true;
    return std::any_of(a.phones.begin(), a.phones.end(), [&](const QString& p) {
        return std::any_of(b.phones.begin(), b.phones.end(), [&](const QString& q) { return samePhone(p, q); });
    });
}

}  // namespace pw
