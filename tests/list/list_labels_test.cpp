#include "list/list_labels.h"

#include "data/contacts_file.h"
#include "list/list_contacts.h"
#include "list/mailing_order.h"
#include "platform/error_prompt.h"
#include "support/qt_printers.h"
#include "support/scripted_platform.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

namespace pw {
using namespace Qt::StringLiterals;
namespace {

using test::PlacedText;
using test::RecordingSurface;

// Every printed line as "size|column:text ...", blank lines as "size|"; pages as "page".
class TranscriptSurface final : public PrintSurface, private GridTarget {
public:
    void setFontName(const QString& family) override { font = family; }
    void setFontSize(double points) override { size = points; }
    void setBold(bool on) override { bold = on; }
    void setItalic(bool on) override { italic = on; }
    void setOrientation(PageOrientation) override {}
    void setPaperSize(PaperSize) override {}
    QString deviceName() const override { return {}; }
    void print(const QList<PrintItem>& items, bool endLine) override
    {
        parts_.clear();
        cursor_.print(items, endLine, {font, size, bold, italic}, *this);
        lines << QString::number(size) + u'|' + parts_.join(u' ');
    }
    double paperHeightInches() const override { return 11; }
    void setFrame(const QRectF& inches) override { cursor_.setFrame(inches); }
    const TextMeasure& measure() const override { return test::columnMeasure(); }
    void homeAt(double inchesDown) override
    {
        cursor_.home(inchesDown);
        lines << QStringLiteral("home %1").arg(inchesDown, 0, 'f', 3);
    }
    void newPage() override
    {
        cursor_.newPage();
        lines << QStringLiteral("page");
    }
    Status endJob() override { return {}; }
    void abandonJob() override {}

    QString font;
    double size = 0;
    bool bold = false;
    bool italic = false;
    QStringList lines;

private:
    double paperHeight() const override
    {
        return test::paperHeightPoints(PaperSize::Letter, PageOrientation::Portrait);
    }
    bool feedPage() override { return true; }
    void place(const QString& text, const GridPlace& at) override
    {
        parts_ << QString::number(at.column) + u':' + text;
    }

    GridCursor cursor_{test::columnMeasure()};
    QStringList parts_;
};

LabelAddress address(const QString& tag, bool company)
{
    return {u"N"_s + tag, company ? u"C"_s + tag : QString(), u"S"_s + tag, u"Y"_s + tag};
}

// A row of three labels with company lines where `companies` says "y".
std::vector<LabelAddress> row(const char* companies)
{
    std::vector<LabelAddress> r;
    for (int i = 0; i < 3; ++i)
        r.push_back(address(QString(QChar(u'L' + i)), companies[i] == 'y'));
    return r;
}

TEST(ListLabels, EachLabelPrintsItsOwnLinesFromItsOwnPlace)
{
    // A full row puts the company under the name; the last one or two labels of a list put it
    // above. Every label starts at its own row of the sheet, one inch below the one before, after
    // the layout's three Verdana 9 rows.
    TranscriptSurface surface;
    printListLabelsJob(surface,
                       {address("L", true), address("M", false), address("N", true), address("A", true),
                        address("B", false)},
                       {});
    const QStringList want = {
        "home 0.456", "9|2:NL",  "9|2:CL",  "9|2:SL",  "9|2:YL",  "home 0.456", "9|46:NM", "9|46:SM",
        "9|46:YM",    "home 0.456", "9|89:NN", "9|89:CN", "9|89:SN", "9|89:YN", "home 1.456", "9|2:CA",
        "9|2:NA",     "9|2:SA",  "9|2:YA",  "home 1.456", "9|46:NB", "9|46:SB", "9|46:YB",
    };
    EXPECT_EQ(surface.lines, want);
    EXPECT_EQ(surface.font, u"Verdana");
}

TEST(ListLabels, ThirtyFillOneSheetAndTheThirtyFirstStartsTheNext)
{
    const auto labels = [](int count) {
        std::vector<LabelAddress> all;
        for (int i = 1; i <= count; ++i)
            all.push_back(address(QString::number(i), i % 4 == 0));
        return all;
    };
    RecordingSurface surface;
    printListLabelsJob(surface, labels(30), {});
    ASSERT_TRUE(surface.endJob());
    // No sheet of label stock is fed after the last label.
    EXPECT_EQ(surface.jobs[0].pages, 1);
    EXPECT_EQ(surface.jobs[0].texts.last().text, u"Y30");

    printListLabelsJob(surface, labels(31), {});
    ASSERT_TRUE(surface.endJob());
    printListLabelsJob(surface, labels(60), {});
    ASSERT_TRUE(surface.endJob());
    const test::RecordedJob& job = surface.jobs[1];
    EXPECT_EQ(job.pages, 2);
    const PlacedText& first = *std::find_if(job.texts.begin(), job.texts.end(),
                                            [](const PlacedText& t) { return t.text == u"N31"; });
    EXPECT_EQ(first.page, 2);
    EXPECT_EQ(first.column, 2);
    EXPECT_EQ(surface.jobs[2].pages, 2);
}

TEST(ListLabels, ColumnsFollowTheBoldBoxThePrinterModelAndTheCorrection)
{
    const auto columns = [](const char* device, bool bold, int left) {
        const auto c = listLabelColumns(QString::fromLatin1(device), {bold, false, {left, 0}});
        return std::vector<int>(c.begin(), c.end());
    };
    EXPECT_EQ(columns("Office Laser", false, 0), (std::vector{2, 46, 89}));
    EXPECT_EQ(columns("Office Laser", true, 0), (std::vector{2, 41, 78}));
    EXPECT_EQ(columns("HP Officejet Pro", false, 0), (std::vector{4, 48, 91}));
    EXPECT_EQ(columns("HP ENVY 5000", true, 0), (std::vector{4, 43, 80}));
    EXPECT_EQ(columns("Photosmart C4280", false, 1), (std::vector{5, 49, 92}));
    // The first special model moves on-the-fly labels but not these; nor does a name in capitals.
    EXPECT_EQ(columns("HP DeskJet 640C/642C/648C", false, 0), (std::vector{2, 46, 89}));
    EXPECT_EQ(columns("HP OFFICEJET", false, 0), (std::vector{2, 46, 89}));

    // A left correction of -2 puts the left labels at column 0, which prints at column 1; a top
    // correction moves the sheet by whole rows, up to the grid's top.
    for (const auto& [top, firstRow] : {std::pair{0, "0.456"}, {2, "0.760"}, {-2, "0.152"}, {3, "0.911"}, {-5, "0.000"}}) {
        TranscriptSurface surface;
        printListLabelsJob(surface, {address("A", false)}, {true, true, {-2, top}});
        EXPECT_EQ(surface.lines.first(2), (QStringList{u"home "_s + firstRow, "9|1:NA"})) << top;
        EXPECT_TRUE(surface.bold && surface.italic);
    }
}

TEST(ListLabels, TheTwoAcrossStocksCentreEachLabelsLinesOnItFromAColumnInsideIt)
{
    const LabelStock& stock = *labelStockNamed(u"5164");
    // The right labels start 4 11/32 in from the paper's edge, their lines 0.16 in inside them;
    // the special models move them as they move the 30-label sheet's.
    EXPECT_EQ(listLabelColumns(u"HP ENVY 5000", {true, false, {}}, stock), (QList{4, 63}));

    // Three lines and five: each block's middle is its label's, 2 1/6 in from the paper's top; a
    // top correction moves it by whole rows.
    const double row = 1.21533 * 9 / 72;
    LabelAddress five = address("B", true);
    five.country = u"France"_s;
    for (const int top : {0, 1}) {
        RecordingSurface surface;
        printListLabelsJob(surface, {address("A", false), five}, {false, false, {0, top}}, 1, stock);
        ASSERT_TRUE(surface.endJob());
        const QList<PlacedText>& texts = surface.jobs[0].texts;
        ASSERT_EQ(texts.size(), 8);
        for (const auto& [from, to] : {std::pair{0, 2}, {3, 7}}) {
            const double middle = 0.25 + (texts[from].inchesDown + texts[to].inchesDown + row) / 2;
            EXPECT_NEAR(middle, 0.5 + 5.0 / 3 + top * row, 1e-9) << texts[from].text.toStdString();
        }
        EXPECT_EQ(texts[3].column, 68);
    }
}

TEST(ListLabels, TheActionReadsEveryLabelFromItsRecord)
{
    test::TestFolder folder;
    const QString contactsPath = folder.file(QStringLiteral("c.DAT"));
    ContactRecord anne = test::withCompany(test::person(QStringLiteral("Anne"), QStringLiteral("Lee")),
                                           QStringLiteral("Acme"));
    anne.MiddleInitial = QStringLiteral("Q");
    anne.Street2 = QStringLiteral("Apt 2");
    ContactRecord bo = test::person(QStringLiteral("Bo"), QStringLiteral("Ray"), QString());
    bo.Company = QStringLiteral("Hidden Inc");
    test::writeContacts(contactsPath, {anne, bo});
    EXPECT_EQ(labelAddress(anne), (LabelAddress{"Anne Q Lee", "Acme", "12 Main St Apt 2", "Reno, NV  89501"}));
    EXPECT_EQ(labelAddress(bo), (LabelAddress{"Bo Ray", "", "12 Main St", "NV  89501"}));

    ContactsFile contacts;
    ASSERT_TRUE(contacts.open(contactsPath));
    folder.write(QStringLiteral("PWKPARAM.TXT"), "BULKLIST  1   -1 \r\n");
    const QString parameters = folder.file(QStringLiteral("PWKPARAM.TXT"));
    test::ScriptedPlatform platform(folder.path());
    const auto labelsOf = [&](const std::vector<int>& listed) {
        return readMailing(platform, contacts, listed, {}, contacts.follows()).value_or(Mailing{}).labels;
    };

    EXPECT_EQ(printListLabels(platform, {}, parameters, false, false), PrintOutcome::Cancelled);
    EXPECT_EQ(platform.messages, QList{emptyListMessage()});
    EXPECT_EQ(emptyListMessage(), (Message{"Empty list, no labels to print.", "No contacts found"}));
    EXPECT_TRUE(platform.printDialogs.isEmpty());

    platform.answerPrintDialog(PrintChoice{2});
    EXPECT_EQ(printListLabels(platform, labelsOf({2, 1}), parameters, false, false), PrintOutcome::Printed);
    EXPECT_EQ(platform.printDialogs, (QList{PrintDialogRequest{.printToFile = true, .labelSheet = true}}));
    ASSERT_EQ(platform.printerSurface.jobs.size(), 2);
    const QList<PlacedText>& texts = platform.printerSurface.jobs[1].texts;
    EXPECT_EQ(platform.printerSurface.jobs[0].orientations, QList{PageOrientation::Portrait});
    ASSERT_EQ(texts.size(), 7);
    // The correction moves every label one column right and the sheet one row up.
    EXPECT_EQ(texts[0].text, u"Bo Ray");
    EXPECT_NEAR(texts[0].inchesDown, 2 * 1.21533 * 9 / 72, 1e-9);
    EXPECT_EQ(texts[0].column, 3);
    EXPECT_EQ(texts[3].text, u"Acme");
    EXPECT_EQ(texts[3].column, 47);

    // A pasted line has no record and gets no label.
    platform.answerPrintDialog(PrintChoice{1});
    EXPECT_EQ(printListLabels(platform, labelsOf({0, 1, 0}), parameters, false, false), PrintOutcome::Printed);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 3);
    EXPECT_EQ(platform.printerSurface.jobs[2].texts[0].text, u"Acme");
    EXPECT_EQ(platform.printerSurface.jobs[2].texts[0].column, 3);
    EXPECT_EQ(platform.messages.size(), 1);
    // On a partly used sheet the labels before the first free one stay blank: position 5 is the
    // middle of the second row.
    platform.answerPrintDialog(PrintChoice{1});
    EXPECT_EQ(printListLabels(platform, labelsOf({1}), parameters, false, false, 5), PrintOutcome::Printed);
    const QList<PlacedText>& partly = platform.printerSurface.jobs.last().texts;
    ASSERT_EQ(partly.size(), 4);
    EXPECT_EQ(partly[0].text, u"Acme");
    EXPECT_EQ(partly[0].column, 47);
    EXPECT_GT(partly[0].inchesDown, 1.0);
}

TEST(ListLabels, AMailingOfRecordsThatAreNoLongerTheListedOnesSaysWhyAndGivesNoLabels)
{
    test::TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    test::writeContacts(path, {test::person(u"Anne"_s, u"Lee"_s), test::person(u"Bo"_s, u"Ray"_s)});
    ContactsFile contacts;
    ASSERT_TRUE(contacts.open(path));
    test::ScriptedPlatform platform(folder.path());
    const int listedAt = contacts.follows();

    // A sync client puts a file of other people in its place: their records 1 and 2 are not the
    // listed Anne and Bo.
    const QString other = folder.file(QStringLiteral("other.DAT"));
    test::writeContacts(other, {test::person(u"Cy"_s, u"Fox"_s), test::person(u"Di"_s, u"Gray"_s)});
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
    EXPECT_EQ(readMailing(platform, contacts, {2, 1}, {}, listedAt), std::unexpected(MessageResult::Ok));
    EXPECT_EQ(platform.messages, QList{listReplacedMessage(path)});
    EXPECT_EQ(platform.messages[0].text,
              path + u" was replaced by another program (a sync client, perhaps) after the list was made, so its "
                     u"record numbers may now belong to other contacts.  Nothing was printed: press Get report "
                     u"again to list the contacts it holds now."_s);
    EXPECT_EQ(platform.messages[0].title, u"Contacts file replaced");
    // Listed again, they are read.
    const auto mailing = readMailing(platform, contacts, {2, 1}, {}, contacts.follows());
    ASSERT_TRUE(mailing);
    ASSERT_EQ(mailing->labels.size(), 2u);
    EXPECT_EQ(mailing->labels[0].name, u"Di Gray");

    // A record that cannot be read is the file's error, with its number, in the standard prompt.
    platform.answerMessage(MessageResult::Cancel);
    ASSERT_TRUE(QFile::resize(path, ContactRecord::kSize));
    EXPECT_EQ(readMailing(platform, contacts, {1, 2}, {}, contacts.follows()),
              std::unexpected(MessageResult::Cancel));
    EXPECT_EQ(platform.messages.last().text,
              u"An error has occurred. Error number 63 -- Bad record number.  Try again, or notify author.");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_FALSE(readMailing(platform, contacts, {1}, {}, contacts.follows()));
    EXPECT_EQ(platform.messages.last(), errorPrompt(FileError::fromErrno(EISDIR)));
    EXPECT_EQ(platform.messages.size(), 3);
    EXPECT_TRUE(platform.printerSurface.jobs.isEmpty());
}

}  // namespace
}  // namespace pw
