#include "transfer/vcard.h"

#include "data/contacts_file.h"
#include "support/qt_printers.h"
#include "support/test_folder.h"
#include "support/stored_contacts.h"
#include "transfer/contact_export.h"
#include "transfer/csv_import.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

QStringList fields(const ContactRecord& r)
{
    return {r.FirstName, r.MiddleInitial, r.LastName, r.Street1, r.Street2, r.City, r.State, r.Zip, r.Country,
            r.Company, r.IncludeCompany, r.HomePhone, r.CellPhone, r.WorkPhone, r.Email, r.Birthdate, r.Category,
            r.Notes};
}

class VCardTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    ContactsFile contacts;

    void SetUp() override { ASSERT_TRUE(contacts.open(folder.file(u"c.DAT"_s))); }

    ImportResult import(const QByteArray& file)
    {
        QBuffer buffer;
        buffer.setData(file);
        buffer.open(QIODevice::ReadOnly);
        return importContacts(buffer, contacts, {});
    }
    std::vector<ContactRecord> records() const { return test::storedRecords(contacts); }
};

TEST_F(VCardTest, Version21QuotedPrintableCharsetAndBareTypes)
{
    // Soft line breaks, an ISO-8859-1 name, the home address after a work one, types without TYPE=.
    const QByteArray file = "BEGIN:VCARD\r\n"
                            "VERSION:2.1\r\n"
                            "N;CHARSET=ISO-8859-1:M\xFCller;J\xFCrgen;Karl\r\n"
                            "FN;CHARSET=ISO-8859-1:J\xFCrgen M\xFCller\r\n"
                            "ADR;WORK:;;1 Factory Rd;Detroit;MI;48201;USA\r\n"
                            "ADR;HOME;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:;Apt 4;12 Lake Shore Dr=2C Fl=\r\n"
                            "oor 2;Chicago;Illinois;60611;USA\r\n"
                            "TEL;HOME;VOICE:312-555-0100\r\n"
                            "TEL;CELL:312-555-0101\r\n"
                            "TEL;WORK;FAX:312-555-0199\r\n"
                            "TEL;WORK:313-555-0102\r\n"
                            "EMAIL;PREF;INTERNET:juergen@example.de\r\n"
                            "BDAY:19640229\r\n"
                            "ORG:M\xC3\xBCller Werke;Einkauf\r\n"
                            "NOTE;ENCODING=QUOTED-PRINTABLE:Line one=0D=0ALine two\r\n"
                            "END:VCARD\r\n";
    ASSERT_EQ(import(file).imported, 1);
    EXPECT_EQ(fields(records()[0]),
              QStringList({u"Jürgen"_s, u"K"_s, u"Müller"_s, u"12 Lake Shore Dr, Floor 2"_s, u"Apt 4"_s, u"Chicago"_s,
                           u"IL"_s, u"60611"_s, u"USA"_s, u"Müller Werke"_s, u"0"_s, u"312-555-0100"_s,
                           u"312-555-0101"_s, u"313-555-0102"_s, u"juergen@example.de"_s, u"19640229"_s, u""_s,
                           u"Line one  Line two"_s}));
}

TEST_F(VCardTest, Version30FoldedLinesEscapesAndSeveralCards)
{
    const QByteArray file = "BEGIN:VCARD\n"
                            "VERSION:3.0\n"
                            "N:O'Brien;Siobh\xC3\xA1n;;Dr.;\n"
                            "FN:Dr. Siobh\xC3\xA1n O'Brien\n"
                            "item1.ADR;TYPE=home,pref:;;4 Quay St\\, Unit 9;Galway\\;West;;H91;Ire\n"
                            " land\n"
                            "TEL;TYPE=CELL:+353 555 0101\n"
                            "EMAIL;TYPE=INTERNET,HOME:siobhan@example.ie\n"
                            "BDAY:--0410\n"
                            "CATEGORIES:Friends,Book club\\, Tuesdays\n"
                            "NOTE:Two lines:\\nsecond\\, with comma\n"
                            "END:VCARD\n"
                            "BEGIN:VCARD\n"
                            "VERSION:3.0\n"
                            "N:Ng;Kim;;;\n"
                            "FN:Kim Ng\n"
                            "BDAY:1985-07-04\n"
                            "END:VCARD\n";
    ASSERT_EQ(import(file).imported, 2);
    const std::vector<ContactRecord> r = records();
    EXPECT_EQ(fields(r[0]), QStringList({u"Siobhán"_s, u""_s, u"O'Brien"_s, u"4 Quay St, Unit 9"_s, u""_s,
                                         u"Galway;West"_s, u""_s, u"H91"_s, u"Ireland"_s, u""_s, u"0"_s, u""_s,
                                         u"+353 555 0101"_s, u""_s, u"siobhan@example.ie"_s, u"00000410"_s,
                                         u"Friends;Book club, Tuesdays"_s, u"Two lines: second, with comma"_s}));
    EXPECT_EQ(r[1].Birthdate, u"19850704");
}

TEST_F(VCardTest, Version40QuotedTypesTelUrisAndCardsThatCannotBeTaken)
{
    const QByteArray file = "\xEF\xBB\xBF"
                            "BEGIN:VCARD\r\nVERSION:4.0\r\n"
                            "FN:Ana Lucia Costa\r\n"
                            "ADR;TYPE=\"home,postal\":;;77 Rua Nova;Newark;New Jersey;07102;\r\n"
                            "TEL;VALUE=uri;TYPE=\"voice,home\":tel:+1-555-010-4444\r\n"
                            "BDAY:1992-03-15T00:00:00Z\r\n"
                            "END:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:4.0\r\nEMAIL:nobody@example.com\r\nORG:Ghost Inc\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Broken\r\nNOTE no colon here\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:5.0\r\nFN:Future\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Cut Short\r\n";
    const ImportResult result = import(file);
    EXPECT_EQ(result.read, 5);
    EXPECT_EQ(result.imported, 3);
    EXPECT_EQ(result.notContacts, 2);
    const ContactRecord r = records()[0];
    EXPECT_EQ(QStringList({r.FirstName, r.LastName, r.Street1, r.City, r.State, r.Zip, r.HomePhone, r.Birthdate}),
              QStringList({u"Ana Lucia"_s, u"Costa"_s, u"77 Rua Nova"_s, u"Newark"_s, u"NJ"_s, u"07102"_s,
                           u"+1-555-010-4444"_s, u"19920315"_s}));
    EXPECT_EQ(skippedRowLines(result),
              QStringList({u"Line 18 (not a contact): unknown vCard version 5.0"_s,
                           u"Line 22 (not a contact): the card has no END:VCARD"_s}));
    // A company's card is the company, named once: the label prints no company line under it.
    const ContactRecord company = records()[1];
    EXPECT_EQ(QStringList({company.FirstName, company.LastName, company.Company, company.IncludeCompany}),
              QStringList({u""_s, u"Ghost Inc"_s, u"Ghost Inc"_s, u"0"_s}));
}

TEST_F(VCardTest, ThePreferredValueWinsOverFileOrderAndAppleYearlessBirthdaysHaveNoYear)
{
    const QByteArray file =
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ada Byrne\r\nN:Byrne;Ada;;;\r\n"
        "ADR;TYPE=HOME:;;1 First St;Troy;NY;12180;\r\n"
        "ADR;TYPE=WORK,pref:;;9 Mill Rd;Albany;NY;12207;\r\n"
        "ADR;TYPE=HOME,pref:;;2 Second St;Troy;NY;12181;\r\n"
        "TEL;TYPE=CELL:555-0101\r\nTEL;TYPE=CELL;TYPE=PREF:555-0102\r\n"
        "EMAIL;TYPE=INTERNET:old@example.com\r\nitem1.EMAIL;TYPE=INTERNET;TYPE=pref:ada@example.com\r\n"
        "BDAY;X-APPLE-OMIT-YEAR=1604:1604-01-22\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Bo Lind\r\n"
        "EMAIL:a@example.com\r\nEMAIL;PREF=3:c@example.com\r\nEMAIL;PREF=2:b@example.com\r\n"
        "TEL;TYPE=work:555-0201\r\nTEL;TYPE=work;PREF=1:555-0202\r\n"
        "BDAY;X-APPLE-OMIT-YEAR=1900:19001231\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Cy Moss\r\nBDAY:1604-01-22\r\nEND:VCARD\r\n";
    ASSERT_EQ(import(file).imported, 3);
    const std::vector<ContactRecord> r = records();
    // A preferred work address does not displace the home one; of two home addresses, the preferred.
    EXPECT_EQ(QStringList({r[0].Street1, r[0].Zip, r[0].CellPhone, r[0].Email, r[0].Birthdate}),
              QStringList({u"2 Second St"_s, u"12181"_s, u"555-0102"_s, u"ada@example.com"_s, u"00000122"_s}));
    EXPECT_EQ(QStringList({r[1].Email, r[1].WorkPhone, r[1].Birthdate}),
              QStringList({u"b@example.com"_s, u"555-0202"_s, u"00001231"_s}));
    // Without the parameter, 1604 is the year given.
    EXPECT_EQ(r[2].Birthdate, u"16040122");
}

TEST_F(VCardTest, ALoneCarriageReturnStaysInItsValueAndAnExtensionCostsNoDigits)
{
    const ImportResult result = import("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Roy;Eve;;;\r\n"
                                       "X-CUSTOM1:first\rsecond\r\n"
                                       "TEL;TYPE=WORK:tel:+1-418-656-9254;ext=102\r\n"
                                       "TEL;TYPE=HOME:555-1234 x12\r\n"
                                       "TEL;TYPE=CELL:+1 (418) 656-9254 ext. 7\r\nEND:VCARD\r\n");
    EXPECT_EQ(result.imported, 1);
    const ContactRecord r = records().at(0);
    EXPECT_EQ(QStringList({r.FirstName, r.WorkPhone, r.HomePhone, r.CellPhone}),
              QStringList({u"Eve"_s, u"418-656-9254"_s, u"555-1234 x12"_s, u"418-656-9254 x7"_s}));
    // A number that fits only with its digits run together keeps them all.
    EXPECT_EQ(import("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Puig;Ona;;;\r\nTEL;TYPE=WORK:+34 93 325 0914\r\nEND:VCARD\r\n")
                  .imported,
              1);
    EXPECT_EQ(records().back().WorkPhone, u"+34933250914");
}

TEST_F(VCardTest, ExportThenImportGivesEveryFieldBack)
{
    ContactRecord full;
    full.FirstName = u"Zoë"_s;
    full.MiddleInitial = u"Q"_s;
    full.LastName = u"Smith-Jones; Jr"_s;
    full.Street1 = u"1200 Elm Street, Suite 5"_s;
    full.Street2 = u"Building B"_s;
    full.City = u"San Mateo"_s;
    full.State = u"CA"_s;
    full.Zip = u"94401-1234"_s;
    full.Country = u"UNITED STATES"_s;
    full.HomePhone = u"(555) 123-4567"_s;
    full.CellPhone = u"555-222-3333"_s;
    full.WorkPhone = u"555-444-5555"_s;
    full.Email = u"zoe.smith-jones@example.com"_s;
    full.Birthdate = u"18850410"_s;
    full.Category = u"Friends;Golf, weekends"_s;
    full.Notes = QString(u"Back\\slash and a long note that the folding has to split across several lines "_s)
                     .repeated(2)
                     .left(160);
    full.Company = u"Acme, Inc."_s;
    full.IncludeCompany = u"1"_s;
    full.BirthdayReminders = u"1"_s;
    ContactRecord bare;
    bare.FirstName = u"Al"_s;
    bare.Birthdate = u"00001209"_s;  // no year known
    bare.IncludeCompany = u"0"_s;
    bare.BirthdayReminders = u"1"_s;
    ASSERT_TRUE(contacts.append(full));
    ASSERT_TRUE(contacts.append(bare));

    const QString path = folder.file(exportFileName(ExportFormat::VCard, u"/x/family.DAT"_s));
    EXPECT_TRUE(path.endsWith(u"/PWKV_family.vcf"));
    const ExportResult written = writeExportFile(contacts, ExportFormat::VCard, path);
    ASSERT_FALSE(written.error);
    EXPECT_EQ(written.written, 2);
    const QByteArray vcf = folder.read(u"PWKV_family.vcf"_s);
    for (const QByteArray& line : vcf.split('\n'))
        EXPECT_LE(line.size(), 76) << line.toStdString();  // 75 bytes and the CR
    EXPECT_TRUE(vcf.contains("N:Smith-Jones\\; Jr;Zo\xC3\xAB;Q;;\r\n"));
    EXPECT_TRUE(vcf.contains("BDAY:1885-04-10\r\n"));
    EXPECT_TRUE(vcf.contains("BDAY:--1209\r\n"));

    const std::vector<ContactRecord> before = records();
    ASSERT_TRUE(contacts.open(folder.file(u"empty.DAT"_s)));
    ASSERT_EQ(import(vcf).imported, 2);
    EXPECT_EQ(records(), before);

    // Every card has a UID of its own, the same at the next export; a contact on file twice gets
    // one for each.
    auto uids = [](const QByteArray& file) {
        QList<QByteArray> found;
        for (const QByteArray& line : file.split('\n')) {
            if (line.startsWith("UID:"))
                found.append(line.trimmed().mid(4));
        }
        return found;
    };
    ASSERT_TRUE(contacts.append(bare));
    ASSERT_FALSE(writeExportFile(contacts, ExportFormat::VCard, path).error);
    const QList<QByteArray> again = uids(folder.read(u"PWKV_family.vcf"_s));
    ASSERT_EQ(again.size(), 3);
    EXPECT_EQ(again.mid(0, 2), uids(vcf));
    EXPECT_NE(again[2], again[1]);
    EXPECT_EQ(again[0].size(), 36);
}

TEST_F(VCardTest, FlawsOfOtherProgramsAreReadThroughAndEveryCardThatBeginsIsImportedOrNamed)
{
    const QByteArray file = "\xEF\xBB\xBF"
                            "BEGIN:VCARD\r\nN:Lee;Ann;;;\r\nTEL:555-0101\r\nEND:VCARD\r\n"            // no VERSION
                            "\xEF\xBB\xBF"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Roe;Bo;;;\r\nNOTE:a long no\r\nte\r\nEND:VCARD."  // lines 5-10
                            "\xEF\xBB\xBF"
                            "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Day;Cy\r\nEND:VCARD\r\n";
    const ImportResult result = import(file);
    EXPECT_EQ(result.read, 3);
    EXPECT_EQ(result.imported, 3);
    EXPECT_EQ(result.changed, QStringList({u"Line 9: a line without a colon read as part of the line before it"_s,
                                           u"Line 10: \"END:VCARD.\" read as the end of the card"_s}));
    const std::vector<ContactRecord> r = records();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(QStringList({r[0].FirstName, r[0].HomePhone, r[1].FirstName, r[1].Notes, r[2].FirstName}),
              QStringList({u"Ann"_s, u"555-0101"_s, u"Bo"_s, u"a long note"_s, u"Cy"_s}));
}

TEST_F(VCardTest, GroupCardsGiveTheirNameToTheirMembersCategoriesAndAreNamedOnce)
{
    const QByteArray file = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:A1\r\nN:Lee;Ann;;;\r\nCATEGORIES:Family\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:b2\r\nN:Roe;Bo;;;\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nX-ADDRESSBOOKSERVER-KIND:group\r\nFN:Christmas\r\n"
                            "N:Christmas;;;;\r\nX-ADDRESSBOOKSERVER-MEMBER:urn:uuid:a1\r\n"
                            "X-ADDRESSBOOKSERVER-MEMBER:urn:uuid:B2\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:4.0\r\nKIND:group\r\nFN:Golf\r\nMEMBER:urn:uuid:b2\r\nEND:VCARD\r\n";
    const ImportResult result = import(file);
    EXPECT_EQ(result.imported, 2);
    EXPECT_EQ(skippedRowLines(result),
              QStringList({u"Line 12 (not a contact): the group \"Christmas\", given to its 2 members as their category"_s,
                           u"Line 20 (not a contact): the group \"Golf\", given to its 1 member as their category"_s}));
    const std::vector<ContactRecord> r = records();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].Category, u"Family;Christmas");
    EXPECT_EQ(r[1].Category, u"Christmas;Golf");
}

TEST_F(VCardTest, ARegionFollowsTheCityWhereTheCountryPrintsOneAndAPhoneIsNeverCut)
{
    auto card = [](const char* adr, const char* tel = "") {
        return "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nADR;TYPE=HOME:" + QByteArray(adr) + "\r\n"
               + QByteArray(tel) + "END:VCARD\r\n";
    };
    const ImportResult result =
        import(card(";;12 Darling St;Rozelle;NSW;2039;Australia",
                    "TEL;TYPE=WORK:+49 7311 7546691\r\nTEL;TYPE=CELL:+49 (0) 171 2345678\r\n")
               + card(";;Hauptstr. 1;Dresden;Sachsen;01067;Deutschland")
               + card(";;Jl. Sudirman 1;Bandung Wetan;West Java;40115;Indonesia")
               + card(";;1 Main St;Albany;New York;12207;"));
    ASSERT_EQ(result.imported, 4);
    const std::vector<ContactRecord> r = records();
    auto place = [&](std::size_t i) { return QStringList({r[i].City, r[i].State}).join(u'|'); };
    EXPECT_EQ(QStringList({place(0), place(1), place(2), place(3)}),
              QStringList({u"Rozelle NSW|"_s, u"Dresden|"_s, u"Bandung Wetan|"_s, u"Albany|NY"_s}));
    EXPECT_EQ(QStringList({r[0].WorkPhone, r[0].CellPhone, r[0].Notes}),
              QStringList({u""_s, u"+4901712345678"_s, u"Work phone: +49 7311 7546691"_s}));
    EXPECT_EQ(result.changed,
              QStringList({u"Line 1: work phone \"+49 7311 7546691\" too long for its field, kept whole in Notes"_s,
                           u"Line 8: state \"Sachsen\" left out: addresses in Germany name none"_s,
                           u"Line 13: state \"West Java\" left out, no room after the city"_s}));
    EXPECT_EQ(result.fieldsCut, 1);
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

// Found by fuzzing: a folded value whose continuation reads " BEGIN:VCARD" split one card in two.
TEST(VCardFolding, AContinuationLineIsNeverACardBoundary)
{
    const QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nNOTE:see below\r\n BEGIN:VCARD\r\n"
                            " END:VCARD\r\nEND:VCARD\r\n";
    const std::vector<VCard> cards = parseVCards(text);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_TRUE(cards[0].error.isEmpty()) << cards[0].error.toStdString();
    ContactRecord long_;
    long_.FirstName = QStringLiteral("Ann");
    long_.LastName = QStringLiteral("Lee");
    long_.Notes = QString(62, u'x') + QStringLiteral("BEGIN:VCARD");
    EXPECT_EQ(parseVCards(vCardOf(long_)).size(), 1u);
}

}  // namespace
}  // namespace pw
