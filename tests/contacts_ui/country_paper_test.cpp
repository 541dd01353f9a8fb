#include "contacts_ui/contact_printouts.h"
#include "data/contact_validation.h"
#include "list/list_labels.h"
#include "printing/envelopes.h"
#include "printing/sheet_outlines.h"
#include "support/pdf_output_fixture.h"
#include "support/pdf_words.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;
using test::PdfWord;
using CountryOnPaper = test::PdfOutputTest;

const PdfWord* wordOf(const test::PdfWords& printed, const QString& text)
{
    for (const PdfWord& w : printed.words) {
        if (w.text == text)
            return &w;
    }
    ADD_FAILURE() << "no word " << text.toStdString();
    return nullptr;
}

QStringList sortedWords(const test::PdfWords& printed)
{
    QStringList texts;
    for (const PdfWord& w : printed.words)
        texts << w.text;
    texts.sort();
    return texts;
}

QStringList sortedWords(const QString& text)
{
    QStringList texts = text.split(u' ');
    texts.sort();
    return texts;
}

TEST_F(CountryOnPaper, MailAbroadEndsWithItsCountryOnListLabelsAndEnvelopes)
{
    const ContactRecord montreal{.FirstName = u"Claire"_s, .LastName = u"Tremblay"_s,
                                 .Street1 = u"1200 Rue Sainte-Catherine"_s, .City = u"Montreal"_s,
                                 .State = u"QC"_s, .Zip = u"H2X 3K7"_s, .Country = u"CANADA"_s};
    const ContactRecord paris{.FirstName = u"Luc"_s, .LastName = u"Moreau"_s, .Street1 = u"4 Rue Vieille"_s,
                              .City = u"Paris"_s, .Zip = u"75004"_s, .Country = u"FRANCE"_s};
    const ContactRecord reno{.FirstName = u"Ann"_s, .LastName = u"Lee"_s, .Street1 = u"12 Main St"_s,
                             .City = u"Reno"_s, .State = u"NV"_s, .Zip = u"89501"_s, .Country = u"U.S.A."_s};
    const ContactRecord nowhere{.FirstName = u"Dee"_s, .LastName = u"Kim"_s};
    std::vector<LabelAddress> addresses;
    for (const ContactRecord& r : {montreal, paris, reno, nowhere})
        addresses.push_back(labelAddress(r, u"United States"));
    printListLabelsJob(surface, addresses, {});
    ASSERT_TRUE(surface.endJob());

    // The country inside its label, under the city line; no comma without a state, no country for
    // mail at home, and a contact without an address is its name alone.
    const test::PdfWords labels = test::pdfWords(pdf);
    for (const auto& [position, city, country] : {std::tuple{1, u"3K7"_s, u"CANADA"_s}, {2, u"75004"_s, u"FRANCE"_s}}) {
        const PdfWord* above = wordOf(labels, city);
        const PdfWord* below = wordOf(labels, country);
        ASSERT_TRUE(above && below);
        EXPECT_TRUE(test::labelArea(position).contains(below->box)) << country.toStdString();
        EXPECT_GT(below->box.top(), above->box.bottom() - 1) << country.toStdString();
    }
    EXPECT_EQ(sortedWords(labels), sortedWords(u"Claire Tremblay 1200 Rue Sainte-Catherine Montreal, QC H2X 3K7 CANADA "
                                               u"Luc Moreau 4 Rue Vieille Paris 75004 FRANCE "
                                               u"Ann Lee 12 Main St Reno, NV 89501 Dee Kim"_s));

    // An envelope prints the lines Print Label copied from the contact.
    setUpPdfOutput(printer, pdf);
    const LabelLines lines = addressLabelLines(boxTextsOf(paris), false, u"United States");
    const EnvelopeJob envelope{QStringList(lines.begin(), lines.end()), false, false, false, *envelopePlace(1), {}};
    printEnvelope(surface, envelope);
    ASSERT_TRUE(surface.endJob());
    const test::PdfWords printed = test::pdfWords(pdf);
    EXPECT_EQ(sortedWords(printed), sortedWords(u"Luc Moreau 4 Rue Vieille Paris 75004 FRANCE"_s));
    const QRectF outline = envelopeOutline(1);
    const PdfWord* country = wordOf(printed, u"FRANCE"_s);
    ASSERT_TRUE(country);
    EXPECT_TRUE(QRectF(outline.topLeft() * 72, outline.bottomRight() * 72).contains(country->box));
    EXPECT_GT(country->box.top(), wordOf(printed, u"75004"_s)->box.bottom() - 1);
}

}  // namespace
}  // namespace pw
