#include "printing/envelopes.h"
#include "printing/return_address.h"
#include "printing/typed_job.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>
#include <tuple>

namespace pw {
namespace {

using namespace Qt::StringLiterals;
using test::columnMeasure;
using test::PlacedText;
using test::RecordedJob;
using test::RecordingSurface;

class EnvelopeJobTest : public ::testing::Test {
protected:
    RecordingSurface surface;
    EnvelopeJob envelope{{u"Ann Example"_s, u"12 Long Road"_s, u"Springfield IL 62701"_s, {}, {}},
                         false,
                         false,
                         false,
                         *envelopePlace(1),
                         {},
                         1};

    RecordedJob print()
    {
        printEnvelope(surface, envelope);
        EXPECT_TRUE(surface.endJob());
        return surface.jobs.last();
    }
};

TEST_F(EnvelopeJobTest, TheAddressLandsByFontAndPrinterModel)
{
    // Rows count from 1: the leading blank row and the size's rows come first.
    RecordedJob job = print();
    ASSERT_EQ(job.texts.size(), 3);
    EXPECT_EQ(job.texts[0].row, 1 + 1 + 31);
    EXPECT_EQ(job.texts[0].column, 50);
    EXPECT_EQ(job.texts[0].font, u"Verdana");
    EXPECT_EQ(job.texts[0].size, 11);
    EXPECT_EQ(job.orientations, QList<PageOrientation>{PageOrientation::Landscape});
    EXPECT_EQ(job.paperInches, QList<QSizeF>{QSizeF(9.5, 4.125)});
    EXPECT_TRUE(job.paperSizes.isEmpty() && job.notes.isEmpty());

    envelope.largeFont = true;
    job = print();
    EXPECT_EQ(job.texts[0].row, 1 + 1 + 24);
    EXPECT_EQ(job.texts[0].column, 44);
    EXPECT_EQ(job.texts[0].font, u"Trebuchet MS");
    EXPECT_EQ(job.texts[0].size, 14);
    EXPECT_TRUE(job.texts[0].italic);
    EXPECT_FALSE(job.texts[0].bold);

    envelope.bold = true;
    job = print();
    EXPECT_EQ(job.texts[0].row, 1 + 1 + 23);
    EXPECT_TRUE(job.texts[0].bold);

    // A special model that takes the envelope's own paper feeds it like any other printer.
    envelope.bold = envelope.largeFont = false;
    const double ownTop = print().texts[0].inchesDown;
    surface.device = u"HP Officejet Pro 8600"_s;
    EXPECT_EQ(print().texts[0].inchesDown, ownTop);

    // Without it, the Letter page, and the special models' #10 page fed two rows higher; but not
    // "Photosmart".
    surface.anyPaper = false;
    const double row = 1.21533 * 11 / 72;
    for (const auto& [device, paper, down] :
         {std::tuple{u"Photosmart C4280"_s, PaperSize::Letter, 8.5 - 4.125},
          std::tuple{u"HP Officejet Pro 8600"_s, PaperSize::Envelope10, -2 * row}}) {
        surface.device = device;
        job = print();
        EXPECT_EQ(job.pages, 1);
        EXPECT_EQ(job.paperSizes, QList<PaperSize>{paper});
        EXPECT_EQ(job.texts[0].column, 50);
        EXPECT_NEAR(job.texts[0].inchesDown, ownTop + down, 1e-9) << device.toStdString();
        EXPECT_EQ(job.notes, QStringList{envelopeFeedNote(envelopeFeed(false, device))});
    }
}

// Where each line's row lies, in inches from the envelope's top edge.
struct Rows final {
    double top;
    double bottom;
};
Rows rowsOf(const RecordedJob& job, const QRectF& envelope)
{
    const PlacedText& first = job.texts.first();
    const double row = columnMeasure().grid({first.font, first.size, first.bold, first.italic}).row / 72;
    const double top = 0.25 + first.inchesDown - envelope.top();
    return {top, top + 5 * row};
}

TEST_F(EnvelopeJobTest, EverySizeOnItsOwnPageInsideTheEnvelopeAndTheReadingArea)
{
    envelope.lines = {u"Ann Example"_s, u"Acme Widgets Inc"_s, u"12 Long Road"_s, u"Apt 4"_s, u"Reno, NV 89501"_s};
    const QList<QSizeF> sizes = {{9.5, 4.125}, {6.5, 3.625}, {5.75, 4.375}, {7.25, 5.25}, {8.125, 5.5}, {9.5, 6}};
    for (int code = 1; code <= 6; ++code) {
        for (const bool large : {false, true}) {
            envelope.sizeCode = code;
            envelope.place = *envelopePlace(code);
            envelope.largeFont = envelope.bold = large;
            surface.anyPaper = true;
            const RecordedJob own = print();
            ASSERT_EQ(own.paperInches, QList<QSizeF>{sizes[code - 1]});
            ASSERT_EQ(own.texts.size(), 5);
            EXPECT_EQ(own.pages, 1);
            const double height = sizes[code - 1].height();
            const Rows block = rowsOf(own, {0, 0, 9.5, height});
            // On the envelope, 1/8 inch clear, and read by the Postal Service: the top line no higher
            // than 2 3/4 inches above the bottom edge, the bottom line at least 5/8 inch above it.
            EXPECT_GE(block.top, height - 2.75 - 1e-9) << code << " large " << large;
            EXPECT_LE(block.bottom, height - 0.625 + 1e-9) << code << " large " << large;
            EXPECT_GE(block.top, 0.125);
            for (const PlacedText& t : own.texts) {
                const double column = columnMeasure().grid({t.font, t.size, t.bold, t.italic}).column / 72;
                EXPECT_LE(0.25 + (t.column - 1 + t.text.size()) * column, sizes[code - 1].width() - 0.125);
            }

            // A printer without that paper: the same place on the envelope at the foot of a Letter page.
            surface.anyPaper = false;
            const RecordedJob letter = print();
            EXPECT_EQ(letter.paperSizes, QList<PaperSize>{PaperSize::Letter});
            EXPECT_TRUE(letter.paperInches.isEmpty());
            EXPECT_NEAR(rowsOf(letter, envelopeOnPage(code, EnvelopeFeed::Letter)).top, block.top, 1e-9);
            EXPECT_EQ(letter.texts.last().column, own.texts.last().column);
        }
    }
}

TEST_F(EnvelopeJobTest, CentringEmptyLinesAndCorrections)
{
    envelope.place = *envelopePlace(3);  // #A2
    envelope.centred = true;
    envelope.lines = {u"0123456789"_s, {}, u"Line 3"_s, {}, u"Line 5"_s};
    RecordedJob job = print();
    ASSERT_EQ(job.texts.size(), 3);
    // Tab to 28 - 6, then 18 - 5 spaces.
    EXPECT_EQ(job.texts[0].column, 22 + 13);
    EXPECT_EQ(job.texts[2].row, job.texts[0].row + 4);

    envelope.place = *envelopePlace(1);
    envelope.centred = false;
    envelope.bold = envelope.largeFont = true;
    envelope.correction = {0, -30};
    job = print();
    EXPECT_EQ(job.texts[0].row, 2);

    envelope.correction = {3, 2};
    envelope.bold = envelope.largeFont = false;
    job = print();
    EXPECT_EQ(job.texts[0].column, 53);
    EXPECT_EQ(job.texts[0].row, 1 + 1 + 33);
    EXPECT_EQ(envelopePlace(0), std::nullopt);
    EXPECT_EQ(envelopePlace(7), std::nullopt);
    EXPECT_EQ(envelopeSizeNames().size(), 6);
}

// The dry run judges where the address lands on the envelope, after the ENVELOPE correction.
TEST(EnvelopeDryRun, AnAddressOffTheEnvelopeIsNamedAndOneThatFeedsASecondEnvelopeRefused)
{
    TypedJobRequest request{.stock = TypedStock::Envelope,
                            .lines = {u"Ann Example"_s, u"Acme Widgets Inc"_s, u"12 Long Road"_s, u"Apt 4"_s,
                                      u"Reno, NV 89501"_s},
                            .envelopeSize = 1,
                            .envelopePaper = true};
    request.place = *envelopePlace(1);
    const auto jobWithTop = [&](int top) {
        request.corrections.pairs[static_cast<int>(MarginKind::Envelope)] = {0, top};
        return buildTypedJob(request, columnMeasure());
    };
    TypedJob job = jobWithTop(6);
    EXPECT_FALSE(job.refusal);
    EXPECT_EQ(job.offEnvelope, u""_s);
    // A line too wide is named by its line of the address.
    request.lines[1] = u"Acme Widgets International Holdings Incorporated of Northern Nevada Inc"_s;
    EXPECT_EQ(jobWithTop(6).overflows.value(0).where, u"Line 2");
    request.lines[1] = u"Acme Widgets Inc"_s;

    // Seven rows down, line 5 would go onto a second envelope of its own.
    job = jobWithTop(7);
    RecordingSurface surface;
    job.run(surface);
    ASSERT_TRUE(surface.endJob());
    EXPECT_EQ(surface.jobs.last().pages, 2);
    EXPECT_EQ(surface.jobs.last().texts.last().text, u"Reno, NV 89501");
    ASSERT_TRUE(job.refusal);
    EXPECT_EQ(job.refusal->text,
              u"Line 5 of the address would print too near the envelope's bottom edge, and the printer would feed a "
              "second envelope for it.  Nothing was printed.  Lower the ENVELOPE top correction to 6 or less in the "
              "Margins menu, then print again.");
    EXPECT_EQ(job.refusal->title, u"Envelope fed twice");

    // Twenty rows up puts it above the envelope, on every feed alike.
    for (const bool ownPaper : {true, false}) {
        request.envelopePaper = ownPaper;
        job = jobWithTop(-20);
        EXPECT_FALSE(job.refusal);
        EXPECT_EQ(job.offEnvelope,
                  u"The address would print 1.90 in above the envelope's top edge: raise the ENVELOPE top correction "
                  "to -9 or more");
    }
    EXPECT_EQ(jobWithTop(-9).offEnvelope, u""_s);
    EXPECT_TRUE(
        jobWithTop(-10).offEnvelope.startsWith(u"The address would print 0.04 in above the envelope's top edge"));
}

RecordedJob returnAddressPage(const ReturnAddressSheet& sheet)
{
    RecordingSurface surface;
    printReturnAddressPage(surface, sheet);
    EXPECT_TRUE(surface.endJob());
    return surface.jobs.last();
}

TEST(ReturnAddressPage, EightyLabelsEachFromItsOwnPlaceOnTheHalfInchRows)
{
    ReturnAddressSheet sheet{{u"Ann Example"_s, u"12 Long Road"_s, u"Springfield IL"_s}, false, true, {2, 0}};
    const RecordedJob job = returnAddressPage(sheet);
    ASSERT_EQ(job.texts.size(), 80 * 3);
    EXPECT_EQ(job.pages, 1);
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Letter});
    EXPECT_EQ(job.orientations, QList<PageOrientation>{PageOrientation::Portrait});
    // Label by label, three lines each, from the first column at least 1/16 inch inside the label
    // (column 4, 0.097 in inside), moved by the left correction.
    const QList<int> columns = {job.texts[0].column, job.texts[3].column, job.texts[6].column, job.texts[9].column};
    EXPECT_EQ(columns, (QList<int>{6, 48, 90, 132}));
    // Top 0: two rows and a half-height one above the first label row, then a half inch per row.
    const double row = 1.12240 * 8 / 72;
    EXPECT_NEAR(job.texts[0].inchesDown, 2.5 * row, 1e-9);
    EXPECT_NEAR(job.texts[2].inchesDown, 4.5 * row, 1e-9);
    EXPECT_NEAR(job.texts[12].inchesDown, 2.5 * row + 0.5, 1e-9);
    EXPECT_NEAR(job.texts.last().inchesDown, 4.5 * row + 19 * 0.5, 1e-9);
    const PlacedText& label = job.texts[0];
    EXPECT_EQ(label.font, u"Microsoft Sans Serif");
    EXPECT_EQ(label.size, 8);
    EXPECT_TRUE(label.italic);
    EXPECT_FALSE(label.bold);

    for (const auto& [top, firstRows] : {std::pair{-1, 1.5}, std::pair{1, 3.5}}) {
        sheet.correction = {0, top};
        EXPECT_NEAR(returnAddressPage(sheet).texts[0].inchesDown, firstRows * row, 1e-9) << top;
    }
}

TEST(ReturnAddressPage, CentredLinesSitInTheLabelsOwnWidth)
{
    const ReturnAddressSheet sheet{{u"0123456789"_s, u"12345"_s, u"x"_s.repeated(30)}, true, false, {}};
    const RecordedJob job = returnAddressPage(sheet);
    // Labels start at column 4; the 32 columns between 1/16 inch inside either edge centre a line:
    // k = 16 - length / 2, halves to even.
    EXPECT_EQ(job.texts[0].column, 4 + 11);
    EXPECT_EQ(job.texts[1].column, 4 + 14);
    EXPECT_EQ(job.texts[2].column, 4 + 1);
    EXPECT_EQ(job.texts[3].column, 46 + 11);
}

TEST(ReturnAddressLines, OneToThreeLinesAndNothingBelow)
{
    EXPECT_EQ(returnLinesProblem({{}, {}, {}, {}, {}}), ReturnLinesProblem::NoLines);
    EXPECT_EQ(returnLinesProblem({{}, {}, {}, u"x"_s, {}}), ReturnLinesProblem::NoLines);
    EXPECT_EQ(returnLinesProblem({{}, {}, u"x"_s, {}, u"y"_s}), ReturnLinesProblem::TooManyLines);
    EXPECT_EQ(returnLinesProblem({u" "_s, {}, {}, {}, {}}), ReturnLinesProblem::None);
}

}  // namespace
}  // namespace pw
