#include "desktop/painter_surface.h"
#include "list/contact_report.h"
#include "list/list_labels.h"
#include "printing/margin_settings.h"
#include "printing/stock_catalogue.h"
#include "program/app_files.h"
#include "support/pdf_output_fixture.h"
#include "support/pdf_words.h"
#include "support/test_folder.h"

#include <QPrinter>
#include <QProcess>

#include <gtest/gtest.h>

namespace pw {
namespace {

using test::PdfWord;

using ListOnPaper = test::PdfOutputTest;

// Long names and streets, and a company line on every `companyEvery`th label (none for 0).
std::vector<LabelAddress> sixtyOneAddresses(int companyEvery)
{
    std::vector<LabelAddress> all;
    for (int i = 1; i <= 61; ++i) {
        LabelAddress a;
        a.name = QStringLiteral("Alexandra Q Montgomery%1").arg(i);
        if (companyEvery > 0 && i % companyEvery == 1 % companyEvery)
            a.company = QStringLiteral("Northwest Evergreen Supply%1").arg(i);
        a.street = QStringLiteral("1234 Northwest Evergreen Blvd %1").arg(i);
        a.city = QStringLiteral("Springfield, IL  627%1").arg(i, 2, 10, QLatin1Char('0'));
        all.push_back(a);
    }
    return all;
}

TEST_F(ListOnPaper, SixtyOneLabelsLandInsideTheirLabelsOnThreeSheets)
{
    // The correction as delivered, which a user who never adjusted it prints with.
    ASSERT_TRUE(prepareApplicationFolder(folder.path()));
    const Expected<MarginSettings> delivered = readMarginSettings(folder.file(QStringLiteral("PWKPARAM.TXT")));
    ASSERT_TRUE(delivered);
    const ListLabelStyle style{false, false, delivered->pair(MarginKind::SearchResult)};

    // Rows of three-line labels only, of mixed ones, and of four-line ones only.
    for (int companyEvery : {0, 4, 1}) {
        SCOPED_TRACE(companyEvery);
        setUpPdfOutput(printer, pdf);
        const std::vector<LabelAddress> addresses = sixtyOneAddresses(companyEvery);
        surface.setFontName(QStringLiteral("Verdana"));
        surface.setFontSize(9);
        printListLabelsJob(surface, addresses, style);
        ASSERT_TRUE(surface.endJob());

        const test::PdfWords printed = test::pdfWords(pdf);
        EXPECT_EQ(printed.pages, 3);
        // Each word of each label inside that label: the name, company and street end with the
        // label's number, and the city line follows the street.
        for (int i = 0; i < 61; ++i) {
            const LabelAddress& a = addresses[i];
            const int page = i / 30 + 1;
            const QRectF area = test::labelArea(i % 30 + 1);
            for (const QString& line : {a.name, a.company, a.street, a.city}) {
                if (line.isEmpty())
                    continue;
                const QString last = line.split(u' ').last();
                const auto word = std::find_if(printed.words.begin(), printed.words.end(),
                                               [&](const PdfWord& w) { return w.page == page && w.text == last; });
                ASSERT_NE(word, printed.words.end()) << last.toStdString();
                EXPECT_TRUE(area.contains(word->box)) << last.toStdString() << " at " << word->box.top() / 72 << " to "
                                                      << word->box.bottom() / 72 << " in";
            }
        }
        // And no word anywhere else.
        int expected = 0;
        for (const LabelAddress& a : addresses) {
            for (const QString& line : {a.name, a.company, a.street, a.city})
                expected += static_cast<int>(line.split(u' ', Qt::SkipEmptyParts).size());
        }
        EXPECT_EQ(printed.words.size(), expected);
        for (const PdfWord& w : printed.words) {
            bool inside = false;
            for (int position = 1; position <= 30; ++position)
                inside = inside || test::labelArea(position).contains(w.box);
            EXPECT_TRUE(inside) << w.text.toStdString() << " on page " << w.page;
        }
    }
}

TEST_F(ListOnPaper, EveryStockTakesItsLabelsOnAFullAndAPartlyUsedSheet)
{
    // Labels of three to five lines: a company on every third, a country on every second.
    const auto addressesFor = [](int count) {
        std::vector<LabelAddress> all = sixtyOneAddresses(3);
        all.resize(static_cast<std::size_t>(count));
        for (int i = 1; i <= count; i += 2)
            all[static_cast<std::size_t>(i - 1)].country = QStringLiteral("Germany%1").arg(i);
        return all;
    };
    // The built-in stocks, and A4 stocks of the installed templates when there are any.
    QList<LabelStock> stocks = labelStocks();
    for (const char* name : {"L7160", "L7163", "Zweckform 3475"}) {
        if (const LabelStock* stock = findStock(installedStocks(), QString::fromLatin1(name)).stock)
            stocks.append(*stock);
    }
    for (const LabelStock& stock : stocks) {
        const QList<QRectF> outlines = stock.outlines();
        // A whole sheet from its first label, and one sheet's worth from label 4 on, in bold.
        for (const int start : {1, 4}) {
            SCOPED_TRACE(stock.name.toStdString() + " from " + std::to_string(start));
            setUpPdfOutput(printer, pdf);
            const std::vector<LabelAddress> addresses = addressesFor(stock.labels());
            printListLabelsJob(surface, addresses, {start > 1, false, {}}, start, stock);
            ASSERT_TRUE(surface.endJob());

            const test::PdfWords printed = test::pdfWords(pdf);
            EXPECT_EQ(printed.pages, start == 1 ? 1 : 2);
            EXPECT_TRUE(test::pdfBoxes(pdf).contains(
                QStringLiteral("<page width=\"%1.").arg(static_cast<int>(stock.page.width() * 72))));
            int expected = 0;
            for (std::size_t i = 0; i < addresses.size(); ++i) {
                const LabelAddress& a = addresses[i];
                const qsizetype slot = start - 1 + static_cast<qsizetype>(i);
                const int page = static_cast<int>(slot / stock.labels()) + 1;
                const QRectF& label = outlines[slot % stock.labels()];
                const QRectF area(label.topLeft() * 72, label.size() * 72);
                for (const QString& line : {a.name, a.company, a.street, a.city, a.country}) {
                    if (line.isEmpty())
                        continue;
                    expected += static_cast<int>(line.split(u' ', Qt::SkipEmptyParts).size());
                    const QString last = line.split(u' ').last();
                    const auto word = std::find_if(printed.words.begin(), printed.words.end(),
                                                   [&](const PdfWord& w) { return w.page == page && w.text == last; });
                    ASSERT_NE(word, printed.words.end()) << last.toStdString();
                    EXPECT_TRUE(area.contains(word->box)) << last.toStdString() << " at " << word->box.left() / 72
                                                          << ", " << word->box.top() / 72 << " in";
                }
            }
            // Nothing but these words, and each inside a label.
            EXPECT_EQ(printed.words.size(), expected);
            for (const PdfWord& w : printed.words) {
                EXPECT_TRUE(std::any_of(outlines.begin(), outlines.end(), [&](const QRectF& label) {
                    return QRectF(label.topLeft() * 72, label.size() * 72).contains(w.box);
                })) << w.text.toStdString();
            }
        }
    }
}

TEST_F(ListOnPaper, ALineTooLongForItsLabelMovesNoOtherLabel)
{
    // Label 4 has a company line, so its city is the fourth line of its row, which labels 5 and 6
    // do not have: a city line too long for label 4 is broken, shrunk or cut inside label 4 and
    // touches no word of another label.
    std::vector<LabelAddress> addresses = sixtyOneAddresses(0);
    addresses.resize(30);
    addresses[3].company = QStringLiteral("Acme");
    const auto printed = [&] {
        setUpPdfOutput(printer, pdf);
        printListLabelsJob(surface, addresses, {});
        EXPECT_TRUE(surface.endJob());
        return test::pdfWords(pdf);
    };
    // Every word of the other labels, as text and box, top to bottom.
    const QRectF fourth = test::labelArea(4);
    const auto others = [&](const test::PdfWords& all) {
        QList<std::pair<QString, QRectF>> kept;
        for (const PdfWord& w : all.words) {
            if (!fourth.intersects(w.box))
                kept.append({w.text, w.box});
        }
        std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) {
            return std::pair{a.second.top(), a.second.left()} < std::pair{b.second.top(), b.second.left()};
        });
        return kept;
    };
    const test::PdfWords before = printed();
    addresses[3].city = QStringLiteral("SOUTH SPRINGFIELD-ON-THE-MISSISSIPPI-AND-OHIO-RIVERS, ILLINOIS  62704-1234");
    const test::PdfWords after = printed();
    EXPECT_EQ(after.pages, 1);
    EXPECT_EQ(others(before).size(), before.words.size() - 12);
    EXPECT_EQ(others(after), others(before));
    for (const PdfWord& w : after.words) {
        if (fourth.intersects(w.box))
            EXPECT_TRUE(fourth.contains(w.box)) << w.text.toStdString();
    }
}

TEST_F(ListOnPaper, AfterABoldLabelJobTheReportPrintsRegularEachLineOnItsRowsAndWholeOnThePage)
{
    // The printer keeps its style from one job to the next.
    printListLabelsJob(surface, sixtyOneAddresses(0), {true, false, {}});
    ASSERT_TRUE(surface.endJob());
    setUpPdfOutput(printer, pdf);

    // Names at full width in capitals, and e-mail addresses of the 50 characters a record holds.
    QStringList lines, emails;
    for (int i = 0; i < 60; ++i) {
        emails << QStringLiteral("christopherson.worthington-smythe%1@example-mail.com").arg(i, 2, 10, QLatin1Char('0'));
        lines << QStringLiteral("CHRISTOPHERSON Q. WORTHINGTON-SMYTHE\tSPRINGFIELD     \tIL\t62701     \t"
                                "(217) 555-0100 \t(217) 555-0199 \t") + emails.last();
    }
    surface.setOrientation(PageOrientation::Landscape);
    printReportJob(surface, lines, AddressDisplay::Email, QStringLiteral("PWK_Contacts"));
    ASSERT_TRUE(surface.endJob());

    QProcess pdffonts;
    pdffonts.start(QStringLiteral("pdffonts"), {pdf});
    ASSERT_TRUE(pdffonts.waitForFinished(30000));
    const QString fonts = QString::fromUtf8(pdffonts.readAllStandardOutput());
    EXPECT_TRUE(fonts.contains(u"DejaVuSans") && !fonts.contains(u"Bold")) << fonts.toStdString();

    const test::PdfWords printed = test::pdfWords(pdf);
    const QRectF printable(QPointF(18, 18), QPointF(11 * 72 - 18, 8.5 * 72 - 18));
    QList<PdfWord> words = printed.words;
    std::sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
        return std::tuple{a.page, qRound(a.box.top()), a.box.left()} < std::tuple{b.page, qRound(b.box.top()), b.box.left()};
    });
    const auto onANameRow = [&](const PdfWord& w) {
        return std::any_of(words.begin(), words.end(), [&](const PdfWord& n) {
            return n.page == w.page && n.text == u"CHRISTOPHERSON" && std::abs(n.box.top() - w.box.top()) < 1;
        });
    };
    QString emailColumn;
    int wholePhones = 0;
    for (const PdfWord& w : words) {
        EXPECT_TRUE(printable.contains(w.box)) << w.text.toStdString() << " on page " << w.page;
        // No piece runs into the next: words on one row never overlap.
        for (const PdfWord& other : words) {
            if (&other != &w && other.page == w.page && std::abs(other.box.top() - w.box.top()) < 1)
                EXPECT_FALSE(other.box.intersects(w.box)) << w.text.toStdString() << " " << other.text.toStdString();
        }
        // Every list line starts a row of its own with all its pieces on it, a phone as people
        // write it whole.
        if (w.text == u"SPRINGFIELD")
            EXPECT_TRUE(onANameRow(w));
        if (w.text == u"555-0199") {
            EXPECT_TRUE(onANameRow(w));
            ++wholePhones;
        }
        if (w.box.left() > 7.9 * 72)
            emailColumn += w.text;
    }
    EXPECT_EQ(emailColumn, QStringLiteral("EmailAddress") + emails.join(QString()));
    EXPECT_EQ(wholePhones, 60);
}

}  // namespace
}  // namespace pw
