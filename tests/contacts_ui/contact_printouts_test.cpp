#include "contacts_ui/contact_printouts.h"

#include "contacts_ui/find_list.h"
#include "support/qt_printers.h"
#include "support/scripted_platform.h"
#include "support/test_folder.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;
using test::PlacedText;
using test::RecordedJob;

ContactRecord named(const QString& first, const QString& middle, const QString& last)
{
    ContactRecord r;
    r.FirstName = first;
    r.MiddleInitial = middle;
    r.LastName = last;
    return r;
}

QStringList listed(const FindList& list)
{
    QStringList out;
    for (int i = 0; i < list.size(); ++i)
        out << list.text(i).toString() + u'#' + QString::number(list.record(i));
    return out;
}

TEST(FindList, ListsEveryRecordByNameSortedWithoutRegardToCaseAndCarriesItsNumber)
{
    test::TestFolder folder;
    ContactsFile file;
    ASSERT_TRUE(file.open(folder.file(u"c.DAT"_s)));
    for (const ContactRecord& r : {named(u"bob"_s, u"Q"_s, u"Ray"_s), named(u"Ann"_s, {}, u"Lee"_s),
                                   named(u"Bob"_s, u"Q"_s, u"Ray"_s), named(u"\u00c9mile"_s, {}, u"Zola"_s),
                                   named(u"ann"_s, u"B"_s, u"Cole"_s)})
        ASSERT_TRUE(file.append(r));
    auto list = readFindList(file);
    ASSERT_TRUE(list);
    // Equal texts but for case keep their record order; a missing initial leaves two spaces.
    EXPECT_EQ(listed(*list), (QStringList{u"Ann  Lee#2"_s, u"ann B Cole#5"_s, u"bob Q Ray#1"_s, u"Bob Q Ray#3"_s,
                                          u"\u00c9mile  Zola#4"_s}));
}

TEST(FindList, TypingANameFindsTheFirstEntryThatStartsWithItFromTheCurrentOneOn)
{
    FindList list;
    for (const auto& [text, record] : {std::pair{u"Cy  Fox"_s, 4}, {u"bob Q Ray"_s, 1}, {u"Ann  Lee"_s, 2},
                                       {u"Bob Z Ray"_s, 3}})
        list.append(text, record);
    list.sort();
    FindListModel model;
    model.setList(std::move(list));
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.index(1).data(Qt::UserRole).toInt(), 1);
    const auto found = [&](int from, const QString& typed, Qt::MatchFlags flags = Qt::MatchStartsWith | Qt::MatchWrap) {
        const QModelIndexList hits = model.match(model.index(from), Qt::DisplayRole, typed, 1, flags);
        return hits.isEmpty() ? -1 : hits[0].row();
    };
    EXPECT_EQ(found(0, u"BO"_s), 1);
    EXPECT_EQ(found(2, u"b"_s), 2);
    EXPECT_EQ(found(3, u"b"_s), 1);  // wraps round
    EXPECT_EQ(found(3, u"b"_s, Qt::MatchStartsWith), -1);
    EXPECT_EQ(found(0, u"bob z"_s), 2);
    EXPECT_EQ(found(0, u"Dee"_s), -1);
}

ContactBoxTexts boxes(std::initializer_list<std::pair<ContactBox, QString>> values)
{
    ContactBoxTexts b;
    for (const auto& [box, text] : values)
        b[box] = text;
    return b;
}

TEST(AddressLabelLines, NameCompanyStreetsAndCityFillTheLinesFromTheTop)
{
    using B = ContactBox;
    const ContactBoxTexts plain = boxes({{B::FName, u" Ann"_s}, {B::LName, u"Lee "_s}, {B::FStreet, u"12 Main St"_s},
                                         {B::City, u"Reno"_s}, {B::State, u"NV"_s}, {B::Zip, u"89501"_s},
                                         {B::Company, u"Acme"_s}, {B::Country, u"USA"_s}});
    EXPECT_EQ(addressLabelLines(plain, false),
              (LabelLines{u"Ann Lee"_s, u"12 Main St"_s, u"Reno, NV  89501"_s, {}, {}}));

    ContactBoxTexts full = plain;
    full[B::MiddleInit] = u"Q"_s;
    full[B::SStreet] = u"Apt 4"_s;
    EXPECT_EQ(addressLabelLines(full, true),
              (LabelLines{u"Ann Q Lee"_s, u"Acme"_s, u"12 Main St"_s, u"Apt 4"_s, u"Reno, NV  89501"_s}));

    full[B::City].clear();
    EXPECT_EQ(addressLabelLines(full, false), (LabelLines{u"Ann Q Lee"_s, u"12 Main St"_s, u"Apt 4"_s, {}, {}}));

    EXPECT_EQ(addressLabelLines(boxes({{B::FName, u"Ann"_s}, {B::LName, u"Lee"_s}}), true),
              (LabelLines{u"Ann Lee"_s, {}, {}, {}, {}}));
}

class DetailsSheetTest : public ::testing::Test {
protected:
    test::ScriptedPlatform platform{QString()};
    ContactBoxTexts contact = boxes({
        {ContactBox::FName, u"Ann"_s}, {ContactBox::LName, u"Lee"_s}, {ContactBox::FStreet, u"12 Main St"_s},
        {ContactBox::SStreet, u"Apt 4"_s}, {ContactBox::City, u"Reno"_s}, {ContactBox::State, u"NV"_s},
        {ContactBox::Zip, u"89501"_s}, {ContactBox::Company, u"Acme"_s}, {ContactBox::Country, u"USA"_s},
        {ContactBox::Birthdate, u"04/10/1980"_s}, {ContactBox::HPhone, u"555-0100"_s},
        {ContactBox::CPhone, u"555-0101"_s}, {ContactBox::WPhone, u"555-0102"_s},
        {ContactBox::Email, u"ann@example.com"_s}, {ContactBox::Category, u"Golf"_s},
        {ContactBox::Notes, QString(61, u'a') + QString(39, u'b')},
    });

    PrintOutcome print(std::optional<PrintChoice> choice, std::optional<QString> selection = std::nullopt)
    {
        platform.answerPrintDialog(choice);
        return printContactDetails(platform, contact, selection);
    }
};

TEST_F(DetailsSheetTest, EveryLineOfTheSheetLandsAtItsRowAndColumnInCourierNew)
{
    ASSERT_EQ(print(PrintChoice{1}), PrintOutcome::Printed);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    const RecordedJob& job = platform.printerSurface.jobs[0];
    EXPECT_EQ(job.orientations, QList<PageOrientation>{PageOrientation::Portrait});
    EXPECT_EQ(job.pages, 1);
    const QString today = QLocale::system().toString(QDate(2026, 12, 7), QLocale::ShortFormat);
    const QString rule(70, u'_');
    struct Expected {
        int row, column;
        QString text;
        double size;
    };
    const QList<Expected> expected = {
        {4, 22, u"Postwick"_s, 16}, {6, 27, u"Contact Details"_s, 14}, {10, 35, u"Date of report:"_s, 10},
        {10, 51, today, 10}, {12, 8, rule, 12}, {15, 8, u"Ann  Lee"_s, 12}, {17, 8, u"12 Main St  Apt 4"_s, 12},
        {19, 8, u"Reno, NV  89501"_s, 12}, {22, 8, u"Company Name:"_s, 12}, {22, 24, u"Acme"_s, 12},
        {25, 8, u"Country:"_s, 12}, {25, 18, u"USA"_s, 12}, {25, 40, u"Birthdate:"_s, 12},
        {25, 52, u"04/10/1980"_s, 12}, {28, 8, u"Home Phone:"_s, 12}, {28, 21, u"555-0100"_s, 12},
        {28, 37, u"Cell:"_s, 12}, {28, 44, u"555-0101"_s, 12}, {28, 60, u"Work:"_s, 12},
        {28, 67, u"555-0102"_s, 12}, {31, 8, u"Email Address:"_s, 12}, {31, 24, u"ann@example.com"_s, 12},
        {34, 8, u"Category:"_s, 12}, {34, 19, u"Golf"_s, 12}, {38, 8, u"Notes:"_s, 12},
        {38, 16, QString(61, u'a'), 12}, {39, 15, QString(39, u'b'), 12}, {43, 8, rule, 12},
    };
    ASSERT_EQ(job.texts.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const PlacedText& t = job.texts[i];
        SCOPED_TRACE(expected[i].text.toStdString());
        EXPECT_EQ(t.row, expected[i].row);
        EXPECT_EQ(t.column, expected[i].column);
        EXPECT_EQ(t.text, expected[i].text);
        EXPECT_EQ(t.size, expected[i].size);
        EXPECT_EQ(t.font, u"Courier New");
        EXPECT_FALSE(t.bold);
    }
}

TEST_F(DetailsSheetTest, CopiesGoIntoOneJobAndLongTextsSplitOverTheirLines)
{
    contact[ContactBox::Category] = QString(61, u'c') + QString(30, u'd');
    contact[ContactBox::Notes] = QString(61, u'a') + QString(53, u'b') + QString(50, u'e');
    ASSERT_EQ(print(PrintChoice{3}), PrintOutcome::Printed);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    const RecordedJob& job = platform.printerSurface.jobs[0];
    EXPECT_EQ(job.pages, 3);
    QStringList page3;
    for (const PlacedText& t : job.texts) {
        if (t.page == 3 && t.row >= 34 && t.row <= 40)
            page3 << QString::number(t.row) + u':' + QString::number(t.text.size());
    }
    // Category 61 + 19 (cut at 80), notes 61 + 53 + 46 (cut at 160).
    EXPECT_EQ(page3, (QStringList{u"34:9"_s, u"34:61"_s, u"35:19"_s, u"38:6"_s, u"38:61"_s, u"39:53"_s, u"40:46"_s}));
    EXPECT_EQ(platform.printDialogs, (QList<PrintDialogRequest>{PrintDialogRequest{false, true, 0, 0}}));
}

TEST_F(DetailsSheetTest, CancelPrintsNothingAndASelectionPrintsOnlyTheSelectedText)
{
    EXPECT_EQ(print(std::nullopt), PrintOutcome::Cancelled);
    EXPECT_TRUE(platform.printerSurface.jobs.isEmpty());

    // The focus is not in a text box: nothing at all.
    EXPECT_EQ(print(PrintChoice{2, true}), PrintOutcome::Printed);
    EXPECT_TRUE(platform.printerSurface.jobs.isEmpty());

    EXPECT_EQ(print(PrintChoice{2, true}, u"Main St"_s), PrintOutcome::Printed);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    const RecordedJob& job = platform.printerSurface.jobs[0];
    ASSERT_EQ(job.texts.size(), 1);
    EXPECT_EQ(job.texts[0].row, 2);
    EXPECT_EQ(job.texts[0].text, u"Main St");
    EXPECT_EQ(job.texts[0].size, 12);
    EXPECT_EQ(job.pages, 1);
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(DetailsSheetTest, APrinterFailureAbandonsTheJobUnderItsOwnTitle)
{
    platform.printerSurface.failure = printerFailure(u"offline"_s);
    EXPECT_EQ(print(PrintChoice{3}), PrintOutcome::Failed);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    EXPECT_TRUE(platform.printerSurface.jobs[0].abandoned);
    EXPECT_EQ(platform.messages, QList<Message>{printerProblem(u"Printer error."_s)});
}

}  // namespace
}  // namespace pw
