#include "printing/address_format.h"

#include "list/list_labels.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

// The lines of a label for a contact abroad, name first, as the list prints them.
QStringList labelOf(const QString& company, const QString& street, const QString& city, const QString& state,
                    const QString& zip, const QString& country)
{
    ContactRecord r;
    r.FirstName = u"Ann"_s;
    r.LastName = u"Lee"_s;
    r.Company = company;
    r.IncludeCompany = company.isEmpty() ? u"0"_s : u"1"_s;
    r.Street1 = street;
    r.City = city;
    r.State = state;
    r.Zip = zip;
    r.Country = country;
    const LabelAddress a = labelAddress(r);
    QStringList lines;
    if (a.companyAbove)
        lines << a.company;
    lines << a.name;
    if (!a.companyAbove && a.hasCompany())
        lines << a.company;
    lines << a.street << a.city.split(u'\n') << a.country;
    return lines;
}

TEST(AddressFormat, EachCountryInItsOwnOrderAndCapitalsWithItsCountryLast)
{
    EXPECT_EQ(labelOf({}, u"Invalidenstr. 117"_s, u"Berlin"_s, {}, u"10115"_s, u"Germany"_s),
              (QStringList{u"Ann Lee"_s, u"Invalidenstr. 117"_s, u"10115 BERLIN"_s, u"GERMANY"_s}));
    EXPECT_EQ(labelOf({}, u"10 Downing Street"_s, u"London"_s, {}, u"SW1A 2AA"_s, u"UK"_s),
              (QStringList{u"Ann Lee"_s, u"10 Downing Street"_s, u"LONDON"_s, u"SW1A 2AA"_s, u"UK"_s}));
    EXPECT_EQ(labelOf(u"Acme"_s, u"2 Darling St"_s, u"Rozelle"_s, u"NSW"_s, u"2039"_s, u"Australia"_s),
              (QStringList{u"Acme"_s, u"Ann Lee"_s, u"2 Darling St"_s, u"ROZELLE NSW 2039"_s, u"AUSTRALIA"_s}));
    EXPECT_EQ(labelOf({}, u"3 rue Sainte-Catherine"_s, u"Montreal"_s, u"QC"_s, u"H2X 1Y4"_s, u"Canada"_s),
              (QStringList{u"ANN LEE"_s, u"3 RUE SAINTE-CATHERINE"_s, u"MONTREAL QC H2X 1Y4"_s, u"CANADA"_s}));
    EXPECT_EQ(labelOf(u"Acme"_s, u"8 rue Royale"_s, u"Paris"_s, {}, u"75008"_s, u"France"_s),
              (QStringList{u"Acme"_s, u"Ann Lee"_s, u"8 rue Royale"_s, u"75008 PARIS"_s, u"FRANCE"_s}));
    EXPECT_EQ(labelOf({}, u"1-1 Chiyoda"_s, u"Chiyoda-ku"_s, u"Tokyo"_s, u"100-0001"_s, u"Japan"_s),
              (QStringList{u"Ann Lee"_s, u"1-1 Chiyoda, TOKYO"_s, u"100-0001"_s, u"JAPAN"_s}));

    // Names, codes and usual other names are one country; the home country keeps its own order.
    for (const char16_t* name : {u"UK", u"United Kingdom", u"u.k.", u"Great Britain", u"GBR", u"GB"})
        EXPECT_EQ(countryKey(name), u"GB"_s) << QString::fromUtf16(name).toStdString();
    EXPECT_EQ(countryKey(u"Holland"), u"NL"_s);
    EXPECT_EQ(labelOf({}, u"1 Main St"_s, u"Reno"_s, u"NV"_s, u"89501"_s, u"USA"_s),
              (QStringList{u"Ann Lee"_s, u"1 Main St"_s, u"Reno, NV  89501"_s, QString()}));
}

}  // namespace
}  // namespace pw
