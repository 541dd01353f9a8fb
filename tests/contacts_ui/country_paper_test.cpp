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
using CountryOnPaper = test::PdfOutputTest;

QStringList sorted(QStringList words)
{
    words.sort();
    return words;
}

// The words printed inside `area` (points), sorted, and whether `last` is on their lowest line.
QStringList wordsEndingWith(const test::PdfWords& printed, const QRectF& area, const QString& last)
{
    QStringList words;
    double lowest = 0, lastTop = -1;
    for (const test::PdfWord& w : printed.words) {
        if (!area.contains(w.box))
            continue;
        words << w.text;
        lowest = std::max(lowest, w.box.top());
        if (w.text == last)
            lastTop = w.box.top();
    }
    EXPECT_EQ(lastTop, lowest) << last.toStdString() << " is not the last line";
    return sorted(words);
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

    // Each country's own order and capitals (Canada's whole address, France's city), no country for
    // mail at home, a contact without an address is its name alone.
    const test::PdfWords labels = test::pdfWords(pdf);
    EXPECT_EQ(wordsEndingWith(labels, test::labelArea(1), u"CANADA"_s),
              sorted(u"CLAIRE TREMBLAY 1200 RUE SAINTE-CATHERINE MONTREAL QC H2X 3K7 CANADA"_s.split(u' ')));
    EXPECT_EQ(wordsEndingWith(labels, test::labelArea(2), u"FRANCE"_s),
              sorted(u"Luc Moreau 4 Rue Vieille PARIS 75004 FRANCE"_s.split(u' ')));
    EXPECT_EQ(wordsEndingWith(labels, test::labelArea(3), u"89501"_s),
              sorted(u"Ann Lee 12 Main St Reno, NV 89501"_s.split(u' ')));
    EXPECT_EQ(wordsEndingWith(labels, test::labelArea(4), u"Kim"_s), sorted({u"Dee"_s, u"Kim"_s}));

    // An envelope prints the lines Print Label copied from the contact.
    setUpPdfOutput(printer, pdf);
    const LabelLines lines = addressLabelLines(boxTextsOf(paris), false, u"United States");
    printEnvelope(surface, {QStringList(lines.begin(), lines.end()), false, false, false, *envelopePlace(1), {}, 1});
    ASSERT_TRUE(surface.endJob());
    const QRectF envelope = envelopeOnPage(1, EnvelopeFeed::OwnPage);
    EXPECT_EQ(wordsEndingWith(test::pdfWords(pdf), QRectF(envelope.topLeft() * 72, envelope.bottomRight() * 72),
                              u"FRANCE"_s),
              sorted(u"Luc Moreau 4 Rue Vieille PARIS 75004 FRANCE"_s.split(u' ')));
}

}  // namespace
}  // namespace pw
