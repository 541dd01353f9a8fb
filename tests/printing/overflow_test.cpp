#include "printing/overflow.h"

#include "printing/print_surface.h"

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

}  // namespace
}  // namespace pw
