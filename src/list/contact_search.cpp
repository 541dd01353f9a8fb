#include "list/contact_search.h"

#include "data/contact_record.h"
#include "data/text_rules.h"
#include "list/contact_lines.h"

namespace pw {
namespace {

QStringView trimBlanksView(QStringView text)
{
    while (!text.isEmpty() && text.front() == u' ')
        text = text.sliced(1);
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

}  // namespace

const std::array<SearchOption, 9>& searchOptions()
{
    static const std::array<SearchOption, 9> options = {{
        {SearchKind::FirstName, "optSearchFName", QStringLiteral("First name"), QStringLiteral("First name Search"),
         QStringLiteral("First name")},
        {SearchKind::LastName, "optSearchLName", QStringLiteral("Last name"), QStringLiteral("Last name Search"),
         QStringLiteral("Last name")},
        {SearchKind::City, "optSearchCity", QStringLiteral("City"), QStringLiteral("City Search"),
         QStringLiteral("City")},
        {SearchKind::State, "optSearchState", QStringLiteral("State"), QStringLiteral("State Search"),
         QStringLiteral("State")},
        {SearchKind::Zip, "optSearchZip", QStringLiteral("Zip code"), QStringLiteral("Zip code Search"),
         QStringLiteral("Zip")},
        {SearchKind::Email, "optSearchEmail", QStringLiteral("Email address"), QStringLiteral("Email address Search"),
         QStringLiteral("Email")},
        {SearchKind::Category, "optSearchCat", QStringLiteral("Category"), QStringLiteral("Category Search"),
         QStringLiteral("Category")},
        {SearchKind::All, "optSearchAll", QStringLiteral("View all contacts without searching"), {}, {}},
        {SearchKind::Company, "optSearchCompany", QStringLiteral("Company name"), QStringLiteral("Company Search"),
         QStringLiteral("Company name")},
    }};
    return options;
}

const SearchOption& searchOption(SearchKind kind)
{
    for (const SearchOption& option : searchOptions()) {
        if (option.kind == kind)
            return option;
    }
    return searchOptions()[7];
}

bool ContactSearch::takes(const ContactRecord& record) const
{
    QStringView field;
    switch (kind) {
    case SearchKind::All: return true;
    case SearchKind::FirstName: field = record.FirstName; break;
    case SearchKind::LastName: field = record.LastName; break;
    case SearchKind::City: field = trimBlanksView(shownCity(record)); break;
    case SearchKind::State: field = record.State; break;
    case SearchKind::Zip: field = trimBlanksView(shownZip(record)); break;
    case SearchKind::Email: field = record.Email; break;
    case SearchKind::Category: field = record.Category; break;
    case SearchKind::Company: field = record.Company; break;
    }
    // An empty text is found in any field that has something in it.
    if (field.isEmpty())
        return false;
    // Letters are found whatever their case and accents: "montreal" finds Montréal.
    return kind == SearchKind::Zip ? field.contains(text) : sortKey(field).contains(sortKey(text));
}

QString searchLabel(const ContactSearch& search)
{
    if (search.kind == SearchKind::All)
        return {};
    return searchOption(search.kind).fieldWord + QStringLiteral(" = ") + search.text;
}

}  // namespace pw
