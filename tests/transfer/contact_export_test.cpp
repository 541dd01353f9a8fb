#include "transfer/contact_export.h"

#include "data/contacts_file.h"
#include "support/test_folder.h"
#include "support/stored_contacts.h"
#include "transfer/csv_import.h"
#include "transfer/csv_text.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

ContactRecord ann()
{
    ContactRecord r;
    r.FirstName = u"Ann"_s;
    r.MiddleInitial = u"Q"_s;
    r.LastName = u"Lee"_s;
    r.Street1 = u"12 Main St"_s;
    r.Street2 = u"Apt 4"_s;
    r.City = u"Reno"_s;
    r.State = u"NV"_s;
    r.Zip = u"89501"_s;
    r.Country = u"USA"_s;
    r.Company = u"Acme"_s;
    r.IncludeCompany = u"1"_s;
    r.HomePhone = u"555-1234"_s;
    r.CellPhone = u"555-2222"_s;
    r.WorkPhone = u"555-3333"_s;
    r.Email = u"ann@mail.com"_s;
    r.Birthdate = u"19800410"_s;
    r.Category = u"Golf;Work"_s;
    r.Notes = u"Likes tea, not coffee"_s;
    r.BirthdayReminders = u"1"_s;
    return r;
}

ContactRecord chloe()
{
    ContactRecord r;
    r.FirstName = u"Chlo\u00E9"_s;
    r.LastName = u"Ray"_s;
    r.City = u"Montr\u00E9al"_s;
    r.HomePhone = u"+1 418 555 0100"_s;
    r.Notes = u"=1+2"_s;
    r.Company = u"The \"Best\" Co"_s;
    r.IncludeCompany = u"0"_s;
    r.BirthdayReminders = u"1"_s;
    return r;
}

// A device whose every write fails, as a full disk would.
class FailingDevice final : public QBuffer {
protected:
    qint64 writeData(const char*, qint64) override
    {
        setErrorString(u"No space left on device"_s);
        return -1;
    }
};

class ContactExportTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    ContactsFile contacts;

    void SetUp() override { ASSERT_TRUE(contacts.open(folder.file(u"PWK_Contacts.DAT"_s))); }

    ExportResult exportAs(ExportFormat format)
    {
        return writeExportFile(contacts, format, folder.file(exportFileName(format, contacts.path())));
    }
};

TEST_F(ContactExportTest, CsvIsUtf8WithAMarkAndItsFormulaCellsGuardedTextIsUtf8AsItStands)
{
    const ContactRecord both[] = {ann(), chloe()};
    ASSERT_TRUE(contacts.append(both));

    ASSERT_FALSE(exportAs(ExportFormat::Csv).error);
    EXPECT_EQ(folder.read(u"PWKC_PWK_Contacts.csv"_s),
              "\xEF\xBB\xBF"
              "First Name,MI,Last Name,Street1,Street2,City,State,Zip,Country,Company,Include Company in Address,"
              "Home Phone,Cell Phone,Work Phone,Email,Birthdate,Category,Notes\r\n"
              "Ann,Q,Lee,12 Main St,Apt 4,Reno,NV,89501,USA,Acme,1,555-1234,555-2222,555-3333,ann@mail.com,04-10-1980,"
              "Golf;Work,\"Likes tea, not coffee\"\r\n"
              "Chlo\xC3\xA9,,Ray,,,Montr\xC3\xA9" "al,,,,\"The \"\"Best\"\" Co\",0,+1 418 555 0100,,,,,,'=1+2\r\n");

    const QString textPath = folder.file(u"PWKT_PWK_Contacts.txt"_s);
    const ExportResult text = exportAs(ExportFormat::Text);
    EXPECT_EQ(text.written, 2);
    EXPECT_EQ(folder.read(u"PWKT_PWK_Contacts.txt"_s),
              "First Name|MI|Last Name|Street1|Street2|City|State|Zip|Country|Company|Include Company in Address|"
              "Home Phone|Cell Phone|Work Phone|Email|Birthdate|Category|Notes\r\n"
              "Ann|Q|Lee|12 Main St|Apt 4|Reno|NV|89501|USA|Acme|1|555-1234|555-2222|555-3333|ann@mail.com|04-10-1980|"
              "Golf;Work|Likes tea, not coffee\r\n"
              "Chlo\xC3\xA9||Ray|||Montr\xC3\xA9" "al||||The \"Best\" Co|0|+1 418 555 0100||||||=1+2\r\n");
    EXPECT_EQ(exportEndMessage(text, ExportFormat::Text, textPath),
              (Message{u"D O N E !  A text file of contacts has been created and stored as "_s + textPath,
                       u"Export file created"_s}));

    // A second export replaces the first; told not to, it leaves it.
    ASSERT_TRUE(contacts.remove(1));
    exportAs(ExportFormat::Text);
    EXPECT_EQ(folder.read(u"PWKT_PWK_Contacts.txt"_s).count("\r\n"), 2);
    const ExportResult refused = writeExportFile(contacts, ExportFormat::Csv, textPath, {}, false);
    ASSERT_TRUE(refused.error);
    EXPECT_EQ(refused.error->number, EEXIST);
    EXPECT_EQ(folder.read(u"PWKT_PWK_Contacts.txt"_s).count("\r\n"), 2);
}

TEST(FormulaGuard, CellsASpreadsheetWouldRunGetAnApostropheThatTheImportTakesAway)
{
    const QString guarded[] = {
        u"=1+2"_s, u"@SUM(A1)"_s, u"+cmd|' /C calc'!A0"_s, u"\t=1"_s, u"- call back"_s,
        // A sign and digits do not make a cell safe when something follows that a formula can run.
        u"-2+3+cmd|' /C calc'!A0"_s,
        // An apostrophe already there gets one more, so that only the added one is taken away.
        u"'=1+2"_s,
    };
    for (const QString& cell : guarded) {
        EXPECT_EQ(formulaGuarded(cell), u'\'' + cell);
        EXPECT_EQ(withoutFormulaGuard(u'\'' + cell), cell);
    }
    for (const QString& cell : {u"+1 418 555 0100"_s, u"+44 (0)20 7946-0958"_s, u"-5.5"_s, u"-"_s, u"'tis"_s, u"a=b"_s}) {
        EXPECT_EQ(formulaGuarded(cell), cell);
        EXPECT_EQ(withoutFormulaGuard(cell), cell);
    }
}

TEST_F(ContactExportTest, TheFileIsNamedAfterTheContactsFileWhereverThatLies)
{
    // The name once kept the contacts file's folder, so a file elsewhere could not be exported.
    EXPECT_EQ(exportFileName(ExportFormat::Csv, u"/home/u/Documents/Postwick/PWK_Contacts.DAT"_s),
              u"PWKC_PWK_Contacts.csv");
    EXPECT_EQ(exportFileName(ExportFormat::Text, u"/mnt/usb/family.dat"_s), u"PWKT_family.txt");
}

TEST_F(ContactExportTest, AFailedWriteIsReportedWithTheSystemsErrorNumber)
{
    ASSERT_TRUE(contacts.append(ann()));
    FailingDevice device;
    device.open(QIODevice::WriteOnly);
    const ExportResult failed = exportContacts(contacts, ExportFormat::Csv, device);
    ASSERT_TRUE(failed.error);
    EXPECT_EQ(failed.written, 0);

    // A folder that is not there: nothing is written, the error carries the system's number.
    const ExportResult missing = writeExportFile(contacts, ExportFormat::Csv, folder.file(u"gone/PWKC_x.csv"_s));
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->number, ENOENT);
}

TEST_F(ContactExportTest, ExportThenImportIntoAnEmptyFileGivesBackEveryField)
{
    ContactRecord accents = ann();
    accents.FirstName = u"Jos\u00E9"_s;
    accents.LastName = u"Stra\u00DFer, Jr."_s;
    accents.Street1 = u"\"The Oaks\", 4 Elm"_s;
    accents.Email = u"jose@mail.com"_s;
    accents.Category = u"a,b;c"_s;
    // Values the contact form takes from anywhere, which the old clean-ups used to empty.
    ContactRecord abroad = ann();
    abroad.FirstName = u"Marie"_s;
    abroad.City = u"Paris 16"_s;
    abroad.State.clear();
    abroad.Zip = u"K1M 1M4"_s;
    abroad.Country = u"CANADA"_s;
    abroad.HomePhone = u"555-1234 x12"_s;
    abroad.CellPhone = u"555-CALL"_s;
    abroad.WorkPhone = u"+44 20 7946"_s;
    abroad.Email = u"ann@mail.co.uk"_s;
    abroad.Birthdate = u"18850301"_s;
    ContactRecord uk = chloe();
    uk.LastName = u"Hale"_s;
    uk.Zip = u"SW1A 2AA"_s;
    uk.Birthdate = u"00001209"_s;  // no year known
    ContactRecord de = chloe();
    de.FirstName = u"\u0141ukasz"_s;
    de.Zip = u"D-10115"_s;
    de.State = u"BE"_s;
    // Cells a spreadsheet would run, the middle initial among them.
    ContactRecord formulas = ann();
    formulas.FirstName = u"Eve"_s;
    formulas.MiddleInitial = u"="_s;
    formulas.Category = u"'=already"_s;
    formulas.Notes = u"-2+3+cmd|' /C calc'!A0"_s;
    formulas.Email = u"eve@mail.com"_s;
    const ContactRecord all[] = {ann(), chloe(), accents, abroad, uk, de, formulas};
    ASSERT_TRUE(contacts.append(all));
    ASSERT_FALSE(exportAs(ExportFormat::Csv).error);
    const QByteArray csvBytes = folder.read(u"PWKC_PWK_Contacts.csv"_s);
    EXPECT_TRUE(csvBytes.contains(",03-01-1885,") && csvBytes.contains(",12-09,"));

    ContactsFile empty;
    ASSERT_TRUE(empty.open(folder.file(u"empty.DAT"_s)));
    QBuffer csv;
    csv.setData(csvBytes);
    csv.open(QIODevice::ReadOnly);
    const ImportResult imported = importContacts(csv, empty, {.remindersOn = true});
    EXPECT_EQ(imported.imported, 7);
    EXPECT_EQ(test::storedRecords(empty), test::storedRecords(contacts));
    EXPECT_EQ(folder.read(u"empty.DAT"_s), folder.read(u"PWK_Contacts.DAT"_s));
}

}  // namespace
}  // namespace pw
