#include "data/contacts_file.h"
#include "support/qt_printers.h"
#include "support/stored_contacts.h"
#include "support/test_folder.h"
#include "transfer/csv_import.h"

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

// The German desktop mail program's CSV export heading, as it writes it.
const QString kOutlookGerman =
    u"\"Anrede\",\"Vorname\",\"Weitere Vornamen\",\"Nachname\",\"Suffix\",\"Firma\",\"Abteilung\",\"Position\","
    "\"Straße geschäftlich\",\"Straße geschäftlich 2\",\"Straße geschäftlich 3\",\"Ort geschäftlich\","
    "\"Region geschäftlich\",\"Postleitzahl geschäftlich\",\"Land/Region geschäftlich\",\"Straße privat\","
    "\"Straße privat 2\",\"Straße privat 3\",\"Ort privat\",\"Bundesland/Kanton privat\",\"Postleitzahl privat\","
    "\"Land/Region privat\",\"Weitere Straße\",\"Weitere Straße 2\",\"Weitere Straße 3\",\"Weiterer Ort\","
    "\"Weiteres/r Bundesland/Kanton\",\"Weitere Postleitzahl\",\"Weiteres/e Land/Region\",\"Telefon Assistent\","
    "\"Fax geschäftlich\",\"Telefon geschäftlich\",\"Telefon geschäftlich 2\",\"Rückmeldung\",\"Autotelefon\","
    "\"Telefon Firma\",\"Fax privat\",\"Telefon privat\",\"Telefon privat 2\",\"ISDN\",\"Mobiltelefon\","
    "\"Weiteres Fax\",\"Weiteres Telefon\",\"Pager\",\"Haupttelefon\",\"Mobiltelefon 2\","
    "\"Telefon für Hörbehinderte\",\"Telex\",\"Abrechnungsinformation\",\"Benutzer 1\",\"Benutzer 2\","
    "\"Benutzer 3\",\"Benutzer 4\",\"Beruf\",\"Büro\",\"E-Mail-Adresse\",\"E-Mail-Typ\","
    "\"E-Mail: Angezeigter Name\",\"E-Mail 2: Adresse\",\"E-Mail 2: Typ\",\"E-Mail 2: Angezeigter Name\","
    "\"E-Mail 3: Adresse\",\"E-Mail 3: Typ\",\"E-Mail 3: Angezeigter Name\",\"Empfohlen von\",\"Geburtstag\","
    "\"Geschlecht\",\"Hobby\",\"Initialen\",\"Internet-Frei/Gebucht\",\"Jahrestag\",\"Kategorien\",\"Kinder\","
    "\"Konto\",\"Name Assistent\",\"Name des/der Vorgesetzten\",\"Notizen\",\"Organisationsnr.\",\"Ort\","
    "\"Partner\",\"Postfach geschäftlich\",\"Postfach privat\",\"Priorität\",\"Privat\",\"Regierungsnr.\","
    "\"Reisekilometer\",\"Sprache\",\"Stichwörter\",\"Vertraulichkeit\",\"Verzeichnisserver\",\"Webseite\","
    "\"Weiteres Postfach\""_s;

// A row of `heading` (comma-separated, quoted or not) with the given values under their headings.
QString rowOf(const QString& heading, const QList<std::pair<QString, QString>>& values, QChar separator = u',')
{
    QStringList headings = heading.split(separator);
    QStringList cells(headings.size());
    for (const auto& [name, value] : values) {
        const qsizetype at = std::find_if(headings.begin(), headings.end(), [&](QString h) {
                                 return h.remove(u'"') == name;
                             }) - headings.begin();
        EXPECT_LT(at, headings.size()) << qPrintable(name);
        cells[at] = u'"' + value + u'"';
    }
    return cells.join(separator);
}

class ImportSourcesTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    ContactsFile contacts;

    void SetUp() override { ASSERT_TRUE(contacts.open(folder.file(u"c.DAT"_s))); }

    ImportResult import(const QByteArray& bytes)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return importContacts(buffer, contacts, {});
    }
    std::vector<ContactRecord> records() const { return test::storedRecords(contacts); }

    // Name, street lines, city, state, zip, country, phones and e-mail of record `i`.
    QString address(std::size_t i) const
    {
        const ContactRecord r = records().at(i);
        return QStringList({r.FirstName, r.LastName, r.Street1, r.Street2, r.City, r.State, r.Zip, r.Country,
                            r.HomePhone, r.CellPhone, r.WorkPhone, r.Email})
            .join(u'|');
    }
};

TEST_F(ImportSourcesTest, OutlookExportsInOtherLanguagesGiveTheAddressInItsFields)
{
    const QString rows =
        rowOf(kOutlookGerman, {{u"Vorname"_s, u"Jürgen"_s}, {u"Nachname"_s, u"Weiß"_s},
                               {u"Straße privat"_s, u"Lindenstraße 4"_s}, {u"Straße privat 2"_s, u"Hinterhaus"_s},
                               {u"Ort privat"_s, u"München"_s}, {u"Postleitzahl privat"_s, u"80331"_s},
                               {u"Land/Region privat"_s, u"Deutschland"_s}, {u"Telefon privat"_s, u"089 123456"_s},
                               {u"Mobiltelefon"_s, u"0171 2345678"_s}, {u"Telefon geschäftlich"_s, u"089 999"_s},
                               {u"E-Mail-Adresse"_s, u"j.weiss@example.de"_s}, {u"E-Mail-Typ"_s, u"SMTP"_s},
                               {u"Geburtstag"_s, u"24.12.1970"_s}, {u"Priorität"_s, u"Normal"_s},
                               {u"Ort"_s, u"Raum 4"_s}})
        + u"\r\n"_s
        + rowOf(kOutlookGerman, {{u"Vorname"_s, u"Anna"_s}, {u"Nachname"_s, u"Berg"_s}, {u"Firma"_s, u"Berg AG"_s},
                                 {u"Straße geschäftlich"_s, u"Hafenweg 1"_s}, {u"Ort geschäftlich"_s, u"Kiel"_s},
                                 {u"Postleitzahl geschäftlich"_s, u"24103"_s}, {u"Geburtstag"_s, u"0.0.00"_s}});
    // Written in the code page, as the desktop program does.
    const QByteArray file = QStringEncoder(QStringEncoder::Latin1)(kOutlookGerman + u"\r\n"_s + rows + u"\r\n"_s);
    const ImportResult result = import(file);
    ASSERT_EQ(result.imported, 2);
    EXPECT_EQ(address(0), u"Jürgen|Weiß|Lindenstraße 4|Hinterhaus|München||80331|Deutschland|089 123456|"
                          "0171 2345678|089 999|j.weiss@example.de");
    EXPECT_EQ(records()[0].Birthdate, u"19701224");
    EXPECT_EQ(address(1), u"Anna|Berg|Hafenweg 1||Kiel||24103|||||"_s);
    // The office's location has no field; the exporter's bookkeeping is not worth a word.
    EXPECT_EQ(result.notKept, QStringList{u"column 'Ort' not kept"_s});

    // The same heading after a conversion that lost its accents (U+FFFD) still reads.
    QString damaged = kOutlookGerman;
    damaged.replace(u'ä', QChar::ReplacementCharacter).replace(u'ß', QChar::ReplacementCharacter);
    const QString row = rowOf(damaged, {{u"Vorname"_s, u"Eva"_s}, {u"Nachname"_s, u"Roth"_s},
                                        {u"Stra\uFFFDe gesch\uFFFDftlich"_s, u"Am Markt 2"_s},
                                        {u"Ort gesch\uFFFDftlich"_s, u"Jena"_s}});
    ASSERT_EQ(import((damaged + u"\r\n"_s + row).toUtf8()).imported, 1);
    EXPECT_EQ(address(2), u"Eva|Roth|Am Markt 2||Jena|||||||");

    // Other languages' exports and spreadsheets, with the kind of address written their way.
    const std::tuple<QString, QString, QString> others[] = {
        {u"Prénom,Nom,Rue (domicile),Ville (domicile),Code postal (domicile),Pays/Région (domicile),"
         "Téléphone (domicile),Tél. mobile,Adresse de messagerie"_s,
         u"Luc,Petit,2 rue Haute,Lyon,69001,France,04 78 00 00 00,06 12 34 56 78,luc@example.fr"_s,
         u"Luc|Petit|2 rue Haute||Lyon||69001|France|04 78 00 00 00|06 12 34 56 78||luc@example.fr"_s},
        {u"Nombre,Apellidos,Calle del domicilio,Ciudad de residencia,Código postal de residencia,Particular,Móvil,"
         "Dirección de correo electrónico"_s,
         u"Inés,Gil,Calle Mayor 3,Madrid,28013,91 123 45 67,600 111 222,ines@example.es"_s,
         u"Inés|Gil|Calle Mayor 3||Madrid||28013||91 123 45 67|600 111 222||ines@example.es"_s},
        {u"Förnamn,Efternamn,\"Gatuadress, hem\",\"Postort, hem\",\"Postnummer, hem\",\"Telefon, arbete\","
         "Mobiltelefon,E-postadress"_s,
         u"Åsa,Ek,Storgatan 1,Umeå,903 26,090 12 34,070 123 45 67,asa@example.se"_s,
         u"Åsa|Ek|Storgatan 1||Umeå||903 26|||070 123 45 67|090 12 34|asa@example.se"_s},
        {u"Imię,Nazwisko,Ulica (dom),Miasto (dom),Kod pocztowy (dom),Telefon domowy,Telefon komórkowy,Adres e-mail"_s,
         u"Jan,Nowak,ul. Wąska 5,Kraków,31-147,12 345 67 89,501 234 567,jan@example.pl"_s,
         u"Jan|Nowak|ul. Waska 5||Kraków||31-147||12 345 67 89|501 234 567||jan@example.pl"_s},
        {u"Nome,Cognome,Via (uff.),Città (uff.),CAP (uff.),Telefono (ab.),Cellulare,Indirizzo posta elettronica"_s,
         u"Lia,Neri,Via Roma 1,Pisa,56126,050 123456,333 1234567,lia@example.it"_s,
         u"Lia|Neri|Via Roma 1||Pisa||56126||050 123456|333 1234567||lia@example.it"_s},
        {u"Voornaam,Achternaam,\"Huisadres, straat\",\"Huisadres, plaats\",\"Huisadres, postcode\",Mobiel"_s,
         u"Els,Vos,Kerkstraat 2,Amsterdam,1012 AB,06 12345678"_s,
         u"Els|Vos|Kerkstraat 2||Amsterdam||1012 AB|||06 12345678||"_s},
        {u"Nome,Apelido,Rua (residencial),Cidade (residencial),Código postal (residencial),Telemóvel"_s,
         u"Rui,Sá,Rua Nova 7,Porto,4000-322,912 345 678"_s, u"Rui|Sá|Rua Nova 7||Porto||4000-322|||912 345 678||"_s},
    };
    for (const auto& [heading, row, expected] : others) {
        ASSERT_EQ(import((heading + u"\r\n"_s + row + u"\r\n"_s).toUtf8()).imported, 1) << qPrintable(heading);
        EXPECT_EQ(address(records().size() - 1), expected);
    }
}

TEST_F(ImportSourcesTest, SemicolonsTabsAndAPreambleBeforeTheHeadingLine)
{
    // A spreadsheet of a language that writes decimal commas separates with semicolons, in the code page.
    ASSERT_EQ(import("First Name;Last Name;E-Mail\r\nJ\xF6rg;M\xFCller;jm@example.de\r\n\"Li; Ann\";Wu;\r\n").imported,
              2);
    EXPECT_EQ(address(0), u"Jörg|Müller||||||||||jm@example.de");
    EXPECT_EQ(address(1), u"Li; Ann|Wu||||||||||");

    // The German desktop address book writes tabs.
    const QString mac = u"Vorname\tNachname\tFirma\tArbeitsadresse Strasse\tArbeitsadresse Stadt\tArbeitsadresse PLZ\t"
                        "Privatadresse Land\tArbeit E-Mail\tPrivat Telefon\tMobiltelefon\tNotizen\tGeburtstag"_s;
    ASSERT_EQ(import((mac + u"\nKai\tLang\tLang GmbH\tRing 3\tBonn\t53111\t\tkai@example.de\t0228 1\t0170 2\tNett\t"
                            "1980-04-10\n"_s)
                         .toUtf8())
                  .imported,
              1);
    EXPECT_EQ(address(2), u"Kai|Lang|Ring 3||Bonn||53111||0228 1|0170 2||kai@example.de");
    EXPECT_EQ(QStringList({records()[2].Company, records()[2].Notes, records()[2].Birthdate}),
              QStringList({u"Lang GmbH"_s, u"Nett"_s, u"19800410"_s}));

    // A social network's connections: a note and a blank line come before the headings. Lines keep
    // their numbers in the file.
    const ImportResult linked = import(
        "Notes:\n\"When exporting your connection data, you may notice that some of the email addresses are "
        "missing.\"\n\nFirst Name,Last Name,URL,Email Address,Company,Position,Connected On\n"
        "Ada,Byron,https://example.com/in/ada,ada@example.com,Engines Ltd,Analyst,01 Jan 2024\n"
        ",,https://example.com/in/x,,,,02 Jan 2024\n");
    EXPECT_EQ(linked.imported, 1);
    EXPECT_EQ(address(3), u"Ada|Byron||||||||||ada@example.com");
    EXPECT_EQ(skippedRowLines(linked), QStringList{u"Line 6 (no name): ,,https://example.com/in/x,,,,02 Jan 2024"_s});
    EXPECT_EQ(linked.notKept, QStringList({u"column 'URL' not kept"_s, u"column 'Position' not kept"_s,
                                           u"column 'Connected On' not kept"_s}));
}

TEST_F(ImportSourcesTest, EveryColumnWithAValueNoFieldHoldsIsNamedOnce)
{
    const QString heading = u"First Name,Last Name,E-mail Address,E-mail 2 Address,Home Street,Home City,"
                            "Business Street,Business City,Home Phone,Business Fax,Spouse,Priority,"
                            "Home Postal Code,Notes"_s;
    const QString note = QString(250, u'n');
    const ImportResult result = import(
        (heading + u"\r\nAl,Doe,al@example.com,al2@example.com,1 Elm St,Reno,2 Oak Av,Elko,555-0100,555-0199,Sue,"
                   "Normal,1327,"_s
         + note + u"\r\nBo,Doe,bo@example.com,,3 Fir St,Reno,,,,,Sam,Normal,501,\r\n"_s)
            .toUtf8());
    ASSERT_EQ(result.imported, 2);
    // The business address, the second e-mail and the fax number have no place beside the ones
    // taken; the spouse has none at all.
    EXPECT_EQ(result.notKept,
              QStringList({u"column 'E-mail 2 Address' not kept"_s, u"column 'Business Street' not kept"_s,
                           u"column 'Business City' not kept"_s, u"column 'Business Fax' not kept"_s,
                           u"column 'Spouse' not kept"_s}));
    EXPECT_EQ(importSummaryLines(result).mid(5), result.notKept);
    // A US zip code a spreadsheet read as a number gets its zeros back, and the summary says so;
    // a value is quoted there at most 60 characters long.
    EXPECT_EQ(QStringList({records()[0].Zip, records()[1].Zip}), QStringList({u"01327"_s, u"00501"_s}));
    EXPECT_EQ(result.changed,
              QStringList({u"Line 2: zip code \"1327\" given its leading zeros: \"01327\""_s,
                           u"Line 2: \""_s + note.left(57) + u"...\" cut to its first 160 characters"_s,
                           u"Line 3: zip code \"501\" given its leading zeros: \"00501\""_s}));
    // Another country's postal code is as it was written.
    import("First Name,Last Name,Home Street,Home Postal Code,Home Country\r\nEd,Roe,9 Rue,1000,Belgique\r\n");
    EXPECT_EQ(records()[2].Zip, u"1000");
}

TEST_F(ImportSourcesTest, LdifEntriesOfAMailProgramBecomeContacts)
{
    const QByteArray ldif =
        "version: 1\n"
        "dn: cn=Ann Lee,mail=ann@example.com\n"
        "objectclass: top\nobjectclass: person\n"
        "givenName: Ann\nsn: Lee\ncn: Ann Lee\nmail: ann@example.com\n"
        "telephoneNumber: 555-0101\nhomePhone: 555-0102\nmobile: 555-0103\n"
        "mozillaHomeStreet: 12 Main St\nmozillaHomeLocalityName: Reno\nst: NV\nmozillaHomeState: Nevada\n"
        "mozillaHomePostalCode: 89501\nmozillaHomeCountryName: USA\no: Acme\n"
        "description: Met at the fair and then again at the\n  library\n"
        "birthyear: 1980\nbirthmonth: 4\nbirthday: 10\ntitle: Engineer\n\n"
        "dn:: Y249UmVuw6llIE3DvGxsZXI=\n"
        "givenName:: UmVuw6ll\nsn:: TcO8bGxlcg==\nmail: renee@example.de\n"
        "street: Hauptstra\xC3\x9F" "e 1\nl: Berlin\npostalCode: 10115\nc: Germany\n\n"
        "# a comment\n"
        "dn: cn=Friends\nobjectclass: groupOfNames\ncn: Friends\nmember: cn=Ann Lee,mail=ann@example.com\n\n"
        "dn: cn=Bo\ncn: Bo Ray\nmail: bo@example.com\n";
    const ImportResult result = import(ldif);
    EXPECT_EQ(result.imported, 3);
    EXPECT_EQ(importSummaryLines(result).mid(0, 2), QStringList({u"4 entries read"_s, u"3 contacts imported"_s}));
    EXPECT_EQ(skippedRowLines(result), QStringList{u"Line 36 (not a contact): Friends"_s});
    EXPECT_EQ(address(0), u"Ann|Lee|12 Main St||Reno|NV|89501|USA|555-0102|555-0103|555-0101|ann@example.com");
    EXPECT_EQ(QStringList({records()[0].Company, records()[0].Notes, records()[0].Birthdate}),
              QStringList({u"Acme"_s, u"Met at the fair and then again at the library"_s, u"19800410"_s}));
    EXPECT_EQ(address(1), u"Renée|Müller|Hauptstraße 1||Berlin||10115|Germany||||renee@example.de");
    EXPECT_EQ(address(2), u"Bo|Ray||||||||||bo@example.com");
    EXPECT_EQ(result.notKept, QStringList{u"attribute 'title' not kept"_s});
}

TEST_F(ImportSourcesTest, OneByteThatIsNotUtf8KeepsEveryOtherAccentAndNamesItsLine)
{
    const ImportResult result =
        import("First Name,Last Name,City\r\nRen\xC3\xA9" "e,Zo\xC3\xAB,K\xC3\xB6ln\r\nAndr\xE9,Dupr\xC3\xA9,Li\xC3\xA8ge\r\n");
    ASSERT_EQ(result.imported, 2);
    EXPECT_EQ(QStringList({address(0), address(1)}),
              QStringList({u"Renée|Zoë|||Köln|||||||"_s, u"André|Dupré|||Liège|||||||"_s}));
    EXPECT_EQ(result.changed, QStringList{u"Line 3: a byte that is not UTF-8 read as Windows-1252 (\"é\")"_s});
    // A file of the code page throughout is the code page's, as before.
    ASSERT_EQ(import("First Name,Last Name\r\nJos\xE9,Ni\xF1o\r\n").imported, 1);
    EXPECT_EQ(QStringList({records()[2].FirstName, records()[2].LastName}), QStringList({u"José"_s, u"Niño"_s}));
}

TEST_F(ImportSourcesTest, AFolderOrAPipeIsRefusedWithoutWaiting)
{
    QFile file;
    const Status dir = openImportFile(file, folder.path());
    ASSERT_FALSE(dir);
    EXPECT_EQ(dir.error().number, EISDIR);
    EXPECT_EQ(dir.error().description, u"Is a directory (a folder, not a file to import)");
    const QString fifo = folder.file(u"pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const Status pipe = openImportFile(file, fifo);
    ASSERT_FALSE(pipe);
    EXPECT_EQ(pipe.error().description, u"Invalid argument (a pipe, not a file to import)");
}

}  // namespace
}  // namespace pw
