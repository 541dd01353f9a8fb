#include "printing/overflow.h"

#include "list/list_labels.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

QStringList oneLine(int length)
{
    return {QString(length, u'n'), {}, {}, {}, {}};
}

TEST(Overflow, ALineOneCharacterTooWideIsReportedAndOneThatFitsIsNot)
{
    // Position 1 at column 2 in Verdana 9: 39 average characters fit, 35 in bold.
    OnTheFlyLabels labels;
    labels.start = 1;
    labels.count = 1;
    for (const auto& [bold, fits] : {std::pair{false, 39}, std::pair{true, 35}}) {
        labels.bold = bold;
        labels.lines = oneLine(fits);
        EXPECT_TRUE(labelOverflows(labels, u"Laser"_s).isEmpty()) << bold;
        labels.lines = oneLine(fits + 1);
        const QList<Overflow> found = labelOverflows(labels, u"Laser"_s);
        ASSERT_EQ(found.size(), 1) << bold;
        EXPECT_EQ(found[0].where, u"Position 1, line 1");
        EXPECT_EQ(found[0].charactersTooLong, 1);
    }

    // A #10 envelope keeps 1/4 inch clear of its right edge: 66 plain characters, 57 large.
    EnvelopeJob envelope{{}, false, false, false, *envelopePlace(1), {}};
    for (const auto& [large, fits] : {std::pair{false, 66}, std::pair{true, 57}}) {
        envelope.largeFont = large;
        envelope.lines = oneLine(fits);
        EXPECT_TRUE(envelopeOverflows(envelope, 1).isEmpty()) << large;
        envelope.lines = oneLine(fits + 1);
        ASSERT_EQ(envelopeOverflows(envelope, 1).size(), 1) << large;
        EXPECT_EQ(envelopeOverflows(envelope, 1)[0].charactersTooLong, 1);
    }

    // Return-address labels are 1 3/4 inch wide: 30 characters of Microsoft Sans Serif 8.
    ReturnAddressSheet sheet{{QString(30, u'n'), QString(31, u'n'), {}}, false, false, {}};
    const QList<Overflow> found = returnAddressOverflows(sheet);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].where, u"Line 2");
    const Message question = overflowQuestion(found);
    EXPECT_EQ(question.buttons, MessageButtons::PrintAnywayCancel);
    EXPECT_TRUE(question.text.contains(u"Line 2, \"nnnnnnnnnnnnnnnnnnnnnnnnnnnnnnn\": 1 character too long"_s));
}

TEST(Overflow, ListLabelsAreMeasuredInTheColumnTheyPrintIn)
{
    // The middle label starts at column 46: 38 characters of Verdana 9 fit before its edge.
    const LabelAddress fits{u"Ann Lee"_s, {}, QString(38, u'n'), u"Reno, NV  89501"_s};
    LabelAddress tooLong = fits;
    tooLong.street = QString(39, u'n');
    EXPECT_TRUE(listLabelOverflows({fits, fits}, {}, u"Laser").isEmpty());
    const QList<Overflow> found = listLabelOverflows({fits, tooLong}, {}, u"Laser");
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].where, u"Label 2 (Ann Lee)");
    EXPECT_EQ(found[0].charactersTooLong, 1);
}

}  // namespace
}  // namespace pw
