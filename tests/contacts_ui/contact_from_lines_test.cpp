#include "contacts_ui/contact_from_lines.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using enum ContactBox;
using namespace Qt::StringLiterals;

ContactBoxTexts split(const LabelLines& lines)
{
    auto boxes = contactFromLabelLines(lines);
    EXPECT_TRUE(boxes.has_value());
    return boxes.value_or(ContactBoxTexts{});
}

TEST(ContactFromLines, SplitsNameStreetUnitCityStateAndZip)
{
    ContactBoxTexts b = split({u"Jane Q. Doe"_s, u"1200 Oak Street Apt 4"_s, u"Reno, NV 89501"_s});
    EXPECT_EQ(b[FName], u"Jane");
    EXPECT_EQ(b[MiddleInit], u"Q");
    EXPECT_EQ(b[LName], u"Doe");
    EXPECT_EQ(b[FStreet], u"1200 Oak Street");
    EXPECT_EQ(b[SStreet], u"Apt 4");
    EXPECT_EQ(b[City], u"Reno");
    EXPECT_EQ(b[State], u"NV");
    EXPECT_EQ(b[Zip], u"89501");

    b = split({u"John Smith"_s, u"55 Elm Road"_s, u"Apt 9"_s, u"Austin TX 78701-1234"_s});
    EXPECT_EQ(b[FName], u"John");
    EXPECT_EQ(b[MiddleInit], u"");
    EXPECT_EQ(b[LName], u"Smith");
    EXPECT_EQ(b[FStreet], u"55 Elm Road");
    EXPECT_EQ(b[SStreet], u"Apt 9");
    EXPECT_EQ(b[City], u"Austin");
    EXPECT_EQ(b[State], u"TX");
    EXPECT_EQ(b[Zip], u"78701-1234");

    b = split({u"Ann Lee"_s, u"12 Main St"_s, u"Los Angeles CA 90012"_s});
    EXPECT_EQ(b[FStreet], u"12 Main St");
    EXPECT_EQ(b[SStreet], u"");
    EXPECT_EQ(b[City], u"Los Angeles");
    EXPECT_EQ(b[State], u"CA");
    EXPECT_EQ(b[Zip], u"90012");

    b = split({u"Ann Lee"_s, u"P.O. Box 7"_s, u"Reno NV"_s});
    EXPECT_EQ(b[FStreet], u"PO Box 7");
    EXPECT_EQ(b[SStreet], u"");
    EXPECT_EQ(b[City], u"");  // a city line under 12 characters is left alone

    // An abbreviated street with its full stop ends there; the unit after it is the second line.
    b = split({u"Ann Lee"_s, u"1200 Oak St. Apt 4"_s, u"Reno, NV 89501"_s});
    EXPECT_EQ(b[FStreet], u"1200 Oak St");
    EXPECT_EQ(b[SStreet], u"Apt 4");
}

TEST(ContactFromLines, TitlesReachNeitherTheFirstNameNorTheLastName)
{
    ContactBoxTexts b = split({u"Mr. John Smith"_s});
    EXPECT_EQ(b[FName], u"John");
    EXPECT_EQ(b[LName], u"Smith");

    b = split({u"Dr Ann b Lee"_s});
    EXPECT_EQ(b[FName], u"Ann");
    EXPECT_EQ(b[MiddleInit], u"b");
}

TEST(ContactFromLines, OnlyTheNameIsTakenWhenLine2IsNoStreet)
{
    ContactBoxTexts b = split({u"Ann Lee"_s, u"Main Street 5"_s, u"Reno, NV 89501"_s});
    EXPECT_EQ(b[FName], u"Ann");
    EXPECT_EQ(b[LName], u"Lee");
    EXPECT_EQ(b[FStreet], u"");
    EXPECT_EQ(b[City], u"");
    EXPECT_EQ(split({}), ContactBoxTexts{});
}

TEST(ContactFromLines, ASingleWordLine1IsRefused)
{
    auto result = contactFromLabelLines({u"Smith"_s, u"12 Main St"_s});
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), (Message{u"Line 1 must contain a space."_s, u"Incorrect entry"_s, MessageIcon::None,
                                       MessageButtons::Ok, true}));
}

TEST(ContactFromLines, MissingSeparatorsLeaveOnlyTheirOwnBoxEmpty)
{
    // A title and one word: no space left for the first name.
    ContactBoxTexts b = split({u"Mr. Smith"_s});
    EXPECT_EQ(b[FName], u"");
    EXPECT_EQ(b[LName], u"Smith");

    // A comma only among the first five characters of the street: the whole line is the remainder.
    b = split({u"Ann Lee"_s, u"12, Main"_s});
    EXPECT_EQ(b[FStreet], u"");
    EXPECT_EQ(b[SStreet], u"12 Main");

    b = split({u"Ann Lee"_s, u"1 #2 Elm"_s});
    EXPECT_EQ(b[FStreet], u"");
    EXPECT_EQ(b[SStreet], u"1 #2 Elm");

    // No comma from the third character and no space from the fifth in the city line.
    b = split({u"Ann Lee"_s, u"12 Main St"_s, u",Reno NV 89501"_s});
    EXPECT_EQ(b[City], u"");
    EXPECT_EQ(b[State], u"en");
    // A city line with neither blank nor comma cannot be taken apart.
    b = split({u"Ann Lee"_s, u"12 Main St"_s, u"Carson-City-NV"_s});
    EXPECT_EQ(b[City], u"");
    EXPECT_EQ(b[State], u"");
    EXPECT_EQ(b[Zip], u"");

    b = split({u"   "_s, u"   "_s});
    EXPECT_EQ(b, ContactBoxTexts{});
}

}  // namespace
}  // namespace pw
