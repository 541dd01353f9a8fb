#include "printing/overflow.h"
#include "printing/print_surface.h"
#include "printing/typed_job.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

// On the layouts' grid every character is one column: Courier New 10 is 6.0010 points a column,
// so a frame whose edge, less 1/16 inch, is 1 inch from the grid's left edge holds 11 characters
// at 10 points, and rows of 0.157 inch leave three inside its 0.8 inch from the paper's top.
QList<ProbedText> probed(const QStringList& lines, double points = 10)
{
    const ColumnMeasure measure;
    return probeJob(
        [&](PrintSurface& surface) {
            surface.setFontName(u"Courier New"_s);
            surface.setFontSize(points);
            surface.setFrame(QRectF(0, 0, 1.3125, 0.8));
            for (const QString& line : lines)
                surface.printLine({PrintItem::textItem(line)});
        },
        measure);
}

TEST(Overflow, ALineTooWideIsShrunkDownToEightPointsThenCutAndNamed)
{
    const QList<ProbedText> texts = probed({u"x"_s.repeated(11), u"x"_s.repeated(12), u"x"_s.repeated(20),
                                            u"yy"_s});
    ASSERT_EQ(texts.size(), 4);
    // Fits as it is.
    EXPECT_EQ(texts[0].drawn, 10);
    EXPECT_EQ(texts[0].shown, 11);
    // One character too many: the half point that fits.
    EXPECT_EQ(texts[1].drawn, 9.5);
    EXPECT_EQ(texts[1].shown, 12);
    EXPECT_LE(texts[1].box.right(), 1.25 + 1e-9);
    // Even 8 points holds 14 characters only: cut there.
    EXPECT_EQ(texts[2].drawn, 8);
    EXPECT_EQ(texts[2].shown, 14);
    // The fourth row ends below the frame.
    EXPECT_GT(texts[3].box.bottom(), 0.8);

    const QList<Overflow> named = overflowsOf(texts, {QRectF(0, 0, 1.3125, 0.8)});
    ASSERT_EQ(named.size(), 3);
    EXPECT_EQ(named[0], (Overflow{u"Line 2"_s, u"x"_s.repeated(12), u"printed at 9.5 points instead of 10 to fit"_s,
                                  QRectF(0, 0, 1.3125, 0.8), {}}));
    EXPECT_EQ(named[1].outcome, u"too wide even at 8 points, cut to \"%1\""_s.arg(u"x"_s.repeated(14)));
    EXPECT_EQ(named[2].outcome, u"runs below the envelope"_s);

    const Message question = overflowQuestion(named);
    EXPECT_EQ(question.title, u"Lines too long");
    EXPECT_TRUE(question.text.startsWith(u"These lines do not fit the label or envelope they print on:\n\nLine 2, \""_s));
    EXPECT_EQ(question.buttons, MessageButtons::PrintAnywayCancel);

    // Type already at 8 points is never shrunk, only cut.
    EXPECT_EQ(probed({u"x"_s.repeated(20)}, 8)[0].shown, 14);
}

TEST(Overflow, CorrectionsMoveTheFittedBlockAndAreJudgedOnThePaper)
{
    const ColumnMeasure measure;
    const auto job = [&](TypedStock stock, MarginPair correction, QStringList lines, QString device = {}) {
        TypedJobRequest request;
        request.stock = stock;
        request.lines = std::move(lines);
        request.start = 1;
        request.count = 30;
        request.deviceName = std::move(device);
        request.corrections
            .pairs[static_cast<int>(stock == TypedStock::Labels ? MarginKind::OnTheFly : MarginKind::ReturnAddress)] =
            correction;
        return buildTypedJob(request, measure);
    };
    const QStringList five = {u"MR JONATHAN Q SMITH"_s, u"ACME WIDGETS INC"_s, u"12 LONG ROAD"_s, u"APT 4"_s,
                              u"RENO, NV  89501"_s};

    // Rows that cancel a printer's own offset: nothing to warn of, and the last row of labels still
    // ends on the sheet.
    const TypedJob down = job(TypedStock::Labels, {0, 2}, five);
    EXPECT_EQ(down.refusal, std::nullopt);
    EXPECT_TRUE(down.overflows.isEmpty());
    EXPECT_TRUE(down.shiftNote.isEmpty());
    const TypedJob returns =
        job(TypedStock::ReturnAddresses, {0, 1}, {u"Ann Example"_s, u"12 Long Road"_s, u"Reno, NV 89501"_s});
    EXPECT_TRUE(returns.overflows.isEmpty());
    EXPECT_TRUE(returns.shiftNote.isEmpty());
    // Only a line the printer would feed another sheet for is refused.
    EXPECT_EQ(job(TypedStock::Labels, {0, 4}, five).refusal->title, u"Labels below the sheet");

    // Five columns left is further than the 1/8 inch between labels: named once for the job.
    const TypedJob left = job(TypedStock::Labels, {-5, 0}, five);
    EXPECT_EQ(left.shiftNote, u"the correction moves text 0.32 in left, onto the neighbouring labels");
    EXPECT_TRUE(left.overflows.isEmpty());
    EXPECT_EQ(correctionShiftQuestion(left.shiftNote).text,
              u"On every label, the correction moves text 0.32 in left, onto the neighbouring labels.\n\nPrint "
              u"anyway?");

    // The special models print two columns further right: the check measures where they print.
    const QStringList wide = {u"X"_s.repeated(37)};
    EXPECT_TRUE(job(TypedStock::Labels, {}, wide).overflows.isEmpty());
    const TypedJob special = job(TypedStock::Labels, {}, wide, u"HP Officejet Pro"_s);
    ASSERT_FALSE(special.overflows.isEmpty());
    EXPECT_EQ(special.overflows[0].where, u"Position 1, line 1 (and 29 more labels)");
}

}  // namespace
}  // namespace pw
