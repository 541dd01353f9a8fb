#include "printing/envelopes.h"
#include "printing/return_address.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;
using test::PlacedText;
using test::RecordedJob;
using test::RecordingSurface;

class EnvelopeJobTest : public ::testing::Test {
protected:
    RecordingSurface surface;
    EnvelopeJob envelope{{u"Ann Example"_s, u"12 Long Road"_s, u"Springfield IL 62701"_s, {}, {}}, false, false,
                         false, *envelopePlace(1), {}};

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
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Letter});

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

    envelope.bold = envelope.largeFont = false;
    surface.device = u"Photosmart C4280"_s;
    job = print();
    EXPECT_EQ(job.texts[0].row, 1 + 1 + 31);
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Letter});

    // The special models feed a #10 page, the envelope itself: the address keeps its place
    // against the bottom edge, two rows higher, on the first page and inside it.
    const double letterTop = job.texts[0].inchesDown;
    surface.device = u"HP Officejet Pro 8600"_s;
    job = print();
    EXPECT_EQ(job.pages, 1);
    EXPECT_EQ(job.texts[0].column, 50);
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Envelope10});
    const double row = 1.21533 * 11 / 72;
    EXPECT_NEAR(job.texts[0].inchesDown, letterTop - (8.5 - 4.125) - 2 * row, 1e-9);
    EXPECT_LT(0.25 + job.texts.last().inchesDown + row, 4.125);
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
