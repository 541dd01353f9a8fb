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
    EXPECT_TRUE(job.paperSizes.isEmpty());

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
    EXPECT_TRUE(job.paperSizes.isEmpty());

    // The rows the job asks for, counted as blank rows: on the #10 page they reach below its grid,
    // where the surface starts a new page as paper does.
    surface.device = u"HP Officejet Pro 8600"_s;
    job = print();
    EXPECT_EQ(job.blankRows.size(), 1 + 29);
    EXPECT_EQ(job.texts[0].column, 50);
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Envelope10});
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

TEST(ReturnAddressPage, EightyLabelsInFourColumnsWithACourierSpacerUnderEveryRow)
{
    ReturnAddressSheet sheet{{u"Ann Example"_s, u"12 Long Road"_s, u"Springfield IL"_s}, false, true, {2, 0}};
    const RecordedJob job = returnAddressPage(sheet);
    ASSERT_EQ(job.texts.size(), 80 * 3);
    EXPECT_EQ(job.pages, 1);
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Letter});
    EXPECT_EQ(job.orientations, QList<PageOrientation>{PageOrientation::Portrait});
    const QList<int> columns = {job.texts[0].column, job.texts[1].column, job.texts[2].column, job.texts[3].column};
    EXPECT_EQ(columns, (QList<int>{9, 51, 93, 135}));
    // Top 0: two blank rows and a half-height one, then three lines and a spacer per label row.
    EXPECT_EQ(job.texts[0].row, 4);
    EXPECT_EQ(job.texts[4].row, 5);
    EXPECT_EQ(job.texts[12].row, 4 + 4);
    EXPECT_EQ(job.texts.last().row, 4 + 19 * 4 + 2);
    const PlacedText& label = job.texts[0];
    EXPECT_EQ(label.font, u"Microsoft Sans Serif");
    EXPECT_EQ(label.size, 8);
    EXPECT_TRUE(label.italic);
    EXPECT_FALSE(label.bold);
    ASSERT_EQ(job.blankRows.size(), 3 + 20);
    EXPECT_EQ(job.blankRows[2].size, 4);
    EXPECT_EQ(job.blankRows[3].row, 7);
    EXPECT_EQ(job.blankRows[3].font, u"Courier New");
    EXPECT_EQ(job.blankRows.last().font, u"Courier New");

    for (const auto& [top, firstRow] : {std::pair{-1, 3}, std::pair{1, 5}}) {
        sheet.correction = {0, top};
        EXPECT_EQ(returnAddressPage(sheet).texts[0].row, firstRow) << top;
    }
}

TEST(ReturnAddressPage, CentredLinesSitInATwentyFourColumnField)
{
    const ReturnAddressSheet sheet{{u"0123456789"_s, u"12345"_s, u"x"_s.repeated(30)}, true, false, {}};
    const RecordedJob job = returnAddressPage(sheet);
    // Labels start at column 7; k = 12 - length / 2, halves to even.
    EXPECT_EQ(job.texts[0].column, 7 + 7);
    EXPECT_EQ(job.texts[4].column, 7 + 10);
    EXPECT_EQ(job.texts[8].column, 7);
    EXPECT_EQ(job.texts[9].column, 7 + 42);
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
