#include "transfer/import_layouts.h"

#include "data/text_rules.h"
#include "transfer/csv_text.h"

#include <algorithm>

namespace pw {
namespace {

using R = ContactRecord;

bool holds(const QString& text, const std::vector<const char*>& texts, bool all)
{
    auto in = [&](const char* t) { return text.contains(QLatin1StringView(t)); };
    return all ? std::all_of(texts.begin(), texts.end(), in) : std::any_of(texts.begin(), texts.end(), in);
}

bool hasDigit(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// This program's own export holds only values the contact form accepted: each is kept as written
// (postal codes of any country, phone extensions and letters, any four-digit year), less the
// apostrophe that kept a spreadsheet from running it. The middle initial is cut to one character
// only now, after its apostrophe is gone.
void cleanUpOwnExport(ContactRecord& r)
{
    for (const ContactRecord::Field& f : ContactRecord::kFields)
        r.*f.member = withoutFormulaGuard(r.*f.member);
    r.MiddleInitial.truncate(1);
}

// The same heading tried in several columns, each an independent rule in column order.
void addRules(std::vector<ColumnRule>& rules, const char* heading, std::initializer_list<int> columns,
              QString ContactRecord::*field, bool firstCharacter = false)
{
    for (int column : columns)
        rules.push_back({heading, column, field, firstCharacter});
}

std::vector<BoundColumn> bindOutlook(const QStringList& heading)
{
    return bindColumns(outlookColumns(), heading);
}
std::vector<BoundColumn> bindGoogle(const QStringList& heading)
{
    return bindColumns(googleColumns(), heading);
}
std::vector<BoundColumn> bindThunderbird(const QStringList& heading)
{
    return bindColumns(thunderbirdColumns(), heading);
}
std::vector<BoundColumn> bindPortal(const QStringList& heading)
{
    return bindColumns(portalColumns(), heading);
}

// Google writes its repeated fields numbered ("E-mail 1 - Value", "Phone 1 - Value",
// "Address 1 - Street"), only as many as its contacts use; its current form always has "File As"
// and "Labels" too.
bool hasGoogleColumns(const QStringList& heading)
{
    const bool numbered = std::any_of(heading.begin(), heading.end(), [](const QString& h) {
        return (h.startsWith(u"E-mail ") || h.startsWith(u"Phone ") || h.startsWith(u"Address "))
            && (h.endsWith(u" - Value") || h.endsWith(u" - Street"));
    });
    return numbered || (heading.contains(QLatin1StringView("File As")) && heading.contains(QLatin1StringView("Labels")));
}

LayoutRules namedLayout(ImportLayout layout, std::vector<const char*> headings,
                        std::vector<BoundColumn> (*bind)(const QStringList&))
{
    return {layout, {.headings = std::move(headings)}, NamedColumns{bind}};
}

std::vector<LayoutRules> makeLayouts()
{
    std::vector<LayoutRules> layouts;
    // The desktop program writes three street lines per address, Outlook.com one. Older mail
    // programs wrote some of the same headings; their files stay with NameAndEmailList and
    // OlderMailProgram (whose files begin "...,Suffix,Initials,Web Page,").
    layouts.push_back(namedLayout(ImportLayout::OutlookDesktop,
                                  {"Home Street", "Home Street 2", "Home Postal Code", "Home Country/Region",
                                   "Business Street"},
                                  bindOutlook));
    layouts.push_back(namedLayout(ImportLayout::OutlookWeb,
                                  {"Home Street", "Home Postal Code", "Home Country/Region", "Business Street"},
                                  bindOutlook));
    // The English desktop program before "Country/Region" wrote "Home Country" and three street lines.
    layouts.push_back(namedLayout(ImportLayout::OutlookDesktop,
                                  {"Home Street", "Home Street 2", "Home Postal Code", "Home Country",
                                   "Business Street"},
                                  bindOutlook));
    for (LayoutRules* outlook : {&layouts[0], &layouts[1], &layouts[2]})
        outlook->recognition.none = {"Name,E-mail Address", "Suffix,Initials,Web Page,"};
    layouts.push_back(namedLayout(ImportLayout::Google, {"First Name", "Last Name"}, bindGoogle));
    layouts.back().recognition.recognise = hasGoogleColumns;
    layouts.push_back(namedLayout(ImportLayout::GoogleOlder, {"Given Name", "Family Name"}, bindGoogle));
    layouts.back().recognition.recognise = hasGoogleColumns;
    layouts.push_back(
        namedLayout(ImportLayout::Thunderbird, {"Primary Email", "Home ZipCode", "Birth Year"}, bindThunderbird));

    // A web portal's address book, and a desktop mail program's older contacts, which write some of
    // the desktop program's headings.
    layouts.push_back({ImportLayout::PortalAddressBook, {.any = {"Yahoo! Phone", "Yahoo Phone"}}, NamedColumns{bindPortal}});
    layouts.push_back({ImportLayout::OlderMailProgram, {.all = {"Primary Phone", "Web Page"}}, NamedColumns{bindOutlook}});

    // A name list that begins "First Name,Last Name,...,E-mail Address": its columns by their headings.
    layouts.push_back({ImportLayout::NameAndEmailList, {.all = {"First Name,", "Name,E-mail Address"}},
                       NamedColumns{bindPlainColumns}});

    PositionalColumns own;
    own.skipIfAny = {"Birthdate,Category,Notes"};
    own.rules = {{"First Name", 1, &R::FirstName},   {"MI", 2, &R::MiddleInitial},
                 {"Last Name", 3, &R::LastName},     {"Street1", 4, &R::Street1},
                 {"Street2", 5, &R::Street2},        {"City", 6, &R::City},
                 {"State", 7, &R::State},            {"Zip", 8, &R::Zip},
                 {"Country", 9, &R::Country},        {"Company", 10, &R::Company},
                 {"Include Company in Address", 11, &R::IncludeCompany},
                 {"Home Phone", 12, &R::HomePhone},  {"Cell Phone", 13, &R::CellPhone},
                 {"Work Phone", 14, &R::WorkPhone},  {"Email", 15, &R::Email},
                 {"Birthdate", 16, &R::Birthdate},   {"Category", 17, &R::Category},
                 {"Notes", 18, &R::Notes}};
    own.cleanUp = cleanUpOwnExport;
    layouts.push_back({ImportLayout::OwnExport, {.all = {"First Name,MI", "Birthdate,Category,Notes"}}, own});

    layouts.push_back({ImportLayout::PlainHeadings, {.recognise = hasPlainHeadings},
                       NamedColumns{bindPlainColumns}});

    PositionalColumns names;
    names.headingCut = HeadingCut::AfterEmailHeading;
    names.skipIfAny = {"Name,", "First,"};
    names.requiredColumns = {1, 2};
    addRules(names.rules, "First Name", {1, 2}, &R::FirstName);
    addRules(names.rules, "First", {1, 2}, &R::FirstName);
    addRules(names.rules, "Last Name", {1, 2, 3}, &R::LastName);
    addRules(names.rules, "Last", {1, 2, 3}, &R::LastName);
    addRules(names.rules, "Middle Name", {2}, &R::MiddleInitial, true);
    addRules(names.rules, "Middle", {3}, &R::MiddleInitial, true);
    addRules(names.rules, "MI", {2, 3}, &R::MiddleInitial, true);
    addRules(names.rules, "Middle Initial", {2, 3}, &R::MiddleInitial, true);
    for (const char* heading : {"E-mail Address", "E-mail", "Email Address", "Email"})
        addRules(names.rules, heading, {3, 4, 5, 6, 7, 8}, &R::Email);
    layouts.push_back({ImportLayout::NamesWithEmail,
                       {.all = {"Name,"},
                        .none = {"Suffix,Initials,Web Page,", "Name,E-mail Address,", "Distribution Lists",
                                 "Birthdate,Category,Notes"}},
                       names});

    return layouts;
}

// The e-mail headings of NamesWithEmail; the last one the heading line holds is the e-mail column. The
// heading line is searched as if a comma followed its last column, which may be the e-mail one.
qsizetype emailHeadingEnd(const QString& headingLine)
{
    const QString line = headingLine + u',';
    qsizetype end = -1;
    for (const char* heading : {"E-mail Address,", "Email Address,", "E-mail,", "Email,"}) {
        const QLatin1StringView h(heading);
        if (const qsizetype at = line.indexOf(h); at >= 0)
            end = at + h.size() - 1;
    }
    return end;
}

}  // namespace

const std::vector<LayoutRules>& importLayouts()
{
    static const std::vector<LayoutRules> layouts = makeLayouts();
    return layouts;
}

const LayoutRules* recogniseLayout(const QStringList& heading)
{
    const QString headingLine = joinedColumns(heading);
    for (const LayoutRules& layout : importLayouts()) {
        const Recognition& r = layout.recognition;
        const bool columns = std::all_of(r.headings.begin(), r.headings.end(), [&](const char* h) {
            return heading.contains(QLatin1StringView(h));
        });
        if (columns && (!r.recognise || r.recognise(heading)) && holds(headingLine, r.all, true)
            && (r.any.empty() || holds(headingLine, r.any, false)) && !holds(headingLine, r.none, false))
            return &layout;
    }
    return nullptr;
}

std::expected<std::optional<QStringList>, FileError> prepareHeading(const PositionalColumns& rules,
                                                                    const QStringList& heading)
{
    QStringList columns = rules.keepColumns > 0 ? heading.mid(0, rules.keepColumns) : heading;
    const QString line = joinedColumns(columns);
    switch (rules.headingCut) {
    case HeadingCut::None:
        return columns;
    case HeadingCut::AfterEmailHeading: {
        const qsizetype end = emailHeadingEnd(line);
        if (end < 0)
            return std::optional<QStringList>();
        return sliceColumns(columns, 0, end);
    }
    }
    return columns;
}

std::optional<ContactRecord> contactFromRow(const PositionalColumns& rules, const QStringList& heading,
                                            const QStringList& row)
{
    const QStringList columns = rules.keepColumns > 0 ? row.mid(0, rules.keepColumns) : row;
    const QString text = joinedColumns(columns);
    if ((!rules.skipIfAll.empty() && holds(text, rules.skipIfAll, true)) || holds(text, rules.skipIfAny, false))
        return std::nullopt;
    for (int column : rules.requiredColumns) {
        if (columns.value(column - 1).isEmpty())
            return std::nullopt;
    }

    ContactRecord r;
    r.IncludeCompany = QStringLiteral("1");
    for (const ColumnRule& rule : rules.rules) {
        const qsizetype h = rule.column == 0 ? heading.size() - 1 : rule.column - 1;
        if (h < 0 || h >= heading.size() || heading[h] != QLatin1StringView(rule.heading))
            continue;
        // Exporters drop a row's empty trailing columns: a column the row lacks is empty.
        QString value = blankControlCharacters(columns.value(h));
        r.*rule.field = rule.firstCharacter ? value.left(1) : value;
    }
    if (rules.cleanUp)
        rules.cleanUp(r);
    return r;
}

void applyPhoneRule(QString& phone, bool dashRequired)
{
    if (!readsAsNumber(QStringView(phone).right(4)) || (dashRequired && !phone.contains(u'-')))
        phone.clear();
}

void applyPlaceRules(ContactRecord& r)
{
    if (hasDigit(r.City))
        r.City.clear();
    if (r.State.contains(u'#') || hasDigit(r.State) || r.State.size() > 2)
        r.State.clear();
    if (!readsAsNumber(QStringView(r.Zip).left(5)))
        r.Zip.clear();
    if (r.Country.contains(u'#') || hasDigit(r.Country))
        r.Country.clear();
}

}  // namespace pw
