#include "transfer/named_columns.h"

#include "transfer/heading_names.h"

#include <algorithm>

namespace pw {
namespace {

using P = EntryPart;

bool isAddressPart(EntryPart part)
{
    return part >= EntryPart::Street;
}

// "Phone 12 - Value" against "Phone # - Value": the number, or empty when it does not match.
QString groupNumber(QStringView heading, QLatin1StringView pattern)
{
    const qsizetype hash = pattern.indexOf(u'#');
    const QLatin1StringView before = pattern.left(hash);
    const QLatin1StringView after = pattern.sliced(hash + 1);
    if (!heading.startsWith(before) || !heading.endsWith(after) || heading.size() <= before.size() + after.size())
        return {};
    const QStringView number = heading.sliced(before.size(), heading.size() - before.size() - after.size());
    for (QChar c : number) {
        if (!c.isDigit())
            return {};
    }
    return number.toString();
}

// Single-valued parts keep the first value given.
void setOnce(QString& to, const QString& value)
{
    if (to.isEmpty())
        to = value;
}

}  // namespace

std::vector<BoundColumn> bindColumns(const std::vector<HeadingRule>& rules, const QStringList& heading)
{
    std::vector<BoundColumn> bound;
    for (qsizetype k = 0; k < heading.size(); ++k) {
        for (const HeadingRule& rule : rules) {
            const QLatin1StringView pattern(rule.heading);
            BoundColumn b{k, rule.part, {}, {}};
            if (pattern.contains(u'#')) {
                b.key = groupNumber(heading[k], pattern);
                if (b.key.isEmpty())
                    continue;
            } else if (heading[k] != pattern) {
                continue;
            } else if (rule.group) {
                b.type = QString::fromLatin1(rule.group);
                // Each phone column is a phone of its own ("Home Phone", "Home Phone 2"); the columns
                // of one address share its group.
                b.key = rule.part == P::Phone ? heading[k] : b.type;
            }
            bound.push_back(b);
            break;
        }
        // The exporter's bookkeeping columns are known for what they are, whichever its layout.
        const bool taken = !bound.empty() && bound.back().column == k;
        if (const std::optional<HeadingMeaning> m = taken ? std::nullopt : headingMeaning(heading[k]);
            m && m->part == P::Ignored)
            bound.push_back({k, P::Ignored, {}, {}});
    }
    return bound;
}

std::vector<BoundColumn> bindPlainColumns(const QStringList& heading)
{
    std::vector<std::optional<HeadingMeaning>> meanings;
    for (const QString& h : heading)
        meanings.push_back(headingMeaning(h));
    auto namedWithKind = [&](EntryPart part) {
        return std::any_of(meanings.begin(), meanings.end(),
                           [&](const auto& m) { return m && m->part == part && m->qualified; });
    };
    std::vector<BoundColumn> bound;
    for (qsizetype k = 0; k < heading.size(); ++k) {
        const std::optional<HeadingMeaning>& m = meanings[std::size_t(k)];
        if (!m || (isAddressPart(m->part) && !m->qualified && namedWithKind(m->part)))
            continue;
        BoundColumn b{k, m->part, {}, m->type};
        if (!m->type.isEmpty())
            b.key = m->part == P::Phone ? heading[k] : b.type;
        bound.push_back(b);
    }
    return bound;
}

bool hasPlainHeadings(const QStringList& heading)
{
    const std::vector<BoundColumn> bound = bindPlainColumns(heading);
    const bool named = std::any_of(bound.begin(), bound.end(), [](const BoundColumn& b) {
        return b.part == P::Given || b.part == P::Family || b.part == P::FullName;
    });
    const auto known = std::count_if(bound.begin(), bound.end(), [](const BoundColumn& b) { return b.part != P::Ignored; });
    return named && known >= 2;
}

AddressBookEntry entryFromRow(const std::vector<BoundColumn>& columns, const QStringList& row)
{
    AddressBookEntry e;
    QString year, month, day;
    for (const BoundColumn& b : columns) {
        const QString value = row.value(b.column).trimmed();
        if (value.isEmpty())
            continue;
        if (isAddressPart(b.part)) {
            AddressBookEntry::Address& a = e.address(b.key);
            if (a.type.isEmpty())
                a.type = b.type;
            switch (b.part) {
            case P::Street: setOnce(a.street, value); break;
            case P::Extended: a.extended += (a.extended.isEmpty() ? QString() : QStringLiteral("\n")) + value; break;
            case P::PoBox: setOnce(a.poBox, value); break;
            case P::City: setOnce(a.city, value); break;
            case P::Region: setOnce(a.region, value); break;
            case P::PostalCode: setOnce(a.postalCode, value); break;
            case P::Country: setOnce(a.country, value); break;
            case P::AddressType: a.type = value; break;
            default: break;
            }
            continue;
        }
        switch (b.part) {
        case P::Given: setOnce(e.given, value); break;
        case P::Middle: setOnce(e.middle, value); break;
        case P::Family: setOnce(e.family, value); break;
        case P::FullName: setOnce(e.fullName, value); break;
        case P::Company: setOnce(e.company, value); break;
        case P::Note: setOnce(e.note, value); break;
        case P::Birthday: setOnce(e.birthday, value); break;
        case P::BirthYear: year = value; break;
        case P::BirthMonth: month = value; break;
        case P::BirthDay: day = value; break;
        case P::Categories: e.categories += value.split(u';', Qt::SkipEmptyParts); break;
        case P::Labels:
            for (const QString& label : value.split(QStringLiteral(" ::: "))) {
                if (!label.startsWith(u'*'))
                    e.categories.append(label.trimmed());
            }
            break;
        case P::Email: e.emails += value.split(QStringLiteral(" ::: ")); break;
        case P::Phone: {
            AddressBookEntry::Phone& p = e.phone(b.key);
            if (p.type.isEmpty())
                p.type = b.type;
            p.number = value.section(QStringLiteral(" ::: "), 0, 0);
            break;
        }
        case P::PhoneType: e.phone(b.key).type = value; break;
        default: break;
        }
    }
    if (e.birthday.isEmpty() && !month.isEmpty() && !day.isEmpty())
        e.birthday = (year.isEmpty() ? QStringLiteral("-") : year) + u'-' + month + u'-' + day;
    return e;
}

const std::vector<HeadingRule>& outlookColumns()
{
    static const std::vector<HeadingRule> rules = {
        {"First Name", P::Given}, {"Middle Name", P::Middle}, {"Last Name", P::Family}, {"Company", P::Company},
        {"Business Street", P::Street, "work"}, {"Business Street 2", P::Extended, "work"},
        {"Business Street 3", P::Extended, "work"}, {"Business City", P::City, "work"},
        {"Business State", P::Region, "work"}, {"Business Postal Code", P::PostalCode, "work"},
        {"Business Country/Region", P::Country, "work"}, {"Business Country", P::Country, "work"}, {"Business Address PO Box", P::PoBox, "work"},
        {"Home Street", P::Street, "home"}, {"Home Street 2", P::Extended, "home"},
        {"Home Street 3", P::Extended, "home"}, {"Home City", P::City, "home"}, {"Home State", P::Region, "home"},
        {"Home Postal Code", P::PostalCode, "home"}, {"Home Country/Region", P::Country, "home"}, {"Home Country", P::Country, "home"},
        {"Home Address PO Box", P::PoBox, "home"},
        {"Other Street", P::Street, "other"}, {"Other Street 2", P::Extended, "other"},
        {"Other Street 3", P::Extended, "other"}, {"Other City", P::City, "other"},
        {"Other State", P::Region, "other"}, {"Other Postal Code", P::PostalCode, "other"},
        {"Other Country/Region", P::Country, "other"}, {"Other Country", P::Country, "other"}, {"Other Address PO Box", P::PoBox, "other"},
        {"Business Phone", P::Phone, "work"}, {"Business Phone 2", P::Phone, "work"},
        {"Home Phone", P::Phone, "home"}, {"Home Phone 2", P::Phone, "home"}, {"Mobile Phone", P::Phone, "cell"},
        {"Primary Phone", P::Phone, "voice"}, {"Other Phone", P::Phone, "voice"},
        {"E-mail Address", P::Email}, {"E-mail 2 Address", P::Email}, {"E-mail 3 Address", P::Email},
        {"Birthday", P::Birthday}, {"Notes", P::Note}, {"Categories", P::Categories},
    };
    return rules;
}

const std::vector<HeadingRule>& googleColumns()
{
    // The current form and the older one ("Given Name", "Group Membership", "... - Type") together:
    // no heading means one thing in one and another in the other.
    static const std::vector<HeadingRule> rules = {
        {"First Name", P::Given}, {"Middle Name", P::Middle}, {"Last Name", P::Family},
        {"Given Name", P::Given}, {"Additional Name", P::Middle}, {"Family Name", P::Family}, {"Name", P::FullName},
        {"Organization Name", P::Company}, {"Organization # - Name", P::Company}, {"Company", P::Company},
        {"Birthday", P::Birthday}, {"Notes", P::Note}, {"Labels", P::Labels}, {"Group Membership", P::Labels},
        {"E-mail # - Value", P::Email},
        {"Phone # - Label", P::PhoneType}, {"Phone # - Type", P::PhoneType}, {"Phone # - Value", P::Phone},
        {"Address # - Label", P::AddressType}, {"Address # - Type", P::AddressType},
        {"Address # - Street", P::Street}, {"Address # - Extended Address", P::Extended},
        {"Address # - PO Box", P::PoBox}, {"Address # - City", P::City}, {"Address # - Region", P::Region},
        {"Address # - Postal Code", P::PostalCode}, {"Address # - Country", P::Country},
    };
    return rules;
}

const std::vector<HeadingRule>& thunderbirdColumns()
{
    static const std::vector<HeadingRule> rules = {
        {"First Name", P::Given}, {"Last Name", P::Family}, {"Display Name", P::FullName},
        {"Primary Email", P::Email}, {"Secondary Email", P::Email},
        {"Work Phone", P::Phone, "work"}, {"Home Phone", P::Phone, "home"}, {"Mobile Number", P::Phone, "cell"},
        {"Home Address", P::Street, "home"}, {"Home Address 2", P::Extended, "home"},
        {"Home City", P::City, "home"}, {"Home State", P::Region, "home"}, {"Home ZipCode", P::PostalCode, "home"},
        {"Home Country", P::Country, "home"},
        {"Work Address", P::Street, "work"}, {"Work Address 2", P::Extended, "work"},
        {"Work City", P::City, "work"}, {"Work State", P::Region, "work"}, {"Work ZipCode", P::PostalCode, "work"},
        {"Work Country", P::Country, "work"},
        {"Organization", P::Company}, {"Birth Year", P::BirthYear}, {"Birth Month", P::BirthMonth},
        {"Birth Day", P::BirthDay}, {"Notes", P::Note},
    };
    return rules;
}

const std::vector<HeadingRule>& portalColumns()
{
    static const std::vector<HeadingRule> rules = {
        {"First", P::Given}, {"Middle", P::Middle}, {"Last", P::Family}, {"Email", P::Email},
        {"Alternate Email 1", P::Email}, {"Alternate Email 2", P::Email}, {"Category", P::Categories},
        {"Home", P::Phone, "home"}, {"Work", P::Phone, "work"}, {"Mobile", P::Phone, "cell"},
        {"Other", P::Phone, "voice"}, {"Pager", P::Phone, "pager"}, {"Fax", P::Phone, "fax"},
        {"Company", P::Company},
        {"Home Address", P::Street, "home"}, {"Home City", P::City, "home"}, {"Home State", P::Region, "home"},
        {"Home ZIP", P::PostalCode, "home"}, {"Home Country", P::Country, "home"},
        {"Work Address", P::Street, "work"}, {"Work City", P::City, "work"}, {"Work State", P::Region, "work"},
        {"Work ZIP", P::PostalCode, "work"}, {"Work Country", P::Country, "work"},
        {"Birthday", P::Birthday}, {"Comments", P::Note}, {"Notes", P::Note},
    };
    return rules;
}

}  // namespace pw
