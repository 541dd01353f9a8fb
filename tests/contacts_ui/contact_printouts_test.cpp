#include "contacts_ui/contact_printouts.h"

#include "contacts_ui/find_list.h"
#include "printing/mailing_address.h"
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
    for (const QStringList& name : {QStringList{u"bob"_s, u"Q"_s, u"Ray"_s}, {u"Ann"_s, {}, u"Lee"_s},
                                    {u"Bob"_s, u"Q"_s, u"Ray"_s}, {u"\u00c9mile"_s, {}, u"Zola"_s},
                                    {u"ann"_s, u"B"_s, u"Cole"_s}, {u"Eve"_s, {}, u"Ray"_s}})
        ASSERT_TRUE(file.append({.FirstName = name[0], .MiddleInitial = name[1], .LastName = name[2]}));
    auto list = readFindList(file);
    ASSERT_TRUE(list);
    // Equal texts but for case keep their record order; a missing initial leaves two spaces; an
    // accented letter sorts as its base letter, and typing the base letter reaches it.
    EXPECT_EQ(listed(*list), (QStringList{u"Ann  Lee#2"_s, u"ann B Cole#5"_s, u"bob Q Ray#1"_s, u"Bob Q Ray#3"_s,
                                          u"\u00c9mile  Zola#4"_s, u"Eve  Ray#6"_s}));
    EXPECT_EQ(list->findPrefix(u"E", 0, true), 4);
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

TEST(AddressLabelLines, NameCompanyStreetsCityAndCountryAbroadFillTheLinesFromTheTop)
{
    using B = ContactBox;
    const QString home = u"United States"_s;
    const ContactBoxTexts plain = boxes({{B::FName, u" Ann"_s}, {B::LName, u"Lee "_s}, {B::FStreet, u"12 Main St"_s},
                                         {B::City, u"Reno"_s}, {B::State, u"NV"_s}, {B::Zip, u"89501"_s},
                                         {B::Company, u"Acme"_s}, {B::Country, u"USA"_s}});
    EXPECT_EQ(addressLabelLines(plain, false, home),
              (LabelLines{u"Ann Lee"_s, u"12 Main St"_s, u"Reno, NV  89501"_s, {}, {}}));

    ContactBoxTexts full = plain;
    full[B::MiddleInit] = u"Q"_s;
    full[B::SStreet] = u"Apt 4"_s;
    EXPECT_EQ(addressLabelLines(full, true, home),
              (LabelLines{u"Ann Q Lee"_s, u"Acme"_s, u"12 Main St"_s, u"Apt 4"_s, u"Reno, NV  89501"_s}));
    // Abroad the country's own order, the country last; with five lines in use the streets share one.
    full[B::Country] = u"CANADA"_s;
    EXPECT_EQ(addressLabelLines(full, true, home),
              (LabelLines{u"Ann Q Lee"_s, u"Acme"_s, u"12 Main St Apt 4"_s, u"RENO NV 89501"_s, u"CANADA"_s}));
    EXPECT_EQ(addressLabelLines(full, false, home),
              (LabelLines{u"Ann Q Lee"_s, u"12 Main St"_s, u"Apt 4"_s, u"RENO NV 89501"_s, u"CANADA"_s}));
    // A Canadian's home is Canada: the country is left off, and the United States is abroad.
    EXPECT_EQ(addressLabelLines(full, false, u"canada"_s)[4], QString());
    full[B::Country] = u"U.S.A."_s;
    EXPECT_EQ(addressLabelLines(full, false, u"Canada"_s)[4], u"U.S.A."_s);

    // The postcode before the city, where the country writes it so.
    const ContactBoxTexts paris = boxes({{B::FName, u"Luc"_s}, {B::LName, u"Roy"_s}, {B::FStreet, u"4 Rue Vieille"_s},
                                         {B::City, u"Paris"_s}, {B::Zip, u"75004"_s}, {B::Country, u"FRANCE"_s}});
    EXPECT_EQ(addressLabelLines(paris, false, home),
              (LabelLines{u"Luc Roy"_s, u"4 Rue Vieille"_s, u"75004 PARIS"_s, u"FRANCE"_s, {}}));

    full[B::City].clear();
    full[B::State].clear();
    full[B::Zip].clear();
    EXPECT_EQ(addressLabelLines(full, false, home), (LabelLines{u"Ann Q Lee"_s, u"12 Main St"_s, u"Apt 4"_s, {}, {}}));

    EXPECT_EQ(addressLabelLines(boxes({{B::FName, u"Ann"_s}, {B::LName, u"Lee"_s}}), true, home),
              (LabelLines{u"Ann Lee"_s, {}, {}, {}, {}}));
}

TEST(MailingAddress, EveryUsualNameOfTheHomeCountryCountsAsHome)
{
    for (const QString& us : {u"us"_s, u"U. S."_s, u"UNITED STATES OF AMERICA"_s, u"United States of Am"_s, u" "_s})
        EXPECT_FALSE(isForeignCountry(us, u"U.S.A.")) << us.toStdString();
    EXPECT_TRUE(isForeignCountry(u"USSR"_s, u"USA"));
    EXPECT_FALSE(isForeignCountry(u"NEW ZEALAND (AOTEAR"_s, u"New Zealand (Aotearoa)"));
    EXPECT_EQ(cityLine({}, u"NV"_s, u"89501"_s), u"NV  89501");
}

class DetailsSheetTest : public ::testing::Test {
protected:
    test::ScriptedPlatform platform{QString()};
    ContactBoxTexts contact = boxes({
        {ContactBox::FName, u"Ann"_s}, {ContactBox::LName, u"Lee"_s}, {ContactBox::FStreet, u"12 Main St"_s},
        {ContactBox::SStreet, u"Apt 4"_s}, {ContactBox::City, u"Reno"_s}, {ContactBox::State, u"NV"_s},
        {ContactBox::Zip, u"89501"_s}, {ContactBox::Company, u"Acme"_s}, {ContactBox::Country, u"FRANCE"_s},
        {ContactBox::Birthdate, u"04/10/1980"_s}, {ContactBox::HPhone, u"555-0100"_s},
        {ContactBox::CPhone, u"555-0101"_s}, {ContactBox::WPhone, u"555-0102"_s},
        {ContactBox::Email, u"ann@example.com"_s}, {ContactBox::Category, QString(61, u'c') + u"dd"_s},
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
    QStringList placed;  // row:column:size:text
    for (const PlacedText& t : job.texts) {
        placed << u"%1:%2:%3:%4"_s.arg(t.row).arg(t.column).arg(t.size).arg(t.text);
        EXPECT_TRUE(t.font == u"Courier New" && !t.bold) << t.text.toStdString();
    }
    const QString today = QLocale::system().toString(QDate(2026, 12, 7), QLocale::ShortFormat);
    const QString rule(70, u'_');
    EXPECT_EQ(placed, (QStringList{
        u"4:22:16:Postwick"_s, u"6:27:14:Contact Details"_s, u"10:35:10:Date of report:"_s, u"10:51:10:"_s + today,
        u"12:8:12:"_s + rule, u"15:8:12:Ann  Lee"_s, u"17:8:12:12 Main St  Apt 4"_s, u"19:8:12:Reno, NV  89501"_s,
        u"20:8:12:FRANCE"_s, u"22:8:12:Company Name:"_s, u"22:24:12:Acme"_s, u"25:8:12:Country:"_s, u"25:18:12:FRANCE"_s,
        u"25:40:12:Birthdate:"_s, u"25:52:12:04/10/1980"_s, u"28:8:12:Home Phone:"_s, u"28:20:12:555-0100"_s,
        u"28:36:12:Cell:"_s, u"28:42:12:555-0101"_s, u"28:58:12:Work:"_s, u"28:64:12:555-0102"_s,
        u"31:8:12:Email Address:"_s, u"31:24:12:ann@example.com"_s, u"34:8:12:Category:"_s,
        u"34:19:12:"_s + QString(59, u'c'), u"35:19:12:ccdd"_s, u"38:8:12:Notes:"_s, u"38:16:12:"_s + QString(61, u'a'),
        u"39:15:12:"_s + QString(39, u'b'), u"43:8:12:"_s + rule}));
}

TEST_F(DetailsSheetTest, CopiesGoIntoOneJobASelectionPrintsAloneAndAFailureHasItsOwnTitle)
{
    EXPECT_EQ(print(std::nullopt), PrintOutcome::Cancelled);
    EXPECT_EQ(print(PrintChoice{2, true}), PrintOutcome::Printed);  // the focus is not in a text box
    EXPECT_TRUE(platform.printerSurface.jobs.isEmpty());

    ASSERT_EQ(print(PrintChoice{3}), PrintOutcome::Printed);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    EXPECT_EQ(platform.printerSurface.jobs[0].pages, 3);
    // Nothing selected: no Selection to choose; a PDF file is always on offer.
    EXPECT_EQ(platform.printDialogs.last(), (PrintDialogRequest{true, false, 0, 0}));

    EXPECT_EQ(print(PrintChoice{2, true}, u"Main St"_s), PrintOutcome::Printed);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 2);
    const RecordedJob& selection = platform.printerSurface.jobs[1];
    ASSERT_EQ(selection.texts.size(), 1);
    EXPECT_EQ(selection.texts[0].row, 2);
    EXPECT_EQ(selection.texts[0].text, u"Main St");
    EXPECT_EQ(selection.pages, 1);
    EXPECT_TRUE(platform.messages.isEmpty());

    platform.printerSurface.failure = printerFailure(u"offline"_s);
    EXPECT_EQ(print(PrintChoice{3}), PrintOutcome::Failed);
    EXPECT_TRUE(platform.printerSurface.jobs.last().abandoned);
    EXPECT_EQ(platform.messages, QList<Message>{printerProblem(u"Printer error."_s)});
}

}  // namespace
}  // namespace pw
