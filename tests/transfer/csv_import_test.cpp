#include "transfer/csv_import.h"

#include "data/contacts_file.h"
#include "support/test_folder.h"
#include "support/stored_contacts.h"

#include <QBuffer>
#include <QStringEncoder>

#include <chrono>
#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

// The heading lines of the five layouts, as their exporters write them.
const QByteArray kHeadingA =
    R"("First","Middle","Last","Nickname","Email","Category","Distribution Lists","Messenger ID","Home","Work",)"
    R"("Pager","Fax","Mobile","Other","Yahoo! Phone","Primary","Alternate Email 1","Alternate Email 2",)"
    R"("Personal Website","Business Website","Title","Company","Work Address","Work City","Work State","Work ZIP",)"
    R"("Work Country","Home Address","Home City","Home State","Home ZIP","Home Country","Birthday","Anniversary")";
const QByteArray kHeadingB =
    "First Name,Middle Name,Last Name,Title,Suffix,Initials,Web Page,Gender,Birthday,Anniversary,Location,"
    "Language,Internet Free Busy,Notes,E-mail Address,E-mail 2 Address,E-mail 3 Address,Primary Phone,Home Phone,"
    "Home Phone 2,Mobile Phone,Pager,Home Fax";
const QByteArray kHeadingC = "First Name,Last Name,Middle Name,Name,E-mail Address,Home Phone";
const QByteArray kHeadingD =
    "First Name,MI,Last Name,Street1,Street2,City,State,Zip,Country,Company,Include Company in Address,"
    "Home Phone,Cell Phone,Work Phone,Email,Birthdate,Category,Notes";
const QByteArray kHeadingE = "First Name,Last Name,Company,E-mail Address,Phone";

// A web portal address book row: the given values at their 1-based columns, the other 34 empty.
QByteArray rowA(std::initializer_list<std::pair<int, const char*>> values)
{
    QList<QByteArray> columns(34);
    for (auto [column, value] : values)
        columns[column - 1] = '"' + QByteArray(value) + '"';
    return columns.join(',');
}

QByteArray lines(std::initializer_list<QByteArray> all, const char* end = "\r\n")
{
    QByteArray out;
    for (const QByteArray& l : all)
        out += l + end;
    return out;
}

class CsvImportTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    ContactsFile contacts;

    void SetUp() override { ASSERT_TRUE(contacts.open(folder.file(u"c.DAT"_s))); }

    ImportResult import(const QByteArray& csv, ImportOptions options = {})
    {
        QBuffer buffer;
        buffer.setData(csv);
        buffer.open(QIODevice::ReadOnly);
        return importContacts(buffer, contacts, options);
    }

    std::vector<ContactRecord> records() const { return test::storedRecords(contacts); }
    QByteArray bytes() const { return folder.read(u"c.DAT"_s); }
};

TEST_F(CsvImportTest, EachLayoutIsRecognisedFromItsHeadingLineAndMapsItsColumns)
{
    ImportResult a = import(lines({kHeadingA, rowA({{1, "Ann"}, {2, "Quinn"}, {3, "Lee"}, {5, "ann@mail.com"},
                                                     {6, "Golf"}, {9, "555-1234"}, {10, "555-9876"}, {13, "555-2222"},
                                                     {22, "Acme"}, {28, "12 Main St"}, {29, "Reno"}, {30, "nv"},
                                                     {31, "89501"}, {32, "USA"}, {33, "4/10/1980"}})}));
    EXPECT_EQ(a.end, ImportResult::End::Completed);
    ASSERT_EQ(a.imported, 1);
    ContactRecord r = records().back();
    EXPECT_EQ(QStringList({r.FirstName, r.MiddleInitial, r.LastName, r.Email, r.Category, r.HomePhone, r.WorkPhone,
                           r.CellPhone, r.Company, r.Street1, r.City, r.State, r.Zip, r.Country, r.Birthdate,
                           r.IncludeCompany, r.BirthdayReminders}),
              QStringList({u"Ann"_s, u"Q"_s, u"Lee"_s, u"ann@mail.com"_s, u"Golf"_s, u"555-1234"_s, u"555-9876"_s,
                           u"555-2222"_s, u"Acme"_s, u"12 Main St"_s, u"Reno"_s, u"NV"_s, u"89501"_s, u"USA"_s,
                           u"19800410"_s, u"0"_s, u"1"_s}));

    ASSERT_EQ(import(lines({kHeadingB, "Bob,Ray,Stone,,,,,,12/1/1975,,,,,,bob@mail.net,,,,+1 (555) 333-4444,,555-5555"}))
                  .imported,
              1);
    r = records().back();
    EXPECT_EQ(QStringList({r.FirstName, r.MiddleInitial, r.LastName, r.Birthdate, r.Email, r.HomePhone, r.CellPhone}),
              QStringList({u"Bob"_s, u"R"_s, u"Stone"_s, u"19751201"_s, u"bob@mail.net"_s, u"555-333-4444"_s,
                           u"555-5555"_s}));

    ASSERT_EQ(import(lines({kHeadingC, "Cy,Dale,Xavier,Cy Dale,cy@mail.org,555-0000"})).imported, 1);
    r = records().back();
    EXPECT_EQ(QStringList({r.FirstName, r.LastName, r.MiddleInitial, r.Email, r.HomePhone}),
              QStringList({u"Cy"_s, u"Dale"_s, u"X"_s, u"cy@mail.org"_s, u"555-0000"_s}));

    ASSERT_EQ(import(lines({kHeadingD, "Di,E,Fox,1 Elm Rd,Apt 2,Boise,ID,83702,USA,Fox Co,0,555-0101,5550102,555-0103,"
                                       "di@mail.edu,4-5-1980,Work;Golf,Met at a fair"}))
                  .imported,
              1);
    r = records().back();
    EXPECT_EQ(QStringList({r.FirstName, r.MiddleInitial, r.LastName, r.Street1, r.Street2, r.City, r.State, r.Zip,
                           r.Country, r.Company, r.IncludeCompany, r.HomePhone, r.CellPhone, r.WorkPhone, r.Email,
                           r.Birthdate, r.Category, r.Notes}),
              QStringList({u"Di"_s, u"E"_s, u"Fox"_s, u"1 Elm Rd"_s, u"Apt 2"_s, u"Boise"_s, u"ID"_s, u"83702"_s,
                           u"USA"_s, u"Fox Co"_s, u"0"_s, u"555-0101"_s, u"5550102"_s, u"555-0103"_s,
                           u"di@mail.edu"_s, u"19800405"_s, u"Work;Golf"_s, u"Met at a fair"_s}));

    // Plain headings: each column goes where its heading says, whatever text the row holds.
    ASSERT_EQ(import(lines({kHeadingE, "Eve,Gray,shop.com,eve@club.org,555-1111"})).imported, 1);
    r = records().back();
    EXPECT_EQ(QStringList({r.FirstName, r.LastName, r.Email, r.Company, r.HomePhone}),
              QStringList({u"Eve"_s, u"Gray"_s, u"eve@club.org"_s, u"shop.com"_s, u"555-1111"_s}));
    // An e-mail heading in the last column counts too.
    ASSERT_EQ(import(lines({"First Name,Last Name,Email", "Fay,Hill,fay@mail.com"})).imported, 1);
    EXPECT_EQ(records().back().Email, u"fay@mail.com");
}

TEST_F(CsvImportTest, APortalRowKeepsWhatItsColumnsHoldAndOnlyWhatCannotBeRightIsLeftOut)
{
    const ImportResult result = import(lines(
        {kHeadingA + R"(,"Comments")",
         rowA({{1, "Bad"}, {3, "Date"}, {33, "13/01/1990"}, {9, "5551234"}, {13, "0171 555"}, {29, "St. Gallen"},
               {30, "N1"}, {31, "9000"}, {32, "Switzerland"}, {28, "Apt"}}) + R"(,"Met in Bern")",
         rowA({{1, "Work"}, {3, "Only"}, {10, "555-9876"}, {33, "12/31/1890"}})}));
    const std::vector<ContactRecord> r = records();
    ASSERT_EQ(r.size(), 2u);
    // Phones without a dash, a city or a postal code of another country, a short street and the notes
    // all come in; a state that is no state and a day that is no date do not, and the date is named.
    EXPECT_EQ(QStringList({r[0].Birthdate, r[0].HomePhone, r[0].CellPhone, r[0].City, r[0].State, r[0].Zip,
                           r[0].Country, r[0].Street1, r[0].Notes}),
              QStringList({u""_s, u"5551234"_s, u"0171 555"_s, u"St. Gallen"_s, u""_s, u"9000"_s, u"Switzerland"_s,
                           u"Apt"_s, u"Met in Bern"_s}));
    EXPECT_EQ(QStringList({r[1].HomePhone, r[1].WorkPhone, r[1].Birthdate}),
              QStringList({u""_s, u"555-9876"_s, u"18901231"_s}));
    EXPECT_EQ(result.changed, QStringList{u"Line 2: birthday \"13/01/1990\" is no date, left out"_s});
}

TEST_F(CsvImportTest, QuotedValuesKeepTheirCommasQuotesAndLineBreaksInTheirOwnField)
{
    // Read by splitting at every comma, "Smith, Jr." would push every later column one field on.
    const QByteArray row = "Al,B,\"Smith, Jr.\",\"Suite 4, Floor 2\",,Reno,NV,89501,USA,\"The \"\"Best\"\" Co\",1,"
                           ",,,al@mail.com,,,\"Line one\r\nLine two\tend\"";
    ASSERT_EQ(import(lines({kHeadingD, row})).imported, 1);
    const ContactRecord r = records().back();
    EXPECT_EQ(QStringList({r.LastName, r.Street1, r.City, r.Company, r.Email, r.Notes}),
              QStringList({u"Smith, Jr."_s, u"Suite 4, Floor 2"_s, u"Reno"_s, u"The \"Best\" Co"_s,
                           u"al@mail.com"_s, u"Line one  Line two end"_s}));
}

TEST_F(CsvImportTest, LinesEndedByLfAloneOrCrAloneAreRowsToo)
{
    // Read with CR LF as the only line end, such a file is one line and imports 0 contacts.
    EXPECT_EQ(import(lines({kHeadingC, "Ann,Lee,,,ann@mail.com", "Bob,Ray,,,bob@mail.com"}, "\n")).imported, 2);
    EXPECT_EQ(import(lines({kHeadingC, "Cy,Dale,,,cy@mail.com", "Di,Fox,,,di@mail.com"}, "\r")).imported, 2);
    EXPECT_EQ(records().size(), 4u);
}

TEST_F(CsvImportTest, TextIsReadInTheEncodingItWasWrittenInAndStoredInTheFilesCodePage)
{
    const QString text = QString::fromLatin1(kHeadingC) + u"\r\n\u0141ukasz Jos\u00E9,Gau\u00DF,,,jose@mail.com\r\n"_s;
    QStringEncoder utf16(QStringConverter::Utf16LE);
    const QByteArray cp1252 = kHeadingC + "\r\nJos\xE9,Gau\xDF,,,jose@mail.com\r\n";
    const std::pair<QByteArray, QByteArray> files[] = {
        {"\xEF\xBB\xBF" + text.toUtf8(), "Lukasz Jos\xE9   "},
        {text.toUtf8(), "Lukasz Jos\xE9   "},
        {"\xFF\xFE" + QByteArray(utf16(text)), "Lukasz Jos\xE9   "},
        {cp1252, "Jos\xE9          "},
    };
    int n = 0;
    for (const auto& [file, firstName] : files) {
        const QString name = QStringLiteral("e%1.DAT").arg(++n);
        ASSERT_TRUE(contacts.open(folder.file(name)));
        ASSERT_EQ(import(file).imported, 1);
        // Stored in Windows-1252, a letter it lacks as the nearest it holds; never "JosÃ©".
        const QByteArray stored = folder.read(name);
        EXPECT_EQ(stored.left(14), firstName) << n;
        EXPECT_EQ(stored.mid(17, 5), "Gau\xDF ") << n;
    }

    // Each value so changed is named; "?" only where nothing is near.
    const ImportResult result = import(u"Name,Email\r\nTh\u1EA3o Tr\u1EA7n,thao@mail.vn\r\n\u5F20\u4F1F,zw@mail.cn\r\n"_s.toUtf8());
    EXPECT_EQ(result.changed, QStringList({u"Line 2: \"Th\u1EA3o\" stored as \"Thao\""_s,
                                           u"Line 2: \"Tr\u1EA7n\" stored as \"Tran\""_s,
                                           u"Line 3: \"\u5F20\u4F1F\" stored as \"??\""_s}));
    EXPECT_EQ(importSummaryLines(result).last(), u"3 values given the nearest letters the file holds");
}

TEST_F(CsvImportTest, AValueCutToFitIsNamedWithWhatWasKept)
{
    const ImportResult result = import(lines({"First Name,Last Name,Street,City", "Ann,Lee,1 Elm St,Rancho Santa Margarita"}));
    EXPECT_EQ(result.fieldsCut, 1);
    EXPECT_EQ(result.changed, QStringList({u"Line 2: \"Rancho Santa Margarita\" cut to \"Rancho Santa Mar\""_s}));
}

TEST_F(CsvImportTest, BirthdaysAreReadInTheFormsFilesWriteWithOrWithoutAYearAndNoDateIsNamed)
{
    const ImportResult result =
        import(lines({"First Name,Last Name,Birthday", "A,Iso,1980-04-10", "B,Us,4/10/1885", "C,Own,04-10-1980",
                      "D,Dash,12-09", "E,Slash,12/09", "F,Google,--12-09", "G,Card,--1209", "H,Bad,13-45-1980",
                      "I,Bad,02-30-1981", "J,Short,04-10-80", "K,None,0/0/00"}));
    QStringList dates;
    for (const ContactRecord& r : records())
        dates << r.Birthdate;
    EXPECT_EQ(dates, QStringList({u"19800410"_s, u"18850410"_s, u"19800410"_s, u"00001209"_s, u"00001209"_s,
                                  u"00001209"_s, u"00001209"_s, u""_s, u""_s, u""_s, u""_s}));
    EXPECT_EQ(result.changed, QStringList({u"Line 9: birthday \"13-45-1980\" is no date, left out"_s,
                                           u"Line 10: birthday \"02-30-1981\" is no date, left out"_s,
                                           u"Line 11: birthday \"04-10-80\" is no date, left out"_s}));
    EXPECT_TRUE(importSummaryLines(result).contains(u"3 birthdays left out as no date"_s));
}

TEST_F(CsvImportTest, ADuplicateHasTheWholeNameAndTheEmailOrStreetOfAContactOnFileOrAnEarlierRow)
{
    const QByteArray file = lines({kHeadingD, "Ann,,Lee,,,,,,,,1,,,,ann@mail.com,,,",
                                   "Ann,,Lee,1 Elm St,,,,,,,1,,,,,,,",
                                   "Bo,,Ray,,,,,,,,1,,,,ann@mail.com,,,",  // shares Ann's e-mail: another person
                                   "Jo,,Lee,,,,,,,,1,,,,,,,", "Ann,,Lee,,,,,,,,1,,,,ann@mail.com,,,",
                                   ",,,,,,,,,,1,,,,,,,Notes only"});
    ImportResult result = import(file);
    EXPECT_EQ(result.imported, 4);
    EXPECT_EQ(skippedRowLines(result),
              QStringList({u"Line 6 (duplicate): Ann,,Lee,,,,,,,,1,,,,ann@mail.com,,,"_s,
                           u"Line 7 (no name): ,,,,,,,,,,1,,,,,,,Notes only"_s}));
    // The same file again: each row with an e-mail or street is there; Jo Lee, a name alone, is not
    // enough to tell.
    result = import(file);
    EXPECT_EQ(result.imported, 1);
    EXPECT_EQ(result.duplicates, 4);
    EXPECT_EQ(import(lines({kHeadingD, "Ann,,Lee,,,,,,,,1,,,,other@mail.com,,,"})).imported, 1);
    EXPECT_EQ(records().size(), 6u);
}

TEST_F(CsvImportTest, AHeadingLineWithoutALayoutImportsNothingAndSaysWhatWasFoundAndWhatIsNeeded)
{
    const QString needed = u"The heading line needs a name (First Name, Last Name or Name) and one more heading it "
                           "knows, such as E-mail Address, Street, City, Zip or Phone."_s;
    const std::pair<QByteArray, QString> files[] = {
        {"Foo;Bar;Baz", u"headings not recognised: Foo; Bar; Baz.  "_s + needed},
        {"E-mail Address,Phone", u"no heading for a name among: E-mail Address; Phone.  "_s + needed},
        {"Display Name,Nickname",
         u"no e-mail heading (E-mail Address, Email Address, E-mail or Email) among: Display Name; Nickname."_s},
    };
    for (const auto& [heading, found] : files) {
        const ImportResult result = import(lines({heading, "a,b,c@mail.com"}));
        EXPECT_EQ(result.end, ImportResult::End::NotCompatible);
        EXPECT_EQ(importEndMessage(result), (Message{u"CSV file not compatible with import function; "_s + found,
                                                     u"No contacts imported"_s, MessageIcon::Information}));
    }
    EXPECT_TRUE(bytes().isEmpty());
    EXPECT_EQ(importEndMessage(import(lines({kHeadingD}))),
              (Message{u"D O N E !  0 contacts successfully imported."_s, u"Import completed"_s}));
}

TEST_F(CsvImportTest, EveryRowBecomesAContactOrIsListedWithItsReason)
{
    // A short row reads its missing columns as empty; the heading line repeated is listed, and the
    // rows around it are imported.
    ImportResult result = import(lines({kHeadingB, "A,,One,,,,,,,,,,,,a@mail.com,,,,,,", "C,,Three", kHeadingB,
                                        "B,,Two,,,,,,,,,,,,b@mail.com"}));
    EXPECT_EQ(result.imported, 3);
    ASSERT_EQ(skippedRowLines(result).size(), 1);
    EXPECT_TRUE(skippedRowLines(result).front().startsWith(u"Line 4 (not a contact): First Name,Middle Name,"));
    EXPECT_EQ(import(lines({kHeadingD, "Di,,Fox,1 Elm Rd"})).imported, 1);
    EXPECT_EQ(QStringList({records().back().LastName, records().back().Street1, records().back().City}),
              QStringList({u"Fox"_s, u"1 Elm Rd"_s, u""_s}));

    // "Name" is the whole name; plain headings in any order; an e-mail at any domain is an e-mail.
    result = import(lines({"Name,Email", "Ann Lee,ann@mail.ca", ",nobody@mail.de"}));
    EXPECT_EQ(result.imported, 1);
    EXPECT_EQ(skippedRowLines(result), QStringList({u"Line 3 (no name): ,nobody@mail.de"_s}));
    import(lines({"First Name,Email,Last Name", "Bo,bo@mail.co.uk,Ray"}));
    import(lines({"Email,First Name,Last Name", "cy@mail.us,Cy,Dale"}));
    import(lines({kHeadingC, "Eva,Holt,,,eva@mail.de,555-0000"}));
    // The home address's parts named with it, as many address books head them.
    import(lines({"First Name,Last Name,Home Street,Home Street 2,Home City,Home State,Home Postal Code",
                  "Gil,Hart,9 Oak St,Apt 3,Reno,NV,89501"}));
    EXPECT_EQ(QStringList({records().back().Street1, records().back().Street2, records().back().City,
                           records().back().State, records().back().Zip}),
              QStringList({u"9 Oak St"_s, u"Apt 3"_s, u"Reno"_s, u"NV"_s, u"89501"_s}));
    const std::vector<ContactRecord> all = records();
    QStringList got;
    for (std::size_t i = 4; i < all.size(); ++i)
        got << all[i].FirstName + u'/' + all[i].LastName + u'/' + all[i].Email;
    EXPECT_EQ(got, QStringList({u"Ann/Lee/ann@mail.ca"_s, u"Bo/Ray/bo@mail.co.uk"_s, u"Cy/Dale/cy@mail.us"_s,
                                u"Eva/Holt/eva@mail.de"_s, u"Gil/Hart/"_s}));
}

TEST_F(CsvImportTest, AFullDiskAtAnyPointLeavesTheFileAsItWas)
{
    QByteArray file = kHeadingD + "\r\n";
    for (int i = 0; i < 12; ++i)
        file += QStringLiteral("P%1,,Q%1,,,,,,,,1,,,,p%1@mail.com,,,\r\n").arg(i).toLatin1();
    ASSERT_EQ(import(lines({kHeadingD, "Old,,One,,,,,,,,1,,,,,,,"})).imported, 1);
    const QByteArray before = bytes();

    // The file may grow to `limit` bytes, as a disk with that much room would let it.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    for (qint64 limit = before.size(); limit < before.size() + 12 * ContactRecord::kSize; limit += 211) {
        folder.write(u"c.DAT"_s, before);
        ASSERT_TRUE(contacts.open(folder.file(u"c.DAT"_s)));
        rlimit cap{rlim_t(limit), saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &cap);
        const ImportResult result = import(file, {.batchSize = 5});
        setrlimit(RLIMIT_FSIZE, &saved);

        EXPECT_EQ(result.end, ImportResult::End::Failed);
        EXPECT_EQ(result.error->number, EFBIG);
        EXPECT_EQ(bytes(), before) << "limit " << limit;
        EXPECT_EQ(result.imported, 0);
    }
    std::signal(SIGXFSZ, oldHandler);
}

TEST_F(CsvImportTest, StoppingLeavesTheFileAsItWas)
{
    QByteArray file = kHeadingD + "\r\n";
    for (int i = 0; i < 300; ++i)
        file += QStringLiteral("P%1,,Q%1,,,,,,,,1,,,,,,,\r\n").arg(i).toLatin1();
    qint64 lastTotal = 0;
    const ImportResult result = import(file, {.batchSize = 1000, .progress = [&](qint64 done, qint64 total) {
                                                  lastTotal = total;
                                                  return done < 128;
                                              }});
    EXPECT_EQ(lastTotal, 300);
    EXPECT_EQ(result.end, ImportResult::End::Cancelled);
    EXPECT_EQ(result.imported, 0);
    EXPECT_EQ(records().size(), 0u);
    EXPECT_EQ(importEndMessage(result)->text,
              u"Import stopped.  No contacts were imported; the contacts file is as it was.");
}

// The stored contacts are read for the duplicate test under the take the appends keep to the
// commit, so that another program's import cannot slip a contact in between.
TEST_F(CsvImportTest, NoOtherProgramGetsTheFileBetweenTheDuplicateTestAndTheCommit)
{
    QByteArray file = kHeadingD + "\r\n";
    for (int i = 0; i < 100; ++i)
        file += QStringLiteral("P%1,,Q%1,,,,,,,,1,,,,,,,\r\n").arg(i).toLatin1();
    FileLock other;
    ASSERT_TRUE(other.open(ContactsFile::lockPathFor(folder.file(u"c.DAT"_s))));
    other.setPatience(std::chrono::milliseconds(0));
    int refused = 0;
    const ImportResult result = import(file, {.batchSize = 1000, .progress = [&](qint64, qint64) {
                                                  if (other.take(FileLock::Kind::Exclusive))
                                                      other.release();
                                                  else
                                                      ++refused;
                                                  return true;
                                              }});
    EXPECT_EQ(refused, 1);  // the one report, before the first batch is written
    EXPECT_EQ(result.imported, 100);
    EXPECT_TRUE(other.take(FileLock::Kind::Exclusive));
}

}  // namespace
}  // namespace pw
