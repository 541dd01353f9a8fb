#include "printing/label_fit.h"

#include "printing/sheet_fit.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

// On the layouts' grid every character is one column: Courier New is 0.6 em a column, so a room of
// 20 columns at 10 points holds 25 characters at 8 points.
const ColumnMeasure kMeasure;
const TypeFace kType{u"Courier New"_s, 10};
const double kColumn = 0.6001 * 10;

LabelRoom room(int rows, double columns = 20)
{
    return {kType, columns * kColumn, rows};
}

QList<LabelLine> contact(const QString& name, const QString& street, const QString& suite, const QString& city)
{
    QList<LabelLine> lines{{name}, {street, true}};
    if (!suite.isEmpty())
        lines.append({suite, true, true});
    lines.append({city, true});
    return lines;
}

TEST(LabelFit, RowsThenSmallerTypeThenABreakAtABlankAndOnlyThenACutThatKeepsTheAddress)
{
    // The suite keeps its own line while the label has rows for it, and joins its street when not.
    const auto fourLines = contact(u"Ann Lee"_s, u"76 Oak Ave"_s, u"Apt 14B"_s, u"Reno, NV  89501"_s);
    EXPECT_EQ(fitLabel(fourLines, room(4), kMeasure).lines,
              (QStringList{u"Ann Lee"_s, u"76 Oak Ave"_s, u"Apt 14B"_s, u"Reno, NV  89501"_s}));
    EXPECT_EQ(fitLabel(fourLines, room(3), kMeasure).lines,
              (QStringList{u"Ann Lee"_s, u"76 Oak Ave Apt 14B"_s, u"Reno, NV  89501"_s}));

    // 24 characters fit in smaller type: left for the surface to shrink, not broken.
    const QString smaller = u"4000 Martin Luther King Jr"_s.left(24);
    EXPECT_EQ(fitLabel({{smaller, true}}, room(3), kMeasure).lines, QStringList{smaller});

    // Too wide even in 8 points: the rest after a blank goes onto a free row, the head as long as
    // fits in the type asked for.
    const FittedLabel broken =
        fitLabel(contact(u"Ann Lee"_s, u"4000 Martin Luther King Jr Way"_s, {}, u"Reno, NV  89501"_s), room(4),
                 kMeasure);
    EXPECT_EQ(broken.lines,
              (QStringList{u"Ann Lee"_s, u"4000 Martin Luther"_s, u"King Jr Way"_s,
                           u"Reno, NV  89501"_s}));
    EXPECT_TRUE(broken.changed.isEmpty());

    // No free row and no blank: a name is cut, an address never; its contact is named by the line.
    const QString longStreet = u"4000 Martin Luther King Jr Way Apartment 1407B"_s;
    EXPECT_TRUE(fitLabel({{u"Alexandra Montgomery-Worthington"_s}, {u"Reno"_s, true}}, room(2), kMeasure)
                    .changed.isEmpty());
    EXPECT_EQ(fitLabel(contact(u"Ann Lee"_s, longStreet, {}, u"Reno, NV  89501"_s), room(3), kMeasure).changed,
              longStreet);
    EXPECT_EQ(fitLabel({{u"x"_s, true}, {u"1234567890123456789012345678"_s, true}}, room(4), kMeasure).changed,
              u"1234567890123456789012345678"_s);

    // What a cut loses: a digit, a unit or suite designator, or only letters.
    EXPECT_TRUE(cutChangesAddress(u"Apartment 14B", 12));
    EXPECT_TRUE(cutChangesAddress(u"10471 East Jefferson Street Ste 210", 32));
    EXPECT_TRUE(cutChangesAddress(u"12 Elm St Apt", 11));
    EXPECT_FALSE(cutChangesAddress(u"1234 N WESTMORELAND BLVD", 20));
    EXPECT_FALSE(cutChangesAddress(u"Green Valley Bakery", 17));
}

}  // namespace
}  // namespace pw
