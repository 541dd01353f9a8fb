#include "list/mailing_order.h"

#include "list/list_contacts.h"

#include <gtest/gtest.h>

namespace pw {
using namespace Qt::StringLiterals;
namespace {

ContactRecord at(const QString& first, const QString& last, const QString& street, const QString& street2 = {},
                 const QString& zip = u"89501"_s)
{
    ContactRecord r = test::person(first, last);
    r.Street1 = street;
    r.Street2 = street2;
    r.Zip = zip;
    return r;
}

QStringList names(const Mailing& mailing)
{
    QStringList all;
    for (const LabelAddress& label : mailing.labels)
        all << label.name;
    return all;
}

TEST(MailingOrder, HouseholdsShareOneLabelNamedAsPeopleAddressCards)
{
    const std::vector<ContactRecord> listed = {
        at(u"John"_s, u"Smith"_s, u"12 North Main Street"_s),
        at(u"Ann"_s, u"Park"_s, u"9 Elm Ave"_s, u"Apt 2"_s),
        at(u"Mary"_s, u"smith"_s, u"12 n. main st"_s),
        at(u"Cy"_s, u"Fox"_s, u"9 Elm Avenue #3"_s),
        at(u"Bo"_s, u"Ray"_s, u"9 ELM AVE., UNIT 2"_s),
        at(u"Tim"_s, u"Lee"_s, u"3 Oak Rd"_s),
        at(u"Tim"_s, u"Lee"_s, u"3 Oak Road"_s, {}, u"89501-4410"_s),
        at(u"Al"_s, u"Kent"_s, u"7 Pine Ln"_s),
        at(u"Bea"_s, u"Kent"_s, u"7 Pine Lane"_s),
        at(u"Cal"_s, u"Kent"_s, u"7  Pine  Lane"_s),
        at(u"Di"_s, u"Moss"_s, u"5 Bay Ct"_s),
        at(u"Ed"_s, u"Nash"_s, u"5 Bay Court"_s),
        at(u"Flo"_s, u"Moss"_s, u"5 bay court"_s),
        at(u"Gil"_s, u"Ames"_s, u"5 Bay Court"_s, {}, u"89502"_s),
    };
    ContactRecord timAgain = listed[6];
    timAgain.MiddleInitial = u"Q"_s;

    const Mailing mailing = mailingOf(listed, {.households = true});
    // Each household stands where its first member is listed; other apartments, and the same street
    // at another ZIP code, are other households. The same person twice is one name.
    EXPECT_EQ(names(mailing), (QStringList{u"John & Mary Smith"_s, u"Ann Park & Bo Ray"_s, u"Cy Fox"_s, u"Tim Lee"_s,
                                           u"The Kent Family"_s, u"Di Moss, Ed Nash & household"_s, u"Gil Ames"_s}));
    EXPECT_EQ(mailing.labels[0],
              (LabelAddress{u"John & Mary Smith"_s, {}, u"12 North Main Street"_s, u"Reno, NV  89501"_s, {}}));
    EXPECT_TRUE(mailing.leftOut.isEmpty());

    // Without the choice every contact has a label of its own, in list order.
    EXPECT_EQ(mailingOf(listed, {}).labels.size(), listed.size());
    EXPECT_EQ(mailingOf({listed[5], timAgain}, {.households = true}).labels.front().name, u"Tim Lee"_s);
    EXPECT_EQ(householdKey(listed[1]), householdKey(listed[4]));
    EXPECT_EQ(householdKey(at(u"A"_s, u"B"_s, u"PO Box 5"_s)), householdKey(at(u"C"_s, u"D"_s, u"P.O. Box 5"_s)));
    // Without a street there is no household to share.
    EXPECT_EQ(mailingOf({at(u"A"_s, u"B"_s, {}), at(u"C"_s, u"D"_s, {})}, {.households = true}).labels.size(), 2u);
}

TEST(MailingOrder, AHouseholdKeepsACompanyLineEveryMemberAsksFor)
{
    const ContactRecord ann = test::withCompany(at(u"Ann"_s, u"Lee"_s, u"1 Oak St"_s), u"Acme"_s);
    const ContactRecord bo = test::withCompany(at(u"Bo"_s, u"Lee"_s, u"1 Oak St"_s), u"ACME"_s);
    ContactRecord silent = bo;
    silent.FirstName = u"Cy"_s;
    silent.IncludeCompany = u"0"_s;
    const ContactRecord elsewhere = test::withCompany(at(u"Di"_s, u"Lee"_s, u"1 Oak St"_s), u"Zenith"_s);

    EXPECT_EQ(mailingOf({ann, bo}, {.households = true}).labels.front().company, u"Acme"_s);
    EXPECT_EQ(mailingOf({ann, bo, silent}, {.households = true}).labels.front().company, u""_s);
    EXPECT_EQ(mailingOf({ann, elsewhere}, {.households = true}).labels.front().company, u""_s);
}

TEST(MailingOrder, ZipOrderPutsEachZipTogetherThenMailAbroadByCountry)
{
    std::vector<ContactRecord> listed = {
        at(u"Zed"_s, u"Able"_s, u"1 A St"_s, {}, u"89501"_s),
        at(u"Ann"_s, u"Cole"_s, u"1 B St"_s, {}, u"100011234"_s),
        at(u"Kim"_s, u"Berg"_s, u"1 C St"_s, {}, u"V6B 1A1"_s),
        at(u"Bob"_s, u"Able"_s, u"1 D St"_s, {}, u"89501"_s),
        at(u"Eve"_s, u"Dunn"_s, u"1 E St"_s, {}, u""_s),
        at(u"Lu"_s, u"Adams"_s, u"1 F St"_s, {}, u"10115"_s),
        at(u"Max"_s, u"Cruz"_s, u"1 G St"_s, {}, u"H2X 1Y4"_s),
        at(u"Sam"_s, u"Otis"_s, u"1 H St"_s, {}, u"89501"_s),
    };
    listed[2].Country = u"Canada"_s;
    listed[5].Country = u"Germany"_s;
    listed[6].Country = u"CANADA"_s;
    listed[7].Country = u"U.S.A."_s;

    const Mailing mailing = mailingOf(listed, {.zipOrder = true});
    // Canada writes names in capitals.
    EXPECT_EQ(names(mailing), (QStringList{u"Ann Cole"_s, u"Bob Able"_s, u"Zed Able"_s, u"Sam Otis"_s, u"Eve Dunn"_s,
                                           u"KIM BERG"_s, u"MAX CRUZ"_s, u"Lu Adams"_s}));
    // At home in Canada a blank country is Canada, and so abroad from the ZIP codes.
    listed[0].Country = u"USA"_s;
    const Mailing fromCanada = mailingOf({listed[2], listed[4], listed[0]}, {.zipOrder = true}, u"Canada");
    EXPECT_EQ(names(fromCanada), (QStringList{u"Zed Able"_s, u"Kim Berg"_s, u"Eve Dunn"_s}));
}

TEST(MailingOrder, AZipPlusFourWithoutItsHyphenAndACompanyStoredAsAContact)
{
    // One household at one ZIP+4, however it is written; an import writes it with its hyphen.
    const Mailing mailing = mailingOf({at(u"Ann"_s, u"Lee"_s, u"1 Oak St"_s, {}, u"89501-1234"_s),
                                       at(u"Bo"_s, u"Lee"_s, u"1 Oak St"_s, {}, u"895011234"_s)},
                                      {.households = true});
    EXPECT_EQ(names(mailing), QStringList{u"Ann & Bo Lee"_s});
    EXPECT_EQ(hyphenatedZip(u"895011234"_s), u"89501-1234"_s);
    EXPECT_EQ(hyphenatedZip(u"V6B 1A1"_s), u"V6B 1A1"_s);

    // A company stored with its name cut to the last name's 18 characters prints whole, once.
    ContactRecord bakery = at({}, u"Green Valley Baker"_s, u"1 Oak St"_s);
    bakery.Company = u"Green Valley Bakery"_s;
    bakery.IncludeCompany = u"1"_s;
    const LabelAddress label = labelAddress(bakery);
    EXPECT_EQ(label.name, u"Green Valley Bakery"_s);
    EXPECT_FALSE(label.hasCompany());
}

TEST(MailingOrder, CompleteOnlyLeavesOutAndNamesContactsWithoutAnAddress)
{
    ContactRecord noStreet = at(u"Ann"_s, u"Lee"_s, {});
    ContactRecord zipOnly = at(u"Bo"_s, u"Ray"_s, u"1 Oak St"_s);
    zipOnly.City.clear();
    ContactRecord cityOnly = at(u"Cy"_s, u"Fox"_s, u"2 Oak St"_s, {}, {});
    ContactRecord neither = at(u"Di"_s, u"Moss"_s, u"3 Oak St"_s, {}, u"8"_s);
    neither.City = u"R"_s;
    const ContactRecord whole = at(u"Ed"_s, u"Nash"_s, u"4 Oak St"_s);
    const std::vector<ContactRecord> listed = {noStreet, zipOnly, cityOnly, neither, whole};

    const Mailing mailing = mailingOf(listed, {.completeOnly = true});
    EXPECT_EQ(names(mailing), (QStringList{u"Bo Ray"_s, u"Cy Fox"_s, u"Ed Nash"_s}));
    EXPECT_EQ(mailing.leftOut, (QStringList{u"Ann Lee"_s, u"Di Moss"_s}));
    EXPECT_EQ(leftOutMessage(mailing.leftOut),
              (Message{u"2 contacts have no complete address (a street, and a city or a ZIP code) and get no "
                       u"label:\n\nAnn Lee\nDi Moss"_s,
                       u"Incomplete addresses"_s, MessageIcon::Information}));
    QStringList many;
    for (int i = 1; i <= 17; ++i)
        many << u"P%1"_s.arg(i);
    EXPECT_TRUE(leftOutMessage(many).text.endsWith(u"\nP15\nand 2 more"));
    EXPECT_EQ(leftOutHeading(1),
              u"1 contact has no complete address (a street, and a city or a ZIP code) and gets no label:");
    EXPECT_EQ(mailingOf(listed, {}).labels.size(), listed.size());
}

}  // namespace
}  // namespace pw
