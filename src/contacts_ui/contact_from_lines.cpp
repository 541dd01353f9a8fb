#include "contacts_ui/contact_from_lines.h"

#include "data/text_rules.h"

#include <QLatin1StringView>
#include <QRegularExpression>

#include <algorithm>
#include <initializer_list>

namespace pw {
namespace {

using enum ContactBox;

// 1-based position of `what` in `text`, searched from the 1-based position `from`; 0 when absent.
qsizetype position(QStringView text, QStringView what, qsizetype from = 1,
                   Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    if (from > text.size())
        return 0;
    const qsizetype index = text.indexOf(what, from - 1, cs);
    return index < 0 ? 0 : index + 1;
}

qsizetype position(QStringView text, QLatin1StringView what, qsizetype from = 1,
                   Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    return position(text, QString(what), from, cs);
}

// A length below zero comes from a separator the rules count on but did not find: the part is
// then nothing, and only the box it feeds stays empty.
QString leftPart(const QString& text, qsizetype length)
{
    return length < 0 ? QString() : text.left(length);
}

QString rightPart(const QString& text, qsizetype length)
{
    return length < 0 ? QString() : text.right(length);
}

bool containsAny(const QString& text, std::initializer_list<const char*> parts, qsizetype from = 1)
{
    return std::any_of(parts.begin(), parts.end(),
                       [&](const char* part) { return position(text, QLatin1StringView(part), from) > 0; });
}

// The street suffixes that end the first street line, tried in this order. A group applies when
// one of its texts occurs (case-sensitive, from `detectFrom`); the street then ends `offset`
// characters after the locator (any case, from `locateFrom`).
struct SuffixGroup {
    std::initializer_list<const char*> detect;
    qsizetype detectFrom;
    const char* locator;
    qsizetype locateFrom;
    qsizetype offset;
};

const SuffixGroup kSuffixGroups[] = {
    {{" ave "}, 1, " Ave", 1, 4},
    {{" AVENUE", " Avenue", " avenue"}, 1, " Avenue", 1, 7},
    {{" st "}, 1, " st", 1, 3},
    {{" STREET", " Street", " street"}, 1, " Street", 1, 7},
    {{" blvd ", " Blvd", " blvd"}, 1, " blvd ", 6, 5},
    {{" BOULEVARD", " Boulevard", " boulevard"}, 1, " Boulevard", 6, 10},
    {{" cir "}, 1, " Cir ", 6, 4},
    {{" CIRCLE", " Circle", " circle"}, 1, " Circle", 6, 7},
    {{" ct ", " CT"}, 1, " Ct ", 6, 3},
    {{" COURT", " Court", " court"}, 1, " Court", 6, 6},
    {{" Dr ", " dr ", " DR "}, 1, " Dr", 6, 3},
    {{" DRIVE", " Drive", " drive"}, 1, " Drive", 1, 6},
    {{" hwy ", " HWY"}, 1, " Hwy", 6, 4},
    {{" HIGHWAY", " Highway", " highway"}, 1, " Highway", 6, 8},
    {{" ln ", " LN"}, 1, " Ln ", 6, 3},
    {{" LANE", " Lane", " lane"}, 1, " Lane", 6, 5},
    {{" pkwy ", " PKWY"}, 1, " Pkwy", 6, 5},
    {{" PARKWAY", " Parkway", " parkway"}, 1, " Parkway", 6, 8},
    {{" pl ", " PL "}, 1, " Pl ", 6, 3},
    {{" PLACE", " Place", " place"}, 1, " Place", 6, 6},
    {{" Rd", " rd ", " RD"}, 1, " Rd", 6, 3},
    {{" ROAD", " Road", " road"}, 1, " Road", 1, 5},
    {{" ter ", " TER "}, 1, " Ter ", 6, 4},
    {{" TERRACE", " Terrace", " terrace"}, 1, " Terrace", 6, 8},
    {{" WAY", " Way", " way"}, 8, " Way", 6, 4},
};

// The name without the titles people put before it.
QString withoutTitles(const QString& text)
{
    QString work = text;
    for (const char* title : {"Mrs.", "Mr.", "Ms.", "Dr.", "Miss "})
        work.remove(QLatin1StringView(title));
    for (const char* title : {"Mrs", "Mr", "Ms"}) {
        if (work.startsWith(QLatin1StringView(title)))
            work.remove(QLatin1StringView(title));
    }
    if (work.startsWith(u"Dr "))
        work.remove(QStringLiteral("Dr"));
    return work;
}

void splitNameLine(const QString& line, ContactBoxTexts& boxes)
{
    const QString work = trimLeadingBlanks(withoutTitles(line.left(18)));
    const QString first = trimBlanks(leftPart(work, position(work, u" ") - 1));
    boxes[FName] = first;

    // A single letter standing alone, or followed by a full stop, past the first two characters;
    // the last such letter in character order wins, and the punctuation between Z and a is none.
    // The title is no part of the last name.
    const QString name = trimBlanks(withoutTitles(line));
    QString initial;
    for (char16_t c = u'A'; c <= u'z'; ++c) {
        const QString letter(QChar{c});
        const QString alone = u' ' + letter + u' ';
        const QString withStop = u' ' + letter + QStringLiteral(". ");
        if (position(name, alone, 3) > 0 || position(name, withStop, 3) > 0)
            initial = c > u'Z' && c < u'a' ? QString() : letter;
    }
    boxes[MiddleInit] = initial;

    QString last = rightPart(name, name.size() - initial.size() - first.size());
    last.remove(u'.');
    if (last.size() >= 2 && last[1] == u' ')
        last = last.mid(2);
    boxes[LName] = trimBlanks(last);
}

QString firstStreetLine(const QString& street)
{
    if (street.contains(u','))
        return leftPart(street, position(street, u",", 6) - 1);
    for (const SuffixGroup& group : kSuffixGroups) {
        if (containsAny(street, group.detect, group.detectFrom)) {
            const qsizetype p = position(street, QLatin1StringView(group.locator), group.locateFrom, Qt::CaseInsensitive);
            return leftPart(street, p + group.offset);
        }
    }
    if (street.contains(u" #"))
        return leftPart(street, position(street, u"#", 6) - 2);
    return street;
}

// Where a street written with an abbreviated suffix and its full stop ("Oak St. Apt 4") ends: just
// before the stop; -1 when the line has none.
qsizetype dottedSuffixEnd(const QString& line)
{
    static const QRegularExpression dotted(
        QStringLiteral(R"( (St|Ave|Rd|Dr|Blvd|Ln|Ct|Pl|Ter|Cir|Hwy|Pkwy|Way)\. )"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = dotted.match(line);
    return match.hasMatch() ? match.capturedEnd(1) : -1;
}

// Fills both street boxes and returns the remainder of Line 2 after the first street line.
QString splitStreetLine(const QString& line, ContactBoxTexts& boxes)
{
    const QString typed = trimBlanks(line);
    const qsizetype dottedEnd = dottedSuffixEnd(typed);
    // The remainder is taken from the same text, full stops and all, that the street was.
    QString street = dottedEnd < 0 ? typed : typed.left(dottedEnd) + typed.mid(dottedEnd + 1);
    street.remove(u'.');
    const QString street1 = trimBlanks(dottedEnd < 0 ? firstStreetLine(street) : street.left(dottedEnd));
    boxes[FStreet] = street1;

    QString rest = rightPart(street, street.size() - street1.size());
    rest.remove(u',');
    rest = trimBlanks(rest);
    if (rest.size() >= 2 && rest[0] != u'#' && rest[1] == u' ' && !street1.isEmpty() && rest[0] == street1.back())
        rest = rest.mid(2, 12);
    return rest;
}

void splitCityLine(const QString& line, ContactBoxTexts& boxes)
{
    // Without a blank or a comma there is nothing to tell the city from the state and zip.
    if (line.size() < 12 || (!line.contains(u' ') && !line.contains(u',')))
        return;
    const QString front = line.left(16);
    const qsizetype end = front.contains(u',') ? position(front, u",", 3) : position(front, u" ", 5);
    boxes[City] = trimBlanks(leftPart(front, end - 1));

    const QString back = line.right(15);
    const qsizetype state = back.contains(u',') ? position(back, u",") + 2 : position(back, u" ") + 1;
    boxes[State] = trimBlanks(back.mid(state - 1, 2));

    const QString zip = line.right(10);
    boxes[Zip] = trimBlanks(zip.contains(u'-') ? zip : zip.right(5));
}

bool beginsLikeStreet(const QString& line)
{
    QString street = trimBlanks(line);
    street.remove(u'.');
    return !street.isEmpty() && ((street[0] >= u'0' && street[0] <= u'9') || street.startsWith(u"PO B"));
}

}  // namespace

std::expected<ContactBoxTexts, Message> contactFromLabelLines(const LabelLines& lines)
{
    ContactBoxTexts boxes;
    const QString& line1 = lines[0];
    if (!line1.isEmpty()) {
        if (!line1.contains(u' '))
            return std::unexpected(Message{QStringLiteral("Line 1 must contain a space."),
                                           QStringLiteral("Incorrect entry"), MessageIcon::None,
                                           MessageButtons::Ok, true});
        splitNameLine(line1, boxes);
    }
    if (!beginsLikeStreet(lines[1]))
        return boxes;
    const QString rest = splitStreetLine(lines[1], boxes);

    // A short line naming a unit below an address that had none holds the unit; the city follows.
    const QString& line3 = lines[2];
    const bool line3IsUnit = rest.isEmpty() && line3.size() <= 11
        && containsAny(line3, {"#", "SUITE", "STE", "UNIT", "APT", "Suite", "Ste", "Unit", "Apt"});
    boxes[SStreet] = line3IsUnit ? trimBlanks(line3) : rest;
    splitCityLine(line3IsUnit ? lines[3] : line3, boxes);
    return boxes;
}

}  // namespace pw
