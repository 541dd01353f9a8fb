#include "list/contact_lines.h"

#include "data/contacts_file.h"
#include "list/contact_line_model.h"
#include "data/text_rules.h"
#include "list/contact_search.h"
#include "list/list_contacts.h"
#include "support/qt_printers.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

namespace pw {
using namespace Qt::StringLiterals;
namespace {

using test::person;

QString blanks(int n)
{
    return QString(n, u' ');
}

// Piece `n` (from 0) of the record's line, first name first.
QString piece(const ContactRecord& r, int n, AddressDisplay display = AddressDisplay::Street)
{
    return contactLine(displayValues(r), SortOrder::FirstName, display).section(u'\t', n, n);
}

TEST(ListDisplayValues, FollowTheFieldRules)
{
    ContactRecord r = person(u"Mary"_s, u"Smith"_s);
    // Initials: an upper-case letter gets a period and a blank; anything else is left out.
    r.MiddleInitial = u"J"_s;
    EXPECT_EQ(piece(r, 0), u"Mary J. Smith");
    for (const char* other : {"j", "", "1", "É"}) {
        r.MiddleInitial = QString::fromUtf8(other);
        EXPECT_EQ(piece(r, 0), u"Mary Smith") << other;
    }

    // Streets: under 2 characters become 40 blanks, 3 to 19 get 12 more, 2 and 20 or more stay;
    // the second line follows after one blank.
    r.Street2 = u"Apt 4"_s;
    const std::pair<const char*, QString> streets[] = {
        {"", blanks(40)},
        {"A", blanks(40)},
        {"PO", u"PO"_s},
        {"1 Elm", u"1 Elm"_s + blanks(12)},
        {"1234567890123456789", u"1234567890123456789"_s + blanks(12)},
        {"12345678901234567890", u"12345678901234567890"_s},
    };
    for (const auto& [stored, shown] : streets) {
        r.Street1 = QString::fromLatin1(stored);
        EXPECT_EQ(piece(r, 1), shown + u" Apt 4"_s) << stored;
    }

    // City and zip keep their stored width; under 2 characters they read Unknown.
    EXPECT_EQ(piece(r, 2), u"Reno"_s + blanks(12));
    EXPECT_EQ(piece(r, 4), u"89501"_s + blanks(5 + 6));
    r.City = u"X"_s;
    r.Zip = QString();
    EXPECT_EQ(piece(r, 2), u"Unknown"_s + blanks(9));
    EXPECT_EQ(piece(r, 3, AddressDisplay::Email), u"Unknown"_s + blanks(3));
    EXPECT_EQ(r.City, u"X");

    // Phones show as stored when their digits, punctuation aside, read 1 or more, else as 22 blanks.
    r.HomePhone = u"555-0123"_s;
    r.CellPhone = u"(796) 555-1050"_s;
    EXPECT_EQ(piece(r, 5), u"555-0123"_s + blanks(7));
    EXPECT_EQ(piece(r, 6), u"(796) 555-1050"_s + blanks(1));
    for (const char* hidden : {"", "0", "000-0000", "( ) -", "n/a"}) {
        r.HomePhone = QString::fromLatin1(hidden);
        EXPECT_EQ(piece(r, 5), blanks(22)) << hidden;
    }
    for (const char* shown : {"1", "+1 555 0100", "0-555-0123", "(555) 0123", "555-CALL x12"}) {
        r.HomePhone = QString::fromLatin1(shown);
        EXPECT_EQ(trimBlanks(piece(r, 5)), QString::fromLatin1(shown)) << shown;
    }
    EXPECT_EQ(piece(r, 3), u"NV");
}

TEST(ListLines, HaveFourFormats)
{
    ContactRecord r = person(QStringLiteral("Mary"), QStringLiteral("Smith"), QStringLiteral("Spring"));
    r.MiddleInitial = QStringLiteral("J");
    r.Street2 = QStringLiteral("Apt 4");
    r.HomePhone = QStringLiteral("775-555-0100");
    r.Email = QStringLiteral("mary@example.com");
    const DisplayValues v = displayValues(r);
    const QString city = u"Spring"_s + blanks(10);
    const QString zip = u"89501"_s + blanks(5);
    const QString home = u"775-555-0100"_s + blanks(3);
    const QString email = u"mary@example.com"_s + blanks(34);
    const QString street = u"12 Main St"_s + blanks(12) + u" Apt 4"_s;

    EXPECT_EQ(contactLine(v, SortOrder::FirstName, AddressDisplay::Email),
              u"Mary J. Smith\t"_s + city + u"\tNV\t"_s + zip + u'\t' + home + u'\t' + blanks(22) + u'\t' + email);
    EXPECT_EQ(contactLine(v, SortOrder::FirstName, AddressDisplay::Street),
              u"Mary J. Smith\t"_s + street + u'\t' + city + u"\tNV\t"_s + zip + blanks(6) + u'\t' + home + u'\t' +
                  blanks(22));
    EXPECT_EQ(contactLine(v, SortOrder::LastName, AddressDisplay::Email).section(u'\t', 0, 0), u"Smith, Mary J. ");
    EXPECT_EQ(contactLine(v, SortOrder::LastName, AddressDisplay::Street).section(u'\t', 1), 
              contactLine(v, SortOrder::FirstName, AddressDisplay::Street).section(u'\t', 1));
    r.MiddleInitial.clear();
    EXPECT_EQ(contactLine(displayValues(r), SortOrder::FirstName, AddressDisplay::Email).section(u'\t', 0, 0),
              u"Mary Smith");
    EXPECT_EQ(contactLine(displayValues(r), SortOrder::LastName, AddressDisplay::Email).section(u'\t', 0, 0),
              u"Smith, Mary ");
}

TEST(ListLines, SortByTheWholeLineWithoutRegardToCase)
{
    std::vector<ContactLine> lines = {{QStringLiteral("smith, Zoe \tReno"), 1},
                                      {QStringLiteral("Smith, Adam \tReno"), 2},
                                      {QStringLiteral("SMITH, Mary \tReno"), 3},
                                      {QStringLiteral("Adams, Eve \tReno"), 4},
                                      {QStringLiteral("Smith, Mary \tAustin"), 5}};
    sortLines(lines);
    std::vector<int> order;
    for (const ContactLine& line : lines)
        order.push_back(line.record());
    // The same leading name is ordered by what follows it, here the first name and then the city.
    EXPECT_EQ(order, (std::vector<int>{4, 2, 5, 3, 1}));

    // Accented letters sort as their base letters, whatever the locale.
    std::vector<ContactLine> accented;
    for (const char16_t* name : {u"Zoe", u"\u00c9mile", u"Eve", u"\u00d8rsted", u"Oscar", u"\u0141ukasz", u"Lee"})
        accented.push_back({QString::fromUtf16(name), 0});
    sortLines(accented);
    QStringList sorted;
    for (const ContactLine& line : accented)
        sorted << line.text().toString();
    EXPECT_EQ(sorted, (QStringList{u"\u00c9mile"_s, u"Eve"_s, u"Lee"_s, u"\u0141ukasz"_s, u"\u00d8rsted"_s,
                                   u"Oscar"_s, u"Zoe"_s}));

    // A pasted line goes to its sorted place and has no record.
    ContactLineModel model;
    model.setLines(lines);
    EXPECT_EQ(model.insertSorted(QStringLiteral("smith, b")), 2);
    EXPECT_EQ(model.insertSorted(QString()), 0);
    EXPECT_EQ(model.line(0).record(), 0);
    model.removeLines({0, 1});
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.line(1).text(), u"smith, b");
}

TEST(ListLines, ALongListSortsAsAPlainStableSortByTheKey)
{
    // Enough lines for the sort to split its work, with long shared beginnings, lines that are
    // the beginnings of others, case, accents and exact repeats.
    const QStringList names = {u"Smith, Johnathan Alexander"_s, u"SMITH, Johnathan Alexande"_s, u"\u00c9mile"_s,
                               u"Emile"_s, u"smith, johnathan alexander"_s, u"Smith"_s, u"\u0152uvre, Anne"_s};
    std::vector<ContactLine> lines;
    for (int i = 0; i < 6000; ++i)
        lines.push_back({names[i % names.size()] + QString(i % 3, u' ') + u'\t' + QString::number(i % 97), i});
    std::vector<ContactLine> expected = lines;
    std::stable_sort(expected.begin(), expected.end(), [](const ContactLine& a, const ContactLine& b) {
        return lineSortKey(a.text()) < lineSortKey(b.text());
    });
    sortLines(lines);
    EXPECT_EQ(lines, expected);
}

TEST(ContactSearch, FindsTheTextAnywhereInOneTrimmedField)
{
    ContactRecord r = person(QStringLiteral("Annabel"), QStringLiteral("McKay"), QStringLiteral("Springfield"));
    r.State = QStringLiteral("NC");
    r.Email = QStringLiteral("ann@example.com");
    r.Category = QStringLiteral("family;club");
    r.Company = QStringLiteral("Acme Tools");
    struct Case {
        SearchKind kind;
        const char* match;
        const char* nearMiss;
    };
    for (const Case& c : {Case{SearchKind::FirstName, "NABEL", "Annabelle"}, Case{SearchKind::LastName, "mck", "mac"},
                          Case{SearchKind::City, "FIELD", "field "}, Case{SearchKind::State, "c", "CA"},
                          Case{SearchKind::Zip, "895", "8950 "}, Case{SearchKind::Email, "EXAMPLE", "ann@example.org"},
                          Case{SearchKind::Category, "Club", "clubs"}, Case{SearchKind::Company, "tools", "Tool s"}}) {
        const ContactSearch hit{c.kind, QString::fromLatin1(c.match)};
        const ContactSearch miss{c.kind, QString::fromLatin1(c.nearMiss)};
        EXPECT_TRUE(hit.takes(r)) << c.match;
        EXPECT_FALSE(miss.takes(r)) << c.nearMiss;
    }
    EXPECT_EQ(searchLabel({SearchKind::City, QStringLiteral("Spring")}), u"City = Spring");
    EXPECT_EQ(searchLabel({SearchKind::Company, QStringLiteral("x")}), u"Company name = x");
    EXPECT_EQ(searchLabel({SearchKind::All, QStringLiteral("x")}), u"");

    // Blank city and zip are searched as Unknown, the zip with its letter case.
    r.City.clear();
    r.Zip = QStringLiteral("1");
    EXPECT_TRUE((ContactSearch{SearchKind::City, QStringLiteral("unk")}.takes(r)));
    EXPECT_TRUE((ContactSearch{SearchKind::Zip, QStringLiteral("Unk")}.takes(r)));
    EXPECT_FALSE((ContactSearch{SearchKind::Zip, QStringLiteral("unk")}.takes(r)));
    // An empty text takes every field that has something in it.
    EXPECT_TRUE((ContactSearch{SearchKind::Company, {}}.takes(r)));
    r.Company.clear();
    EXPECT_FALSE((ContactSearch{SearchKind::Company, {}}.takes(r)));
    EXPECT_TRUE((ContactSearch{SearchKind::All, QStringLiteral("zzz")}.takes(r)));

    // Letters are found without regard to their accents either way.
    r.City = QStringLiteral("Montr\u00e9al");
    EXPECT_TRUE((ContactSearch{SearchKind::City, QStringLiteral("montreal")}.takes(r)));
    EXPECT_TRUE((ContactSearch{SearchKind::City, QStringLiteral("TR\u00c9")}.takes(r)));
}

TEST(ContactLinesOfAFile, CarryTheirRecordNumbersAndOnlyWhatTheSearchTakes)
{
    test::TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    test::writeContacts(path, {person(QStringLiteral("Zed"), QStringLiteral("A")),
                               person(QStringLiteral("Amy"), QStringLiteral("B"), QStringLiteral("Sparks")),
                               person(QStringLiteral("Bob"), QStringLiteral("C"))});
    ContactsFile contacts;
    ASSERT_TRUE(contacts.open(path));
    auto all = contactLines(contacts, {}, SortOrder::FirstName, AddressDisplay::Email);
    ASSERT_TRUE(all);
    ASSERT_EQ(all->size(), 3u);
    EXPECT_TRUE(all->at(0).text().toString().startsWith(u"Amy B\t"));
    EXPECT_EQ(all->at(0).record(), 2);
    EXPECT_EQ(all->at(2).record(), 1);
    auto sparks = contactLines(contacts, {SearchKind::City, QStringLiteral("SPA")}, SortOrder::LastName,
                               AddressDisplay::Street);
    ASSERT_TRUE(sparks);
    ASSERT_EQ(sparks->size(), 1u);
    EXPECT_EQ(sparks->at(0).record(), 2);

    contacts.close();
    EXPECT_FALSE(contactLines(contacts, {}, SortOrder::FirstName, AddressDisplay::Email));
}

TEST(ContactLinesOfAFile, AreTheLinesOfTheDecodedRecordsSortedWithEqualLinesInFileOrder)
{
    // Several thousand records, so that the lines are built in batches; many lines are equal. One
    // name holds a letter stored in the code page's own range, and sorts after the plain one.
    test::TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    std::vector<ContactRecord> records;
    for (int i = 0; i < 5000; ++i) {
        const QString last = i == 4323 ? u"\u0152uvre"_s : i == 23 ? u"Ouvre"_s : u"Lee"_s;
        ContactRecord r = person(QStringLiteral("Ann%1").arg(i % 50), last,
                                 i % 2 ? u"Reno"_s : u""_s);
        r.HomePhone = i % 3 ? u"(796) 555-1050"_s : u""_s;
        records.push_back(r);
    }
    test::writeContacts(path, records);
    std::vector<ContactLine> expected;
    for (int i = 0; i < 5000; ++i)
        expected.emplace_back(contactLine(displayValues(ContactRecord::decode(records[i].encode())),
                                          SortOrder::LastName, AddressDisplay::Street),
                              i + 1);
    std::stable_sort(expected.begin(), expected.end(), [](const ContactLine& a, const ContactLine& b) {
        return lineSortKey(a.text()) < lineSortKey(b.text());
    });
    ContactsFile contacts;
    ASSERT_TRUE(contacts.open(path));
    const auto lines = contactLines(contacts, {}, SortOrder::LastName, AddressDisplay::Street);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, expected);
    EXPECT_TRUE(lines->at(lines->size() - 2).text().toString().startsWith(u"\u0152uvre, Ann23 \t"));
    EXPECT_TRUE(lines->back().text().toString().startsWith(u"Ouvre, Ann23 \t"));
}

}  // namespace
}  // namespace pw
