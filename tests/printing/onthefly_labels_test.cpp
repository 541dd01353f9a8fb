#include "printing/onthefly_labels.h"

#include "printing/print_action.h"
#include "printing/typed_job.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using test::PlacedText;
using test::RecordedJob;
using test::RecordingSurface;
using namespace Qt::StringLiterals;

// A row of Verdana 9, and where a block of `lines` rows centred on a label of row `labelRow` (from
// 0) of the sheet starts below the grid's top, which is 1/4 inch from the paper's top.
constexpr double kRow = 1.21533 * 9 / 72;
double blockTop(int labelRow, int lines)
{
    return 0.5 + labelRow - 0.25 + (1 - lines * kRow) / 2;
}

PositionRange parsed(const QString& text)
{
    PositionRange range{text, text, QStringLiteral("old"), 7};
    EXPECT_EQ(parseRange(range), RangeParse::Ok) << text.toStdString();
    return range;
}

TEST(PositionRangeParser, WorksByLength)
{
    PositionRange r = parsed(QStringLiteral("7"));
    EXPECT_EQ(r.start, u"7");
    EXPECT_EQ(r.end, u"old");
    EXPECT_EQ(r.count, 1);
    r = parsed(QStringLiteral("4-9"));
    EXPECT_EQ(r.start, u"4");
    EXPECT_EQ(r.end, u"9");
    EXPECT_EQ(r.count, 6);
    r = parsed(QStringLiteral("1-30"));
    EXPECT_EQ(r.start, u"1");
    EXPECT_EQ(r.count, 30);
    r = parsed(QStringLiteral("15-18"));
    EXPECT_EQ(r.start, u"15");
    EXPECT_EQ(r.end, u"18");
    EXPECT_EQ(r.count, 4);
    r = parsed(QString());
    EXPECT_EQ(r.start, u"");
    EXPECT_EQ(r.count, 7);
    // A start that is not a number reads 0, the count included.
    r = parsed(QStringLiteral("a-5"));
    EXPECT_EQ(r.count, 6);

    for (const char* text : {"9-4", "15-9"}) {
        PositionRange bad{QString::fromLatin1(text), {}, {}, 3};
        EXPECT_EQ(parseRange(bad), RangeParse::EndBeforeStart);
        EXPECT_EQ(bad.count, 3);
    }
    PositionRange tooLong{QStringLiteral("10-100"), {}, {}, 3};
    EXPECT_EQ(parseRange(tooLong), RangeParse::TooLong);
}

TEST(LabelPositionEntry, AsksAgainWithTheMessageOfTheFirstFailedCheck)
{
    test::ScriptedPlatform platform(QString{});
    for (const char* answer : {"123", "31", "5-31", "1-100", "9-4", "10-100", "100-20", "001-30", " 4 - 9"})
        platform.answerInput(QString::fromLatin1(answer));
    PositionRange range;
    askLabelPositions(platform, range);

    EXPECT_EQ(range.text, u"4-9");
    EXPECT_EQ(range.start, u"4");
    EXPECT_EQ(range.end, u"9");
    EXPECT_EQ(range.count, 6);

    const QString dash = QStringLiteral("Use a dash when specifying a range of labels to print.  Examples: 1-30, 5-8, "
                                        "15-22.  Each number represents a label position on label sheet.");
    const QString exceed = QStringLiteral("Label position cannot exceed 30");
    const QString noMore =
        QStringLiteral("No more than 30 labels may be printed.  To print an entire sheet, enter 1-30.");
    const QString order = QStringLiteral("Label starting position cannot exceed ending position.");
    const QList<std::pair<QString, QString>> expected = {
        {dash, "Include dash for range of labels"}, {exceed, "Maximum is 30"}, {exceed, "Maximum is 30"},
        {noMore, "Maximum is 30"},                  {order, "Try again"},      {exceed, "Maximum is 30"},
        {exceed, "Maximum is 30"},                  {noMore, "Maximum is 30"},
    };
    ASSERT_EQ(platform.messages.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(platform.messages[i].text, expected[i].first) << i;
        EXPECT_EQ(platform.messages[i].title, expected[i].second) << i;
        EXPECT_EQ(platform.messages[i].icon, MessageIcon::Information);
        EXPECT_TRUE(platform.messages[i].beep);
    }
    ASSERT_EQ(platform.inputs.size(), 9);
    EXPECT_EQ(platform.inputs[0].title, u"Label position reading L to R");
    EXPECT_EQ(platform.inputs[0].defaultText, u"1");
    EXPECT_TRUE(platform.inputs[0].prompt.startsWith(u"Enter the label position [a number between 1 and 30] on which "
                                                      u"to print.  Example: label position 5 would be the middle"));
}

TEST(LabelPositionEntry, CleaningRemovesBlanksAndFullStopsAndCancelGivesAnEmptyRange)
{
    test::ScriptedPlatform platform(QString{});
    platform.answerInput(QStringLiteral("2.5"));
    PositionRange range;
    askLabelPositions(platform, range);
    EXPECT_EQ(range.start, u"25");
    EXPECT_EQ(range.count, 1);

    askLabelPositions(platform, range);  // no answer: cancelled
    EXPECT_EQ(range.text, u"");
    EXPECT_EQ(range.start, u"");
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(OnTheFlyForm, ChecksTextMediaEnvelopeSizeAndAlignmentInThatOrder)
{
    const QStringList empty(5);
    const QStringList blank = {QStringLiteral(" "), {}, {}, {}, {}};
    const auto problem = [](const QStringList& lines, Media media, int size, Alignment alignment) {
        const std::optional<Message> m = onTheFlyFormProblem(lines, media, size, alignment);
        EXPECT_TRUE(!m || (m->icon == MessageIcon::Warning && m->beep));
        return m ? m->text + u'|' + m->title : QString();
    };
    EXPECT_EQ(problem(empty, Media::Labels, 1, Alignment::Left), u"No information entered|Missing Data");
    EXPECT_EQ(problem(blank, Media::None, 0, Alignment::None), u"Select Label stock or Envelope|Media Selection");
    EXPECT_EQ(problem(blank, Media::Envelope, 0, Alignment::None), u"Select Envelope size|Envelope Size");
    EXPECT_EQ(problem(blank, Media::Labels, 0, Alignment::None), u"Select Left-Justified or Centered|Text Alignment");
    EXPECT_EQ(problem(blank, Media::Labels, 0, Alignment::Centred), u"");
}

class LabelJobTest : public ::testing::Test {
protected:
    RecordingSurface surface;
    OnTheFlyLabels labels;

    void SetUp() override
    {
        labels.lines = {QStringLiteral("Ann Example"), QStringLiteral("12 Long Road"), QStringLiteral("Springfield"),
                        {}, {}};
        labels.start = 1;
        labels.count = 1;
    }

    RecordedJob print()
    {
        printOnTheFlyLabels(surface, labels);
        EXPECT_TRUE(surface.endJob());
        return surface.jobs.isEmpty() ? RecordedJob{} : surface.jobs.takeLast();
    }

    // The first line of every label, in print order.
    static QList<PlacedText> firstLines(const RecordedJob& job)
    {
        QList<PlacedText> out;
        for (const PlacedText& t : job.texts) {
            if (t.text == u"Ann Example")
                out.append(t);
        }
        return out;
    }
};

TEST_F(LabelJobTest, OnePositionPrintsItsLinesAtTheTableColumnCentredOnItsLabel)
{
    labels.start = 5;
    RecordedJob job = print();
    ASSERT_EQ(job.texts.size(), 3);
    // Position 5 is on the second row of labels, 1 1/2 inch from the paper's top.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(job.texts[i].column, 45);
        EXPECT_NEAR(job.texts[i].inchesDown, blockTop(1, 3) + i * kRow, 1e-9);
        EXPECT_EQ(job.texts[i].font, u"Verdana");
        EXPECT_EQ(job.texts[i].size, 9);
        EXPECT_FALSE(job.texts[i].bold);
    }
    EXPECT_EQ(job.orientations, QList<PageOrientation>{PageOrientation::Portrait});
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Letter});

    labels.bold = true;
    labels.italic = true;
    job = print();
    EXPECT_EQ(job.texts[0].column, 41);
    EXPECT_TRUE(job.texts[0].bold);
    EXPECT_TRUE(job.texts[0].italic);
}

TEST_F(LabelJobTest, AWholeSheetPrintsThirtyLabelsOnOnePageEachBlockCentredOnItsLabel)
{
    labels.count = 30;
    for (const int lines : {3, 5}) {
        labels.lines = {u"Ann Example"_s, u"12 Long Road"_s, u"Springfield"_s, {}, {}};
        if (lines == 5)
            labels.lines = {u"Ann Example"_s, {}, u"12 Long Road"_s, {}, u"Springfield"_s};
        const RecordedJob job = print();
        const QList<PlacedText> first = firstLines(job);
        ASSERT_EQ(first.size(), 30);
        EXPECT_EQ(job.pages, 1);
        EXPECT_EQ(first[0].column, 2);
        EXPECT_EQ(first[4].column, 45);
        EXPECT_EQ(first[29].column, 89);
        // The same gap above the block on every row of the sheet; five lines end well above the
        // label's bottom edge, an empty line keeping its row.
        for (int i = 0; i < 30; ++i)
            EXPECT_NEAR(first[i].inchesDown, blockTop(i / 3, lines), 1e-9) << i;
        EXPECT_NEAR(job.texts[2].inchesDown, first[0].inchesDown + (lines == 5 ? 4 : 2) * kRow, 1e-9);
        EXPECT_GE(1.5 - (job.texts[2].inchesDown + 0.25 + kRow), 4.0 / 72);
    }
}

TEST_F(LabelJobTest, SpecialPrintersShiftColumnsAndEverySheetAsksForLetter)
{
    labels.count = 3;
    surface.device = QStringLiteral("HP Officejet Pro 8600");
    RecordedJob job = print();
    QList<PlacedText> first = firstLines(job);
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(first[0].column, 4);
    EXPECT_EQ(first[1].column, 47);
    EXPECT_EQ(first[2].column, 91);
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Letter});

    surface.device = QStringLiteral("Photosmart C4280");
    job = print();
    first = firstLines(job);
    EXPECT_EQ(first[2].column, 91);
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Letter});
}

TEST_F(LabelJobTest, TheCorrectionShiftsColumnsAndRows)
{
    labels.correction = {1, -1};
    RecordedJob job = print();
    EXPECT_EQ(job.texts[0].column, 3);
    EXPECT_NEAR(job.texts[0].inchesDown, blockTop(0, 3) - kRow, 1e-9);

    // Nothing goes above the grid's top.
    labels.correction = {-5, -5};
    job = print();
    EXPECT_EQ(job.texts[0].column, 1);
    EXPECT_EQ(job.texts[0].inchesDown, 0);
}

TEST_F(LabelJobTest, CentredLinesAreCentredInAThirtySixColumnField)
{
    labels.centred = true;
    labels.lines = {QStringLiteral("Ann"), QString(40, u'x'), QStringLiteral("Springfield"), {}, {}};
    RecordedJob job = print();
    ASSERT_EQ(job.texts.size(), 3);
    EXPECT_EQ(job.texts[0].column, 2 + 16);
    EXPECT_EQ(job.texts[1].column, 2);  // too long to centre: straight at the tab
    EXPECT_EQ(job.texts[2].column, 2 + 12);  // 12.5 rounds to 12

    // Bold centred lines start three columns left of the bold column.
    labels.bold = true;
    labels.start = 2;
    job = print();
    EXPECT_EQ(job.texts[0].column, 38 + 16);
}

TEST(PrintAction, EveryCopyIsAJobOfItsOwnAndCancelPrintsNothing)
{
    test::ScriptedPlatform platform(QString{});
    OnTheFlyLabels labels;
    labels.lines = {QStringLiteral("A"), {}, {}, {}, {}};
    labels.start = 4;
    labels.count = 6;
    const auto job = [&](PrintSurface& s) { printOnTheFlyLabels(s, labels); };

    EXPECT_EQ(printCopies(platform, {}, job), PrintOutcome::Cancelled);
    EXPECT_TRUE(platform.printerSurface.jobs.isEmpty());
    EXPECT_TRUE(platform.messages.isEmpty());

    platform.answerPrintDialog(PrintChoice{2});
    EXPECT_EQ(printCopies(platform, {}, job), PrintOutcome::Printed);
    const QList<RecordedJob>& jobs = platform.printerSurface.jobs;
    ASSERT_EQ(jobs.size(), 2);
    for (const RecordedJob& j : jobs) {
        ASSERT_EQ(j.texts.size(), 6);
        EXPECT_EQ(j.texts.first().column, 2);
        EXPECT_NEAR(j.texts.first().inchesDown, blockTop(1, 1), 1e-9);
        EXPECT_EQ(j.texts.last().column, 89);
        EXPECT_NEAR(j.texts.last().inchesDown, blockTop(2, 1), 1e-9);
    }
    EXPECT_EQ(platform.printDialogs.last(), PrintDialogRequest{});
}

TEST(PrintAction, AFailureAbandonsTheJobAndSaysSoOnce)
{
    test::ScriptedPlatform platform(QString{});
    platform.answerPrintDialog(PrintChoice{3});
    platform.printerSurface.failure = printerFailure(QStringLiteral("offline"));
    const auto job = [](PrintSurface& s) { s.printLine({PrintItem::textItem(QStringLiteral("x"))}); };
    EXPECT_EQ(printCopies(platform, {}, job), PrintOutcome::Failed);

    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    EXPECT_TRUE(platform.printerSurface.jobs[0].abandoned);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0], (Message{"A printer problem exists.  Check printer.", "Printer error",
                                             MessageIcon::Warning, MessageButtons::Ok, false}));
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

// Where a recorded text starts, in inches from the paper's corner.
QPointF startOf(const PlacedText& text, const TextMeasure& measure)
{
    const double column = measure.grid({text.font, text.size, text.bold, text.italic}).column / measure.unitsPerInch();
    return {0.25 + (text.column - 1) * column, 0.25 + text.inchesDown};
}

TEST(TypedLabelsOnAnotherStock, EachPositionsLinesStartInsideItsOwnLabelOnTheStocksPaper)
{
    // 2 across and 7 down on A4, 99.1 x 38.1 mm; and 60 return labels, 1 3/4 x 2/3 in, on Letter.
    const LabelStock a4{u"Test A4"_s, {}, u"Sheet-Test A4"_s, 2, 7, QPointF(4.65, 15.15) / 25.4,
                        QSizeF(99.1, 38.1) / 25.4, QSizeF(101.6, 38.1) / 25.4, kA4Inches, {}, {}};
    const LabelStock small{u"Test 60"_s, {}, u"Sheet-Test 60"_s, 4, 15, {0.28125, 0.5},
                           {1.75, 2 / 3.}, {2.0625, 2 / 3.}, kLetterInches, {}, {}};
    RecordingSurface surface;
    TypedJobRequest request;
    request.lines = {u"Ann Example"_s, u"12 Long Road"_s, u"Springfield, IL  62701"_s, {}, {}};
    for (const auto& [kind, stock, count] : {std::tuple{TypedStock::Labels, &a4, 14},
                                             std::tuple{TypedStock::ReturnAddresses, &small, 60}}) {
        SCOPED_TRACE(stock->name.toStdString());
        request.stock = kind;
        request.sheet = stock;
        // Positions 13 to 16: the sheet has 14.
        request.start = 13;
        request.count = 4;
        const TypedJob job = buildTypedJob(request, surface.measure());
        EXPECT_FALSE(job.refusal);
        EXPECT_TRUE(job.overflows.isEmpty());
        EXPECT_EQ(job.dialog.sheetPaper, stock->page);
        job.run(surface);
        ASSERT_TRUE(surface.endJob());
        const RecordedJob printed = surface.jobs.takeLast();
        EXPECT_EQ(printed.pages, 1);
        ASSERT_EQ(printed.texts.size(), 3 * (kind == TypedStock::Labels ? 2 : count));
        const QList<QRectF> outlines = stock->outlines();
        for (qsizetype i = 0; i < printed.texts.size(); ++i) {
            const QRectF label = outlines[kind == TypedStock::Labels ? 12 + i / 3 : i / 3];
            const QPointF at = startOf(printed.texts[i], surface.measure());
            const double below = 9 / 72.;  // the row the text takes
            EXPECT_TRUE(label.adjusted(1 / 16., 0, 0, -below).contains(at)) << i;
            EXPECT_LT(at.x(), label.left() + 1 / 16. + 0.1) << i;
        }
        if (kind == TypedStock::Labels)
            EXPECT_EQ(printed.paperInches, QList<QSizeF>{kA4Inches});
        else
            EXPECT_EQ(printed.paperSizes, QList<PaperSize>{PaperSize::Letter});
    }
}

}  // namespace
}  // namespace pw
