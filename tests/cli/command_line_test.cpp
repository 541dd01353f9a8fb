#include "cli/run_postwick.h"
#include "data/contacts_file.h"
#include "list/list_contacts.h"
#include "printing/sheet_outlines.h"
#include "support/pdf_words.h"
#include "support/test_folder.h"
#include "transfer/contact_export.h"

#include <QFile>
#include <QSettings>

#include <algorithm>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

// The sheet position (1 to 30) whose label holds the box; 0 for none.
int positionOf(const QRectF& box)
{
    for (int p = 1; p <= 30; ++p) {
        if (labelArea(p).contains(box))
            return p;
    }
    return 0;
}

// Where each word with this text landed: page and position, in print order.
QList<std::pair<int, int>> placesOf(const PdfWords& words, const QString& text)
{
    QList<std::pair<int, int>> places;
    for (const PdfWord& w : words.words) {
        if (w.text == text)
            places.append({w.page, positionOf(w.box)});
    }
    return places;
}

// Contacts F01 L99, F02 L98, ...: the first names sort one way, the last names the other. Every
// fourth lives in Sparks, the rest in Reno.
std::vector<ContactRecord> numberedContacts(int count)
{
    std::vector<ContactRecord> all;
    for (int i = 1; i <= count; ++i)
        all.push_back(person(u"F%1"_s.arg(i, 2, 10, QChar(u'0')), u"L%1"_s.arg(100 - i),
                             i % 4 == 0 ? u"Sparks"_s : u"Reno"_s));
    return all;
}

class CommandLine : public ::testing::Test {
protected:
    TestFolder folder;

    void SetUp() override { writeContacts(folder.file(u"c.DAT"_s), numberedContacts(32)); }
    ProgramRun run(const QStringList& arguments) const { return runPostwick(folder.path(), arguments); }
    PdfWords pdf(const QString& name) const { return pdfWords(folder.file(name)); }
};

TEST_F(CommandLine, ListLabelsFillAPartlyUsedSheetThenTheNextInListOrder)
{
    const ProgramRun labels = run({u"labels"_s, u"c.DAT"_s, u"--start"_s, u"29"_s, u"-o"_s, u"out.pdf"_s});
    ASSERT_EQ(labels.status, 0) << labels.err.toStdString();
    EXPECT_EQ(labels.err, "");
    const PdfWords words = pdf(u"out.pdf"_s);
    EXPECT_EQ(words.pages, 2);
    // Positions 1 to 28 stay blank; F01 and F02 take 29 and 30, the other 30 fill the second sheet.
    EXPECT_EQ(placesOf(words, u"F01"_s), (QList<std::pair<int, int>>{{1, 29}}));
    EXPECT_EQ(placesOf(words, u"F02"_s), (QList<std::pair<int, int>>{{1, 30}}));
    EXPECT_EQ(placesOf(words, u"F03"_s), (QList<std::pair<int, int>>{{2, 1}}));
    EXPECT_EQ(placesOf(words, u"F32"_s), (QList<std::pair<int, int>>{{2, 30}}));
    for (const PdfWord& w : words.words)
        EXPECT_NE(positionOf(w.box), 0) << w.text.toStdString() << " lies outside every label";

    // A search takes its contacts only, sorted by last name: F32 L68 first.
    const ProgramRun search =
        run({u"labels"_s, u"c.DAT"_s, u"--search"_s, u"city=sparks"_s, u"--sort"_s, u"last"_s, u"-o"_s, u"s.pdf"_s});
    ASSERT_EQ(search.status, 0) << search.err.toStdString();
    const PdfWords found = pdf(u"s.pdf"_s);
    EXPECT_EQ(found.pages, 1);
    EXPECT_EQ(placesOf(found, u"F32"_s), (QList<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(placesOf(found, u"F04"_s), (QList<std::pair<int, int>>{{1, 8}}));
    EXPECT_EQ(placesOf(found, u"Reno,"_s), (QList<std::pair<int, int>>{}));

    // "--start free" goes on from the first free label of the sheet the windows remember; a PDF
    // file spends none of them.
    ASSERT_TRUE(QDir(folder.path()).mkpath(u".config/Postwick"_s));
    folder.write(u".config/Postwick/Postwick.conf"_s, "[UsedLabelPositions]\nSheet30=\"1-7, 9\"\n");
    const ProgramRun more = run({u"labels"_s, u"c.DAT"_s, u"--search"_s, u"city=sparks"_s, u"--sort"_s, u"last"_s,
                                 u"--start"_s, u"free"_s, u"-o"_s, u"f.pdf"_s});
    ASSERT_EQ(more.status, 0) << more.err.toStdString();
    EXPECT_EQ(more.err, "");
    EXPECT_EQ(placesOf(pdf(u"f.pdf"_s), u"F32"_s), (QList<std::pair<int, int>>{{1, 8}}));
    const QSettings settings(folder.file(u".config/Postwick/Postwick.conf"_s), QSettings::IniFormat);
    EXPECT_EQ(settings.value(u"UsedLabelPositions/Sheet30"_s).toString(), u"1-7, 9");
}

TEST_F(CommandLine, ListLabelsOnAnotherStockGoOnFromThatSheetsFirstFreeLabel)
{
    // The 10-label sheet in the printer has labels 1-3 used, the 30-label one 1-7.
    ASSERT_TRUE(QDir(folder.path()).mkpath(u".config/Postwick"_s));
    folder.write(u".config/Postwick/Postwick.conf"_s, "[UsedLabelPositions]\nSheet30=1-7\nSheet5163=1-3\n");
    const ProgramRun labels =
        run({u"labels"_s, u"c.DAT"_s, u"--stock"_s, u"5163"_s, u"--start"_s, u"free"_s, u"-o"_s, u"out.pdf"_s});
    ASSERT_EQ(labels.status, 0) << labels.err.toStdString();
    EXPECT_EQ(labels.err, "");
    // 32 labels from label 4: 7 on the first sheet, then 10, 10 and 5.
    const PdfWords words = pdf(u"out.pdf"_s);
    EXPECT_EQ(words.pages, 4);
    const QList<QRectF> outlines = labelStockNamed(u"5163")->outlines();
    const auto labelOf = [&](const QString& text) {
        const auto w =
            std::find_if(words.words.begin(), words.words.end(), [&](const PdfWord& w) { return w.text == text; });
        EXPECT_NE(w, words.words.end()) << text.toStdString();
        for (qsizetype i = 0; w != words.words.end() && i < outlines.size(); ++i) {
            if (QRectF(outlines[i].topLeft() * 72, outlines[i].size() * 72).contains(w->box))
                return std::pair{w->page, static_cast<int>(i) + 1};
        }
        return std::pair{0, 0};
    };
    EXPECT_EQ(labelOf(u"F01"_s), std::pair(1, 4));
    EXPECT_EQ(labelOf(u"F08"_s), std::pair(2, 1));
    EXPECT_EQ(labelOf(u"F32"_s), std::pair(4, 5));
}

TEST_F(CommandLine, TypedLabelsEnvelopesAndReturnLabelsLandOnTheirStock)
{
    // A run of positions and a set picked apart print the lines on those labels only.
    for (const auto& [positions, expected] :
         {std::pair{u"4-6"_s, QList<int>{4, 5, 6}}, std::pair{u"9, 2"_s, QList<int>{2, 9}}}) {
        const ProgramRun sheet = run({u"sheet"_s, u"--lines"_s, u"Ann Example"_s, u"12 Long Road"_s,
                                      u"--positions"_s, positions, u"--center"_s, u"-o"_s, u"sheet.pdf"_s});
        ASSERT_EQ(sheet.status, 0) << sheet.err.toStdString();
        QList<int> printed;
        for (const auto& [page, position] : placesOf(pdf(u"sheet.pdf"_s), u"Road"_s))
            printed.append(page == 1 ? position : -position);
        std::sort(printed.begin(), printed.end());
        EXPECT_EQ(printed, expected) << positions.toStdString();
    }

    const ProgramRun envelope = run({u"envelope"_s, u"--size"_s, u"1"_s, u"--lines"_s, u"Ann Example"_s,
                                     u"12 Long Road"_s, u"Springfield IL 62701"_s, u"-o"_s, u"env.pdf"_s});
    ASSERT_EQ(envelope.status, 0) << envelope.err.toStdString();
    const PdfWords address = pdf(u"env.pdf"_s);
    ASSERT_EQ(address.pages, 1);
    ASSERT_EQ(address.words.size(), 8);
    // Left-justified lines, one under the other, in the right half of a #10 envelope's face.
    EXPECT_NEAR(address.words[0].box.left(), address.words[2].box.left(), 0.5);
    EXPECT_GT(address.words[0].box.left(), 3.5 * 72);
    EXPECT_LT(address.words[0].box.bottom(), address.words[2].box.top());

    const ProgramRun returns = run({u"return-labels"_s, u"--lines"_s, u"Ann Example"_s, u"12 Long Road"_s,
                                    u"Reno NV"_s, u"--italic"_s, u"-o"_s, u"ret.pdf"_s});
    ASSERT_EQ(returns.status, 0) << returns.err.toStdString();
    const PdfWords sheet = pdf(u"ret.pdf"_s);
    EXPECT_EQ(sheet.pages, 1);
    EXPECT_EQ(placesOf(sheet, u"Reno"_s).size(), 80);
}

TEST_F(CommandLine, FiveLinesStayOnTheirLabelsAndNoCorrectionFeedsTextBelowTheSheet)
{
    const QStringList five = {u"sheet"_s, u"--lines"_s, u"Ann Example"_s, u"Acme Widgets Inc"_s, u"12 Long Road"_s,
                              u"Apt 4"_s, u"Reno, NV  89501"_s, u"--positions"_s, u"1-30"_s};
    const ProgramRun sheet = run(five + QStringList{u"-o"_s, u"five.pdf"_s});
    ASSERT_EQ(sheet.status, 0) << sheet.err.toStdString();
    const PdfWords words = pdf(u"five.pdf"_s);
    EXPECT_EQ(words.pages, 1);
    EXPECT_EQ(words.words.size(), 30 * 13);
    for (const PdfWord& w : words.words)
        EXPECT_NE(positionOf(w.box), 0) << w.text.toStdString() << " lies outside every label";

    // Rows that cancel a printer's own offset print as they are; only rows that would feed another
    // sheet are refused, and nothing is written.
    folder.write(u"down.TXT"_s, "ONTHEFLY 0   2  \r\n");
    const ProgramRun down = run(five + QStringList{u"--margins"_s, u"down.TXT"_s, u"-o"_s, u"down.pdf"_s});
    EXPECT_EQ(down.status, 0) << down.err.toStdString();
    EXPECT_EQ(down.err, "");
    EXPECT_EQ(pdf(u"down.pdf"_s).pages, 1);
    folder.write(u"far.TXT"_s, "ONTHEFLY 0   4  \r\n");
    const ProgramRun far = run(five + QStringList{u"--margins"_s, u"far.TXT"_s, u"-o"_s, u"far.pdf"_s});
    EXPECT_EQ(far.status, 1);
    EXPECT_TRUE(far.err.contains("Lines of the last row of labels would print below the sheet"))
        << far.err.toStdString();
    EXPECT_FALSE(QFile::exists(folder.file(u"far.pdf"_s)));
    // A return-address row down warns of nothing; columns that move text onto the neighbouring
    // labels are named once for the whole sheet.
    folder.write(u"low.TXT"_s, "RETURNAD 0   1  \r\n");
    const ProgramRun low = run({u"return-labels"_s, u"--lines"_s, u"Ann Example"_s, u"12 Long Road"_s, u"Reno NV"_s,
                                u"--margins"_s, u"low.TXT"_s, u"-o"_s, u"low.pdf"_s});
    EXPECT_EQ(low.status, 0) << low.err.toStdString();
    EXPECT_EQ(low.err, "");
    folder.write(u"left.TXT"_s, "ONTHEFLY -5  0  \r\n");
    const ProgramRun left = run(five + QStringList{u"--margins"_s, u"left.TXT"_s, u"-o"_s, u"left.pdf"_s});
    EXPECT_EQ(left.status, 0);
    EXPECT_EQ(left.err, "postwick: warning: the correction moves text 0.32 in left, onto the neighbouring labels\n");

    // A street too wide for its label is fitted whole inside it, not cut.
    ContactRecord wide = person(u"Jonathan"_s, u"Smythe"_s, u"Reno"_s);
    wide.Street1 = u"1234 NORTHWEST EVERGREEN BLVD"_s;
    wide.Street2 = u"APARTMENT 1200"_s;
    writeContacts(folder.file(u"long.DAT"_s), {wide});
    const ProgramRun labels = run({u"labels"_s, u"long.DAT"_s, u"-o"_s, u"long.pdf"_s});
    EXPECT_EQ(labels.status, 0) << labels.err.toStdString();
    EXPECT_EQ(labels.err, "");
    const PdfWords fitted = pdf(u"long.pdf"_s);
    EXPECT_EQ(fitted.pages, 1);
    QStringList printed;
    for (const PdfWord& w : fitted.words) {
        printed << w.text;
        EXPECT_EQ(positionOf(w.box), 1) << w.text.toStdString() << " lies outside its label";
    }
    EXPECT_EQ(printed.join(u' ').toStdString(),
              "Jonathan Smythe 1234 NORTHWEST EVERGREEN BLVD APARTMENT 1200 Reno, NV 89501");
}

// With no one to say "Print anyway", an envelope correction that lifts the address off the
// envelope is one error line and nothing written.
TEST_F(CommandLine, AnEnvelopeCorrectionThatTakesTheAddressOffTheEnvelopeIsRefused)
{
    folder.write(u"env.TXT"_s, "ENVELOPE 0   -20\r\n");
    const ProgramRun refused = run({u"envelope"_s, u"--size"_s, u"1"_s, u"--lines"_s, u"Ann Example"_s,
                                    u"Reno, NV 89501"_s, u"--margins"_s, u"env.TXT"_s, u"-o"_s, u"env.pdf"_s});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.toStdString(), "postwick envelope: The address would print 1.90 in above the envelope's top "
                                         "edge: raise the ENVELOPE top correction to -9 or more\n");
    EXPECT_FALSE(QFile::exists(folder.file(u"env.pdf"_s)));
}

TEST_F(CommandLine, ExportImportAndListGoThroughTheFilesAsTheWindowsDo)
{
    ContactsFile contacts;
    ASSERT_TRUE(contacts.open(folder.file(u"c.DAT"_s)));
    for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Text}) {
        QByteArray expected = exportHeaderLine(format);
        ASSERT_TRUE(contacts.forEachStored([&](int, QByteArrayView record) {
            expected += exportLine(format, record);
            return Visit::Next;
        }));
        const QString option = format == ExportFormat::Csv ? u"--csv"_s : u"--text"_s;
        // The second run replaces the first one's file, as it says it may.
        const ProgramRun exported = run({u"export"_s, u"c.DAT"_s, option, u"-o"_s, u"c.out"_s, u"--force"_s});
        ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
        EXPECT_EQ(exported.out, "Exported 32 contacts from c.DAT to c.out\n");
        EXPECT_EQ(folder.read(u"c.out"_s), expected);
    }

    // The CSV export reads back as the same contacts; a second import finds them all there already.
    ASSERT_EQ(run({u"export"_s, u"c.DAT"_s, u"--csv"_s, u"-o"_s, u"c.csv"_s}).status, 0);
    ProgramRun imported = run({u"import"_s, u"new.DAT"_s, u"c.csv"_s});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out, "32 rows read\n32 contacts imported\n0 skipped as duplicates\n"
                            "0 skipped for having no name\n0 fields cut to fit\n");
    // All duplicates is still a file read: the summary says so and the run succeeds.
    const ProgramRun again = run({u"import"_s, u"new.DAT"_s, u"c.csv"_s});
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.contains("\n0 contacts imported\n32 skipped as duplicates\n"));
    EXPECT_TRUE(again.out.contains("\nLine 2 (duplicate): ")) << again.out.toStdString();
    // A file with rows, none of which names anyone, imports nothing and fails, after its summary.
    folder.write(u"nameless.csv"_s, "First Name,Last Name,Street,City\r\n,,1 Elm St,Reno\r\n");
    const ProgramRun nameless = run({u"import"_s, u"nameless.DAT"_s, u"nameless.csv"_s});
    EXPECT_EQ(nameless.status, 1);
    EXPECT_TRUE(nameless.out.contains("1 row read\n0 contacts imported\n")) << nameless.out.toStdString();
    EXPECT_EQ(nameless.err, "postwick import: nameless.csv: no row could be read as a contact\n");
    // A failed import into a new name leaves no file; into an existing one, the file as it was.
    EXPECT_FALSE(QFile::exists(folder.file(u"nameless.DAT"_s)));
    EXPECT_EQ(run({u"import"_s, u"new.DAT"_s, u"nameless.csv"_s}).status, 1);
    EXPECT_TRUE(QFile::exists(folder.file(u"new.DAT"_s)));
    ASSERT_EQ(run({u"export"_s, u"new.DAT"_s, u"--csv"_s, u"-o"_s, u"new.csv"_s}).status, 0);
    EXPECT_EQ(folder.read(u"new.csv"_s), folder.read(u"c.csv"_s));

    // vCards: the same bytes as the export window writes, and every card reads back as a contact.
    ASSERT_TRUE(writeExportFile(contacts, ExportFormat::VCard, folder.file(u"window.vcf"_s)).error == std::nullopt);
    const ProgramRun cards = run({u"export"_s, u"c.DAT"_s, u"--vcard"_s, u"-o"_s, u"c.vcf"_s});
    ASSERT_EQ(cards.status, 0) << cards.err.toStdString();
    EXPECT_EQ(folder.read(u"c.vcf"_s), folder.read(u"window.vcf"_s));
    EXPECT_TRUE(run({u"import"_s, u"cards.DAT"_s, u"c.vcf"_s}).out.startsWith("32 cards read\n32 contacts imported\n"));

    const ProgramRun list = run({u"list"_s, u"c.DAT"_s, u"--search"_s, u"city=Sparks"_s, u"--sort"_s, u"last"_s});
    ASSERT_EQ(list.status, 0) << list.err.toStdString();
    const QList<QByteArray> lines = list.out.split('\n');
    ASSERT_EQ(lines.size(), 8 + 1);
    EXPECT_EQ(lines[0], "L68, F32\t12 Main St\tSparks\tNV\t89501\t\t");
    EXPECT_EQ(lines[7], "L96, F04\t12 Main St\tSparks\tNV\t89501\t\t");
}

TEST_F(CommandLine, UndoImportPutsTheFileBackOnlyWhileItEndsWithThatImport)
{
    writeContacts(folder.file(u"big.DAT"_s), numberedContacts(1000));
    QByteArray csv = "First Name,MI,Last Name,Street1,Street2,City,State,Zip,Country,Company,"
                     "Include Company in Address,Home Phone,Cell Phone,Work Phone,Email,Birthdate,Category,Notes\r\n";
    for (int i = 0; i < 2000; ++i)
        csv += "New" + QByteArray::number(i) + ",,Person,,,Elko,NV,,,,0,,,,,,,\r\n";
    folder.write(u"new.csv"_s, csv);
    const QByteArray before = folder.read(u"big.DAT"_s);

    ASSERT_EQ(run({u"import"_s, u"big.DAT"_s, u"new.csv"_s}).status, 0);
    ASSERT_EQ(folder.read(u"big.DAT"_s).size(), 3000 * 518);
    const ProgramRun undone = run({u"undo-import"_s, u"big.DAT"_s});
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(undone.out, "Took the 2000 contacts of the last import out of big.DAT\n");
    EXPECT_EQ(folder.read(u"big.DAT"_s), before);
    const ProgramRun again = run({u"undo-import"_s, u"big.DAT"_s});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "postwick undo-import: big.DAT: no import into it is noted, so there is nothing to undo\n");

    // Another change after the import: refused, and the file stays as it is.
    ASSERT_EQ(run({u"import"_s, u"big.DAT"_s, u"new.csv"_s}).status, 0);
    {
        ContactsFile other;
        ASSERT_TRUE(other.open(folder.file(u"big.DAT"_s)));
        ASSERT_TRUE(other.overwrite(2500, person(u"Zed"_s, u"Changed"_s)));
    }
    const QByteArray changed = folder.read(u"big.DAT"_s);
    const ProgramRun refused = run({u"undo-import"_s, u"big.DAT"_s});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "postwick undo-import: big.DAT: it has changed since its last import (2000 contacts), so "
                           "that import was not undone and nothing was changed\n");
    EXPECT_EQ(folder.read(u"big.DAT"_s), changed);
}

TEST_F(CommandLine, HouseholdLabelsInZipOrderWithTheIncompleteNamed)
{
    ContactRecord mary = person(u"Mary"_s, u"Smith"_s);
    mary.Street1 = u"12 MAIN STREET"_s;
    ContactRecord ann = person(u"Ann"_s, u"Cole"_s);
    ann.Street1 = u"3 Elm Rd"_s;
    ann.Zip = u"10001"_s;
    ContactRecord bob = person(u"Bob"_s, u"Bell"_s);
    bob.Street1.clear();
    writeContacts(folder.file(u"m.DAT"_s), {person(u"John"_s, u"Smith"_s), mary, ann, bob});

    const ProgramRun labels = run({u"labels"_s, u"m.DAT"_s, u"--households"_s, u"--presort"_s, u"zip"_s,
                                   u"--complete-only"_s, u"-o"_s, u"m.pdf"_s});
    ASSERT_EQ(labels.status, 0) << labels.err.toStdString();
    EXPECT_EQ(labels.err, "postwick: 1 contact has no complete address (a street, and a city or a ZIP code) and "
                          "gets no label:\n  Bob Bell\n");
    const PdfWords words = pdf(u"m.pdf"_s);
    EXPECT_EQ(words.pages, 1);
    EXPECT_EQ(placesOf(words, u"Ann"_s), (QList<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(placesOf(words, u"John"_s), (QList<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(placesOf(words, u"Mary"_s), (QList<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(placesOf(words, u"Bob"_s), (QList<std::pair<int, int>>{}));
}

TEST_F(CommandLine, HelpIsPrintedWithoutADisplay)
{
    for (const QString& option : {u"-h"_s, u"--help"_s}) {
        const ProgramRun help = run({option});
        EXPECT_EQ(help.status, 0) << option.toStdString();
        EXPECT_TRUE(help.out.startsWith("Usage: postwick [FILE.DAT]\n")) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("\n  labels")) << help.out.toStdString();
        EXPECT_EQ(help.err, "");
    }
}

TEST_F(CommandLine, FailuresSayWhatIsWrongOnOneLine)
{
    const QByteArray kNoDisplay = "postwick: the window needs a display, and none could be opened (is DISPLAY set?); "
                                  "the commands run without one: postwick --help";
    folder.write(u"notes.DAT"_s, "These are my notes, not contacts.\r\n");
    folder.write(u"kept.csv"_s, "an earlier export\r\n");
    const QByteArray contacts = folder.read(u"c.DAT"_s);
    QDir(folder.path()).mkdir(u"folder.DAT"_s);
    const struct {
        QStringList arguments;
        int status;
        QByteArray error;
    } cases[] = {
        {{u"labels"_s, u"missing.DAT"_s, u"-o"_s, u"x.pdf"_s}, 1,
         "postwick labels: missing.DAT: No such file or directory"},
        {{u"list"_s, u"folder.DAT"_s}, 1,
         "postwick list: folder.DAT is a folder, a device or a pipe, not a contacts file, so it was not opened."},
        {{u"export"_s, u"notes.DAT"_s, u"--csv"_s, u"-o"_s, u"x.csv"_s}, 1,
         "postwick export: notes.DAT is not a contacts file, so it was not opened. Nothing in it was changed."},
        {{u"export"_s, u"c.DAT"_s, u"--csv"_s, u"--force"_s, u"-o"_s, u"c.DAT.lock.window"_s}, 1,
         "postwick export: c.DAT.lock.window: The export file cannot be the contacts file itself or one of the files "
         "kept beside it"},
        {{u"list"_s, u"--wait"_s, u"soon"_s, u"c.DAT"_s}, 2,
         "postwick list: --wait must be a whole number from 0 to 86400, not \"soon\""},
        {{u"export"_s, u"c.DAT"_s, u"--csv"_s, u"-o"_s, u"kept.csv"_s}, 1,
         "postwick export: kept.csv already exists; add --force to replace it"},
        {{u"export"_s, u"c.DAT"_s, u"--csv"_s, u"-o"_s, u"c.DAT"_s, u"--force"_s}, 1,
         "postwick export: c.DAT: The export file cannot be the contacts file itself or one of the files kept beside "
         "it"},
        {{u"labels"_s, u"c.DAT"_s, u"--search"_s, u"town=Reno"_s, u"-o"_s, u"x.pdf"_s}, 2,
         "postwick labels: bad search \"town=Reno\": use KIND=TEXT with KIND one of first, last, city, state, zip, "
         "email, category, company"},
        {{u"labels"_s, u"c.DAT"_s, u"--search"_s, u"city=Carson"_s, u"-o"_s, u"x.pdf"_s}, 1,
         "postwick labels: Empty list, no labels to print."},
        {{u"labels"_s, u"c.DAT"_s, u"--presort"_s, u"name"_s, u"-o"_s, u"x.pdf"_s}, 2,
         "postwick labels: bad presort \"name\": use zip"},
        {{u"labels"_s, u"c.DAT"_s, u"--start"_s, u"31"_s, u"-o"_s, u"x.pdf"_s}, 2,
         "postwick labels: --start must be a whole number from 1 to 30, not \"31\""},
        {{u"labels"_s, u"c.DAT"_s, u"--stock"_s, u"Q-9999"_s, u"-o"_s, u"x.pdf"_s}, 2,
         "postwick labels: unknown label stock \"Q-9999\"; the stocks are 5160, 5161, 5162, 5163, 5164, 5167 and "
         "the installed templates' A4 and US Letter labels, by maker and part"},
        {{u"sheet"_s, u"--lines"_s, u"Ann"_s, u"--stock"_s, u"5163"_s, u"--positions"_s, u"11"_s, u"-o"_s, u"x.pdf"_s},
         2, "postwick sheet: label position 11 is out of range: a sheet has positions 1 to 10"},
        {{u"labels"_s, u"c.DAT"_s, u"--stock"_s, u"5163"_s, u"--start"_s, u"11"_s, u"-o"_s, u"x.pdf"_s}, 2,
         "postwick labels: --start must be a whole number from 1 to 10, not \"11\""},
        {{u"sheet"_s, u"--lines"_s, u"Ann"_s, u"--positions"_s, u"5-31"_s, u"-o"_s, u"x.pdf"_s}, 2,
         "postwick sheet: label position 31 is out of range: a sheet has positions 1 to 30"},
        {{u"envelope"_s, u"--size"_s, u"7"_s, u"--lines"_s, u"Ann"_s, u"-o"_s, u"x.pdf"_s}, 2,
         "postwick envelope: --size must be a whole number from 1 to 6, not \"7\""},
        {{u"list"_s, u"c.DAT"_s, u"--bogus"_s}, 2, "postwick list: unknown option --bogus"},
        {{u"labels"_s, u"c.DAT"_s}, 2, "postwick labels: give either -o FILE.pdf or --printer NAME"},
        {{u"labels"_s, u"c.DAT"_s, u"-o"_s, u"no/such/x.pdf"_s}, 1,
         "postwick labels: " + folder.file(u"no/such/x.pdf"_s).toUtf8() + ": No such file or directory"},
        {{u"import"_s, u"c.DAT"_s, u"people.vcf"_s}, 1, "postwick import: people.vcf: No such file or directory"},
        {{u"lables"_s, u"c.DAT"_s}, 2,
         "postwick: unknown command \"lables\"; did you mean \"labels\"? (postwick --help lists them)"},
        {{u"exprot"_s}, 2, "postwick: unknown command \"exprot\"; did you mean \"export\"? (postwick --help lists them)"},
        // A contacts file, new or not, starts the window, which needs a display these runs do not have.
        {{u"c.DAT"_s}, 1, kNoDisplay},
        {{u"Family.dat"_s}, 1, kNoDisplay},
        {{}, 1, kNoDisplay},
    };
    for (const auto& c : cases) {
        const ProgramRun failed = run(c.arguments);
        EXPECT_EQ(failed.status, c.status) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(failed.err, c.error + '\n');
        EXPECT_EQ(failed.out, "");
    }
    EXPECT_FALSE(QFile::exists(folder.file(u"x.pdf"_s)));
    EXPECT_FALSE(QFile::exists(folder.file(u"x.csv"_s)));
    EXPECT_EQ(folder.read(u"notes.DAT"_s), "These are my notes, not contacts.\r\n");
    EXPECT_EQ(folder.read(u"kept.csv"_s), "an earlier export\r\n");
    EXPECT_EQ(folder.read(u"c.DAT"_s), contacts);
}

}  // namespace
}  // namespace pw::test
