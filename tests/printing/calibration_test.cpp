#include "printing/calibration.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

TEST(Calibration, TheSheetHasRulersCrossesAndCaptionsAtTheirPlaces)
{
    test::RecordingSurface surface;
    printCalibrationSheet(surface);
    ASSERT_TRUE(surface.endJob());
    const test::RecordedJob& job = surface.jobs.at(0);
    EXPECT_EQ(job.pages, 1);
    EXPECT_EQ(job.paperSizes, QList<PaperSize>{PaperSize::Letter});
    // 76 ticks across, 96 down, and two arms for each cross.
    EXPECT_EQ(job.lines.size(), 76 + 96 + 4);
    EXPECT_TRUE(job.lines.contains(QLineF(0.7, 1.5, 1.3, 1.5)));
    EXPECT_TRUE(job.lines.contains(QLineF(7.5, 9.7, 7.5, 10.3)));
    // Courier New 12 is a tenth of an inch a column: column n starts at 0.25 + (n - 1) / 10 inch.
    const auto placed = [&](const QString& text) {
        for (const test::PlacedText& t : job.texts)
            if (t.text.startsWith(text))
                return t;
        return test::PlacedText{};
    };
    EXPECT_EQ(placed(u"A: 1.00 in (25.4 mm) from left, 1.50 in (38.1 mm) from top"_s).column, 13);
    EXPECT_EQ(placed(u"B: 7.50 in (190.5 mm) from left, 10.00 in (254.0 mm) from top"_s).column, 9);
    EXPECT_EQ(placed(u"8"_s).column, 78);
    EXPECT_EQ(placed(u"Postwick calibration sheet"_s).font, u"Courier New");
}

TEST(Calibration, MeasuredOffsetsBecomeEachKindsCorrectionWithinItsLimits)
{
    // Both crosses landed 0.04 inch right and 0.02 inch low.
    const QPointF offset = printerOffset({{1.04, 1.52}, {7.54, 10.02}});
    EXPECT_NEAR(offset.x(), 0.04, 1e-9);
    EXPECT_NEAR(offset.y(), 0.02, 1e-9);
    EXPECT_EQ(correctionFor(MarginKind::OnTheFly, offset), (KindCorrection{MarginKind::OnTheFly, {-1, 0}}));
    EXPECT_EQ(correctionFor(MarginKind::ReturnAddress, offset),
              (KindCorrection{MarginKind::ReturnAddress, {-1, 0}}));
    EXPECT_EQ(correctionFor(MarginKind::Envelope, offset), std::nullopt);

    // Half an inch low: three Verdana 9 rows up, but search-result and return-address labels take
    // at most 2 and 1.
    const QPointF low{0, 0.5};
    EXPECT_EQ(correctionFor(MarginKind::OnTheFly, low)->correction.top, -3);
    EXPECT_EQ(correctionFor(MarginKind::SearchResult, low), (KindCorrection{MarginKind::SearchResult, {0, -2}, true}));
    EXPECT_EQ(correctionFor(MarginKind::ReturnAddress, low)->correction.top, -1);

    EXPECT_NEAR(*inchesFromText(u"25.4 mm"_s, u"in"_s), 1.0, 1e-9);
    EXPECT_NEAR(*inchesFromText(u"1,5\""_s, u"mm"_s), 1.5, 1e-9);
    EXPECT_NEAR(*inchesFromText(u" 2.54 cm "_s, u"in"_s), 1.0, 1e-9);
    EXPECT_NEAR(*inchesFromText(u"3"_s, u"mm"_s), 3 / 25.4, 1e-9);
    EXPECT_EQ(inchesFromText(u"about 3"_s, u"mm"_s), std::nullopt);
    EXPECT_EQ(inchesFromText(QString(), u"mm"_s), std::nullopt);
}

}  // namespace
}  // namespace pw
