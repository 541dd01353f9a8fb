#include "data/text_rules.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(NumericValue, ReadsTheLeadingNumberAndStopsAtTheFirstCharacterThatCannotContinueIt)
{
    EXPECT_EQ(numericValue(u"555-0123"), 555);
    EXPECT_EQ(numericValue(u"(555) 0123"), 0);
    EXPECT_EQ(numericValue(u""), 0);
    EXPECT_EQ(numericValue(u"abc"), 0);
    EXPECT_EQ(numericValue(u"12abc"), 12);
    EXPECT_EQ(numericValue(u"-1.5"), -1.5);
    EXPECT_EQ(numericValue(u"+3"), 3);
    EXPECT_EQ(numericValue(u"1.2.3"), 1.2);
    EXPECT_EQ(numericValue(u".5"), 0.5);
    EXPECT_EQ(numericValue(u"-"), 0);
    EXPECT_EQ(numericValue(u"--1"), 0);
}

TEST(NumericValue, IgnoresBlanksTabsAndLineFeedsAnywhere)
{
    EXPECT_EQ(numericValue(u"  1 2\t3\n4 "), 1234);
    EXPECT_EQ(numericValue(u"- 5"), -5);
    EXPECT_EQ(numericValue(u"19800410"), 19800410);
    EXPECT_EQ(numericValue(u"        "), 0);
    // Carriage returns are not skipped: they end the number.
    EXPECT_EQ(numericValue(u"1\r2"), 1);
}

TEST(NumericValue, ReadsExponentsOnlyWhenDigitsFollow)
{
    EXPECT_EQ(numericValue(u"1e3"), 1000);
    EXPECT_EQ(numericValue(u"2E-1"), 0.2);
    EXPECT_EQ(numericValue(u"1d2"), 100);
    EXPECT_EQ(numericValue(u"1e"), 1);
    EXPECT_EQ(numericValue(u"1e+"), 1);
    EXPECT_EQ(numericValue(u"1e999"), 0);  // no finite number
}

TEST(NumericValue, ReadsHexadecimalAndOctalPrefixes)
{
    EXPECT_EQ(numericValue(u"&H1F"), 31);
    EXPECT_EQ(numericValue(u"&hff zz"), 255);
    EXPECT_EQ(numericValue(u"&O17"), 15);
    EXPECT_EQ(numericValue(u"&O19"), 1);
    EXPECT_EQ(numericValue(u"&H"), 0);
    EXPECT_EQ(numericValue(u"&X1"), 0);
}

TEST(TextRules, TrimmingRemovesOnlyCode32)
{
    EXPECT_EQ(trimBlanks(u"  Ann  "), u"Ann");
    EXPECT_EQ(trimBlanks(u"\tAnn\t"), u"\tAnn\t");
    EXPECT_EQ(trimBlanks(u"   "), u"");
    EXPECT_EQ(trimLeadingBlanks(u"  a b "), u"a b ");
    EXPECT_EQ(trimTrailingBlanks(u"  a b "), u"  a b");
}

TEST(TextRules, WholeNumbersRoundHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(16.5), 16);
    EXPECT_EQ(roundHalfEven(17.5), 18);
    EXPECT_EQ(roundHalfEven(2.579), 3);
    EXPECT_EQ(roundHalfEven(2.386), 2);
}

TEST(TextRules, FixedWidthFieldsAreLeftTrimmedPaddedAndCut)
{
    EXPECT_EQ(fixedWidth(u"  Ann", 14), u"Ann           ");
    EXPECT_EQ(fixedWidth(u"ABCDEFGHIJKLMNOPQRST", 14), u"ABCDEFGHIJKLMN");
    EXPECT_EQ(fixedWidth(u"", 3), u"   ");
    EXPECT_EQ(fixedWidthBytes(u"  Ann", 5), QByteArray("Ann  "));
}

TEST(TextRules, TheCodePageRoundTripsWindows1252AndStoresOtherCharactersAsQuestionMarks)
{
    EXPECT_EQ(toCodePage(u"Ren\u00e9e Stra\u00dfe \u20ac\u201c\u0178"), QByteArray("Ren\xe9" "e Stra\xdf" "e \x80\x93\x9f"));
    EXPECT_EQ(toCodePage(u"\u4e2d\U0001F600x"), QByteArray("??x"));
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(toCodePage(fromCodePage(all)), all);
    EXPECT_EQ(fromCodePage("\x80"), QString(QChar(0x20AC)));
}

TEST(TextRules, UnstorableCharactersAreListedOnceAndCounted)
{
    EXPECT_EQ(unstorableCharacters(u"\u6771\u4eac"), (QStringList{QStringLiteral("\u6771"), QStringLiteral("\u4eac")}));
    EXPECT_EQ(unstorableCharacters(u"a\U0001F600b\U0001F600"), QStringList{QStringLiteral("\U0001F600")});
    EXPECT_EQ(unstorableCharacters(u"Ren\u00e9e \u20ac?"), QStringList{});
    EXPECT_EQ(countUnstorable(u"\U0001F600 \u6771\u4eac \u6771 ?"), 4);
    EXPECT_EQ(blankControlCharacters(u"a\tb\r\nc\x7f\x1f\u00e9"), u"a b  c  \u00e9");
    // A letter without a decomposition is stored and sorted as the same base letter.
    EXPECT_EQ(nearestStorable(u"\u0141\u00f3d\u017a \u0110or\u0111e \u00d8 \u0131"), u"L\u00f3dz Dorde \u00d8 i");
    EXPECT_EQ(sortKey(u"\u0141\u00f3d\u017a \u0110or\u0111e \u00d8 \u0131"), u"lodz dorde o i");
}

TEST(TextRules, ShortestDecimal)
{
    EXPECT_EQ(shortestDecimal(3), u"3");
    EXPECT_EQ(shortestDecimal(-1), u"-1");
    EXPECT_EQ(shortestDecimal(0.5), u"0.5");
    EXPECT_EQ(shortestDecimal(-0.0), u"0");
    EXPECT_EQ(shortestDecimal(0.1 + 0.2), u"0.3");
}

}  // namespace
}  // namespace pw
