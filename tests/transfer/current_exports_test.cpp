#include "data/contacts_file.h"
#include "support/qt_printers.h"
#include "support/test_folder.h"
#include "support/stored_contacts.h"
#include "transfer/csv_import.h"
#include "transfer/import_layouts.h"

#include <QBuffer>
#include <QMap>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;
using Row = QMap<QString, QString>;

// The heading lists the services publish for their CSV exports, in their order.
const QStringList kOutlookDesktop = QString::fromLatin1(
    "Title,First Name,Middle Name,Last Name,Suffix,Company,Department,Job Title,Business Street,Business Street 2,"
    "Business Street 3,Business City,Business State,Business Postal Code,Business Country/Region,Home Street,"
    "Home Street 2,Home Street 3,Home City,Home State,Home Postal Code,Home Country/Region,Other Street,"
    "Other Street 2,Other Street 3,Other City,Other State,Other Postal Code,Other Country/Region,Assistant's Phone,"
    "Business Fax,Business Phone,Business Phone 2,Callback,Car Phone,Company Main Phone,Home Fax,Home Phone,"
    "Home Phone 2,ISDN,Mobile Phone,Other Fax,Other Phone,Pager,Primary Phone,Radio Phone,TTY/TDD Phone,Telex,"
    "Account,Anniversary,Assistant's Name,Billing Information,Birthday,Business Address PO Box,Categories,Children,"
    "Directory Server,E-mail Address,E-mail Type,E-mail Display Name,E-mail 2 Address,E-mail 2 Type,"
    "E-mail 2 Display Name,E-mail 3 Address,E-mail 3 Type,E-mail 3 Display Name,Gender,Government ID Number,Hobby,"
    "Home Address PO Box,Initials,Internet Free Busy,Keywords,Language,Location,Manager's Name,Mileage,Notes,"
    "Office Location,Organizational ID Number,Other Address PO Box,Priority,Private,Profession,Referred By,"
    "Sensitivity,Spouse,User 1,User 2,User 3,User 4,Web Page").split(u',');
const QStringList kOutlookWeb = QString::fromLatin1(
    "First Name,Middle Name,Last Name,Title,Suffix,Nickname,Given Yomi,Surname Yomi,E-mail Address,"
    "E-mail 2 Address,E-mail 3 Address,Home Phone,Home Phone 2,Business Phone,Business Phone 2,Mobile Phone,"
    "Car Phone,Other Phone,Primary Phone,Pager,Business Fax,Home Fax,Other Fax,Company Main Phone,Callback,"
    "Radio Phone,Telex,TTY/TDD Phone,IMAddress,Job Title,Department,Company,Office Location,Manager's Name,"
    "Assistant's Name,Assistant's Phone,Company Yomi,Business Street,Business City,Business State,"
    "Business Postal Code,Business Country/Region,Home Street,Home City,Home State,Home Postal Code,"
    "Home Country/Region,Other Street,Other City,Other State,Other Postal Code,Other Country/Region,"
    "Personal Web Page,Spouse,Schools,Hobby,Location,Web Page,Birthday,Anniversary,Notes").split(u',');
const QStringList kGoogle = QString::fromLatin1(
    "First Name,Middle Name,Last Name,Phonetic First Name,Phonetic Middle Name,Phonetic Last Name,Name Prefix,"
    "Name Suffix,Nickname,File As,Organization Name,Organization Title,Organization Department,Birthday,Notes,"
    "Photo,Labels,E-mail 1 - Label,E-mail 1 - Value,E-mail 2 - Label,E-mail 2 - Value,Phone 1 - Label,"
    "Phone 1 - Value,Phone 2 - Label,Phone 2 - Value,Address 1 - Label,Address 1 - Formatted,Address 1 - Street,"
    "Address 1 - City,Address 1 - PO Box,Address 1 - Region,Address 1 - Postal Code,Address 1 - Country,"
    "Address 1 - Extended Address,Address 2 - Label,Address 2 - Formatted,Address 2 - Street,Address 2 - City,"
    "Address 2 - PO Box,Address 2 - Region,Address 2 - Postal Code,Address 2 - Country,"
    "Address 2 - Extended Address").split(u',');
const QStringList kGoogleOlder = QString::fromLatin1(
    "Name,Given Name,Additional Name,Family Name,Yomi Name,Given Name Yomi,Additional Name Yomi,Family Name Yomi,"
    "Name Prefix,Name Suffix,Initials,Nickname,Short Name,Maiden Name,Birthday,Gender,Location,Billing Information,"
    "Directory Server,Mileage,Occupation,Hobby,Sensitivity,Priority,Subject,Notes,Language,Photo,Group Membership,"
    "E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,"
    "Address 1 - Type,Address 1 - Formatted,Address 1 - Street,Address 1 - City,Address 1 - PO Box,"
    "Address 1 - Region,Address 1 - Postal Code,Address 1 - Country,Address 1 - Extended Address,"
    "Organization 1 - Type,Organization 1 - Name,Organization 1 - Yomi Name,Organization 1 - Title").split(u',');
const QStringList kThunderbird = QString::fromLatin1(
    "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Screen Name,Work Phone,Home Phone,"
    "Fax Number,Pager Number,Mobile Number,Home Address,Home Address 2,Home City,Home State,Home ZipCode,"
    "Home Country,Work Address,Work Address 2,Work City,Work State,Work ZipCode,Work Country,Job Title,Department,"
    "Organization,Web Page 1,Web Page 2,Birth Year,Birth Month,Birth Day,Custom 1,Custom 2,Custom 3,Custom 4,"
    "Notes").split(u',');

QString quotedIfNeeded(const QString& value, bool always)
{
    if (!always && !value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n'))
        return value;
    return u'"' + QString(value).replace(u"\""_s, u"\"\""_s) + u'"';
}

// A file in the form a service writes: every value under its heading, quoted as it quotes.
QString csvText(const QStringList& heading, const std::vector<Row>& rows, bool quoteAll, bool trailingComma = false)
{
    auto line = [&](auto valueAt) {
        QStringList cells;
        for (const QString& h : heading)
            cells.append(quotedIfNeeded(valueAt(h), quoteAll));
        return cells.join(u',') + (trailingComma ? u","_s : QString()) + u"\r\n"_s;
    };
    QString text = line([](const QString& h) { return h; });
    for (const Row& row : rows)
        text += line([&](const QString& h) { return row.value(h); });
    return text;
}

// The 18 imported fields in the order of the program's own export.
QStringList fields(const ContactRecord& r)
{
    return {r.FirstName, r.MiddleInitial, r.LastName, r.Street1, r.Street2, r.City, r.State, r.Zip, r.Country,
            r.Company, r.IncludeCompany, r.HomePhone, r.CellPhone, r.WorkPhone, r.Email, r.Birthdate, r.Category,
            r.Notes};
}

class CurrentExportsTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    ContactsFile contacts;

    void SetUp() override { ASSERT_TRUE(contacts.open(folder.file(u"c.DAT"_s))); }

    // Imports into an empty contacts file and gives back what it stored.
    std::vector<ContactRecord> importFresh(const QByteArray& bytes, ImportResult* result = nullptr)
    {
        static int n = 0;
        EXPECT_TRUE(contacts.open(folder.file(QStringLiteral("f%1.DAT").arg(++n))));
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        const ImportResult r = importContacts(buffer, contacts, {});
        EXPECT_EQ(r.end, ImportResult::End::Completed);
        if (result)
            *result = r;
        return test::storedRecords(contacts);
    }
};

QByteArray utf8Bom(const QString& text)
{
    return "\xEF\xBB\xBF" + text.toUtf8();
}

TEST_F(CurrentExportsTest, EachServicesExportIsRecognisedByItsOwnLayoutAndTheOldOnesKeepTheirs)
{
    const std::pair<QStringList, ImportLayout> cases[] = {
        {kOutlookDesktop, ImportLayout::OutlookDesktop}, {kOutlookWeb, ImportLayout::OutlookWeb},
        {kGoogle, ImportLayout::Google},                 {kGoogleOlder, ImportLayout::GoogleOlder},
        // Google writes numbered columns only for what its contacts use.
        {u"First Name,Middle Name,Last Name,Birthday,Phone 1 - Label,Phone 1 - Value"_s.split(u','),
         ImportLayout::Google},
        {kThunderbird + QStringList{u""_s}, ImportLayout::Thunderbird},
        {{u"Last"_s, u"First"_s, u"E-mail"_s, u"Street Address"_s, u"City"_s, u"State"_s, u"ZIP"_s}, ImportLayout::PlainHeadings},
        // The older layouts' own heading lines.
        {u"First Name,Middle Name,Last Name,Title,Suffix,Initials,Web Page,Gender,Birthday,Anniversary,Location,"
          "Language,Internet Free Busy,Notes,E-mail Address,Primary Phone,Home Phone"_s.split(u','),
         ImportLayout::OlderMailProgram},
        {u"First Name,MI,Last Name,Street1,Street2,City,State,Zip,Country,Company,Include Company in Address,"
          "Home Phone,Cell Phone,Work Phone,Email,Birthdate,Category,Notes"_s.split(u','),
         ImportLayout::OwnExport},
        // Plain headings in any order, with a whole name or its parts.
        {u"First Name,Last Name,Company,E-mail Address"_s.split(u','), ImportLayout::PlainHeadings},
        {u"Email,First Name,Last Name"_s.split(u','), ImportLayout::PlainHeadings},
        {u"Name,Email"_s.split(u','), ImportLayout::PlainHeadings},
        // An older mail program's export shares Outlook's address headings but is read as a name list, as before.
        {u"First Name,Last Name,Middle Name,Name,E-mail Address,Nickname,Home Street,Home City,Home Postal Code,"
          "Home State,Home Country/Region,Home Phone,Business Street,Business City"_s.split(u','),
         ImportLayout::NameAndEmailList},
    };
    for (const auto& [heading, layout] : cases) {
        const LayoutRules* rules = recogniseLayout(heading);
        ASSERT_NE(rules, nullptr) << heading.join(u',').toStdString();
        EXPECT_EQ(rules->layout, layout) << heading.join(u',').toStdString();
    }
}

TEST_F(CurrentExportsTest, OutlookDesktopFullyQuotedInTheCodePageGivesTheHomeAddressElseTheBusinessOne)
{
    const QString text = csvText(
        kOutlookDesktop,
        {{{u"First Name"_s, u"Zoë"_s}, {u"Middle Name"_s, u"Anne"_s}, {u"Last Name"_s, u"Brontë"_s},
          {u"Company"_s, u"Acme, Inc."_s}, {u"Business Street"_s, u"1 Works Rd"_s}, {u"Business City"_s, u"Reno"_s},
          {u"Home Street"_s, u"1200 Elm Street, Suite 5"_s}, {u"Home Street 2"_s, u"Building B"_s},
          {u"Home City"_s, u"San Mateo"_s}, {u"Home State"_s, u"California"_s}, {u"Home Postal Code"_s, u"94401"_s},
          {u"Home Country/Region"_s, u"United States"_s}, {u"Business Phone"_s, u"+1 (555) 444-5555"_s},
          {u"Home Phone"_s, u"(555) 123-4567"_s}, {u"Mobile Phone"_s, u"555-222-3333"_s},
          {u"Home Fax"_s, u"555-000-0000"_s}, {u"Birthday"_s, u"4/10/1980"_s}, {u"Categories"_s, u"Friends;Golf"_s},
          {u"E-mail Address"_s, u"zoe@example.com"_s}, {u"E-mail Type"_s, u"SMTP"_s},
          {u"Notes"_s, u"Met at the fair\r\nLikes tea"_s}},
         {{u"First Name"_s, u"Raj"_s}, {u"Last Name"_s, u"Patel"_s}, {u"Company"_s, u"Patel Foods"_s},
          {u"Business Street"_s, u"77 Market St"_s}, {u"Business City"_s, u"New York"_s},
          {u"Business State"_s, u"NY"_s}, {u"Business Postal Code"_s, u"10001"_s},
          {u"Primary Phone"_s, u"555-999-8888"_s}, {u"Birthday"_s, u"0/0/00"_s}}},
        true);
    // The desktop program writes the code page, without a byte-order mark.
    const std::vector<ContactRecord> r = importFresh(text.toLatin1());
    ASSERT_EQ(r.size(), 2u);
    // The work phone is too long for its field as written, and loses its formatting, not digits.
    EXPECT_EQ(fields(r[0]), QStringList({u"Zoë"_s, u"A"_s, u"Brontë"_s, u"1200 Elm Street, Suite 5"_s, u"Building B"_s,
                                         u"San Mateo"_s, u"CA"_s, u"94401"_s, u"United States"_s, u"Acme, Inc."_s,
                                         u"0"_s, u"(555) 123-4567"_s, u"555-222-3333"_s, u"555-444-5555"_s,
                                         u"zoe@example.com"_s, u"19800410"_s, u"Friends;Golf"_s,
                                         u"Met at the fair  Likes tea"_s}));
    // Only a business address: that one, with the company line; an untyped phone is the home phone.
    EXPECT_EQ(fields(r[1]), QStringList({u"Raj"_s, u""_s, u"Patel"_s, u"77 Market St"_s, u""_s, u"New York"_s, u"NY"_s,
                                         u"10001"_s, u""_s, u"Patel Foods"_s, u"1"_s, u"555-999-8888"_s, u""_s, u""_s,
                                         u""_s, u""_s, u""_s, u""_s}));
}

TEST_F(CurrentExportsTest, OutlookWebExportWithItsByteOrderMark)
{
    const QString text = csvText(
        kOutlookWeb,
        {{{u"First Name"_s, u"Søren"_s}, {u"Last Name"_s, u"Kierkegaard"_s}, {u"E-mail Address"_s, u"s@example.dk"_s},
          {u"Home Phone"_s, u"555-111-2222"_s}, {u"Mobile Phone"_s, u"555-333-4444"_s},
          {u"Business Phone"_s, u"555-555-6666"_s}, {u"Company"_s, u"Søren & Co"_s},
          {u"Home Street"_s, u"4 Nørregade, 2nd floor"_s}, {u"Home City"_s, u"Portland"_s},
          {u"Home State"_s, u"oregon"_s}, {u"Home Postal Code"_s, u"97201"_s}, {u"Home Country/Region"_s, u"USA"_s},
          {u"Birthday"_s, u"1813-05-05"_s}, {u"Notes"_s, u"Philosopher"_s}}},
        false);
    const std::vector<ContactRecord> r = importFresh(utf8Bom(text));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(fields(r[0]), QStringList({u"Søren"_s, u""_s, u"Kierkegaard"_s, u"4 Nørregade, 2nd floor"_s, u""_s,
                                         u"Portland"_s, u"OR"_s, u"97201"_s, u"USA"_s, u"Søren & Co"_s, u"0"_s,
                                         u"555-111-2222"_s, u"555-333-4444"_s, u"555-555-6666"_s, u"s@example.dk"_s,
                                         u"18130505"_s, u""_s, u"Philosopher"_s}));
}

TEST_F(CurrentExportsTest, GoogleNumberedColumnsGiveTheHomeAddressAndPhonesByTheirLabels)
{
    const QString text = csvText(
        kGoogle,
        {{{u"First Name"_s, u"José"_s}, {u"Middle Name"_s, u"Luis"_s}, {u"Last Name"_s, u"García"_s},
          {u"File As"_s, u"García, José"_s}, {u"Organization Name"_s, u"Taller Sur"_s},
          {u"Birthday"_s, u"--04-10"_s}, {u"Notes"_s, u"Cousin"_s}, {u"Labels"_s, u"* myContacts ::: Family"_s},
          {u"E-mail 1 - Label"_s, u"* Home"_s}, {u"E-mail 1 - Value"_s, u"jose@example.es ::: jl@example.es"_s},
          {u"Phone 1 - Label"_s, u"Mobile"_s}, {u"Phone 1 - Value"_s, u"+1 555-010-2000"_s},
          {u"Phone 2 - Label"_s, u"Home"_s}, {u"Phone 2 - Value"_s, u"555-010-3000"_s},
          {u"Address 1 - Label"_s, u"Work"_s}, {u"Address 1 - Street"_s, u"9 Industrial Way"_s},
          {u"Address 1 - City"_s, u"Austin"_s}, {u"Address 1 - Region"_s, u"TX"_s},
          {u"Address 2 - Label"_s, u"Home"_s}, {u"Address 2 - Street"_s, u"500 Oak Ave, Unit 3\nRear door"_s},
          {u"Address 2 - Extended Address"_s, u"Apt 12"_s}, {u"Address 2 - City"_s, u"Santa Fe"_s},
          {u"Address 2 - Region"_s, u"New Mexico"_s}, {u"Address 2 - Postal Code"_s, u"87501"_s},
          {u"Address 2 - Country"_s, u"US"_s}},
         {{u"Organization Name"_s, u"No Name Ltd"_s}, {u"E-mail 1 - Value"_s, u"info@noname.com"_s}}},
        false);
    ImportResult result;
    const std::vector<ContactRecord> r = importFresh(utf8Bom(text), &result);
    ASSERT_EQ(r.size(), 2u);
    // A birthday without a year is kept without one. The apartment goes to the second street field,
    // which has no room left for the street's second line: that line is named.
    EXPECT_EQ(fields(r[0]), QStringList({u"José"_s, u"L"_s, u"García"_s, u"500 Oak Ave, Unit 3"_s,
                                         u"Apt 12"_s, u"Santa Fe"_s, u"NM"_s, u"87501"_s, u"US"_s,
                                         u"Taller Sur"_s, u"0"_s, u"555-010-3000"_s, u"+1 555-010-2000"_s, u""_s,
                                         u"jose@example.es"_s, u"00000410"_s, u"Family"_s, u"Cousin"_s}));
    // A company-only row is the company, named once.
    EXPECT_EQ(QStringList({r[1].FirstName, r[1].LastName, r[1].Company, r[1].IncludeCompany}),
              QStringList({u""_s, u"No Name Ltd"_s, u"No Name Ltd"_s, u"0"_s}));
    EXPECT_EQ(result.fieldsCut, 1);
    EXPECT_EQ(result.changed, QStringList{u"Line 2: address line \"Rear door\" left out, no room in Street 2"_s});
}

TEST_F(CurrentExportsTest, GoogleOlderFormInUtf16)
{
    const QString text = csvText(
        kGoogleOlder,
        {{{u"Name"_s, u"Åsa Lind"_s}, {u"Given Name"_s, u"Åsa"_s}, {u"Additional Name"_s, u"Maria"_s},
          {u"Family Name"_s, u"Lind"_s}, {u"Birthday"_s, u"1975-12-01"_s}, {u"Notes"_s, u"Neighbour"_s},
          {u"Group Membership"_s, u"* myContacts ::: Book club ::: Golf"_s}, {u"E-mail 1 - Type"_s, u"* Other"_s},
          {u"E-mail 1 - Value"_s, u"asa@example.se"_s}, {u"Phone 1 - Type"_s, u"Work"_s},
          {u"Phone 1 - Value"_s, u"555-777-1111"_s}, {u"Phone 2 - Type"_s, u"Home Fax"_s},
          {u"Phone 2 - Value"_s, u"555-777-9999"_s}, {u"Address 1 - Type"_s, u"Home"_s},
          {u"Address 1 - Street"_s, u"8 Birch Ln, Rear"_s}, {u"Address 1 - City"_s, u"Duluth"_s},
          {u"Address 1 - PO Box"_s, u"44"_s}, {u"Address 1 - Region"_s, u"MN"_s},
          {u"Address 1 - Postal Code"_s, u"55802"_s}, {u"Organization 1 - Name"_s, u"Lind Design"_s}}},
        false);
    QStringEncoder utf16(QStringConverter::Utf16LE);
    const std::vector<ContactRecord> r = importFresh("\xFF\xFE" + QByteArray(utf16(text)));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(fields(r[0]), QStringList({u"Åsa"_s, u"M"_s, u"Lind"_s, u"8 Birch Ln, Rear"_s, u"PO Box 44"_s,
                                         u"Duluth"_s, u"MN"_s, u"55802"_s, u""_s, u"Lind Design"_s, u"0"_s, u""_s,
                                         u""_s, u"555-777-1111"_s, u"asa@example.se"_s, u"19751201"_s,
                                         u"Book club;Golf"_s, u"Neighbour"_s}));
}

TEST_F(CurrentExportsTest, ThunderbirdWithItsTrailingCommaAndBirthdayInThreeColumns)
{
    const QString text = csvText(
        kThunderbird,
        {{{u"First Name"_s, u"Chloé"_s}, {u"Last Name"_s, u"Tremblay"_s}, {u"Display Name"_s, u"Chloé Tremblay"_s},
          {u"Primary Email"_s, u"chloe@example.ca"_s}, {u"Work Phone"_s, u"613-555-0101"_s},
          {u"Home Phone"_s, u"613-555-0102"_s}, {u"Mobile Number"_s, u"613-555-0103"_s},
          {u"Home Address"_s, u"24 Sussex Dr, Unit 1"_s}, {u"Home City"_s, u"Ottawa"_s},
          {u"Home State"_s, u"Ontario"_s}, {u"Home ZipCode"_s, u"K1M 1M4"_s}, {u"Home Country"_s, u"Canada"_s},
          {u"Organization"_s, u"Maple Ltd"_s}, {u"Birth Year"_s, u"1990"_s}, {u"Birth Month"_s, u"7"_s},
          {u"Birth Day"_s, u"1"_s}, {u"Notes"_s, u"Skier"_s}},
         {{u"Display Name"_s, u"Marc Olivier Roy"_s}, {u"Home State"_s, u"Lower Saxony"_s},
          {u"Home Address"_s, u"3 Rue Principale"_s}, {u"Birth Month"_s, u"2"_s}, {u"Birth Day"_s, u"29"_s}}},
        false, true);
    const std::vector<ContactRecord> r = importFresh(text.toUtf8());
    ASSERT_EQ(r.size(), 2u);
    // A postal code that is no US zip code is kept as written.
    EXPECT_EQ(fields(r[0]), QStringList({u"Chloé"_s, u""_s, u"Tremblay"_s, u"24 Sussex Dr, Unit 1"_s, u""_s,
                                         u"Ottawa"_s, u"ON"_s, u"K1M 1M4"_s, u"Canada"_s, u"Maple Ltd"_s, u"0"_s,
                                         u"613-555-0102"_s, u"613-555-0103"_s, u"613-555-0101"_s,
                                         u"chloe@example.ca"_s, u"19900701"_s, u""_s, u"Skier"_s}));
    // Only a display name: its last word is the family name. A region that is no state is dropped.
    EXPECT_EQ(QStringList({r[1].FirstName, r[1].LastName, r[1].State, r[1].Birthdate}),
              QStringList({u"Marc Olivier"_s, u"Roy"_s, u""_s, u"00000229"_s}));
}

TEST_F(CurrentExportsTest, TheOlderEnglishDesktopExportWithHomeCountryGivesItsHomeAddress)
{
    const QStringList heading = u"Title,First Name,Middle Name,Last Name,Suffix,Company,Business Street,"
                                "Business Street 2,Business Street 3,Business City,Business Postal Code,"
                                "Business Country,Home Street,Home Street 2,Home Street 3,Home City,Home State,"
                                "Home Postal Code,Home Country,Home Phone,Primary Phone,E-mail Address,Web Page"_s
                                    .split(u',');
    const std::vector<ContactRecord> r = importFresh(
        csvText(heading,
                {{{u"First Name"_s, u"Frank"_s}, {u"Last Name"_s, u"Berg"_s}, {u"Company"_s, u"Open"_s},
                  {u"Home Street"_s, u"Home: Ronda 51"_s}, {u"Home City"_s, u"Barcelona"_s},
                  {u"Home Postal Code"_s, u"08011"_s}, {u"Home Country"_s, u"Spain"_s},
                  {u"E-mail Address"_s, u"frank@example.es"_s}}},
                true)
            .toUtf8());
    ASSERT_EQ(r.size(), 1u);
    // The kind of address that begins its street is no part of it.
    EXPECT_EQ(QStringList({r[0].FirstName, r[0].LastName, r[0].Street1, r[0].City, r[0].Zip, r[0].Country, r[0].Email}),
              QStringList({u"Frank"_s, u"Berg"_s, u"Ronda 51"_s, u"Barcelona"_s, u"08011"_s, u"Spain"_s,
                           u"frank@example.es"_s}));
}

TEST_F(CurrentExportsTest, PlainHeadingsInAnyOrderAndSpelling)
{
    const QByteArray file = "Last_Name,FIRST NAME,E-Mail,Street Address,Apt,City,State,Zip Code\r\n"
                            "O'Neil,Siobhán,siobhan@example.ie,\"10 Harbor Rd, Box 2\",#3,Boston,Massachusetts,02110\r\n";
    const std::vector<ContactRecord> r = importFresh(file);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(QStringList({r[0].FirstName, r[0].LastName, r[0].Email, r[0].Street1, r[0].Street2, r[0].City,
                           r[0].State, r[0].Zip}),
              QStringList({u"Siobhán"_s, u"O'Neil"_s, u"siobhan@example.ie"_s, u"10 Harbor Rd, Box 2"_s, u"#3"_s,
                           u"Boston"_s, u"MA"_s, u"02110"_s}));
}

}  // namespace
}  // namespace pw
