#include "contacts_ui/contact_printouts.h"
#include "desktop/painter_surface.h"
#include "printing/calibration.h"
#include "printing/envelopes.h"
#include "printing/onthefly_labels.h"
#include "printing/return_address.h"
#include "printing/sheet_outlines.h"
#include "printing/typed_job.h"
#include "support/pdf_output_fixture.h"
#include "support/pdf_words.h"
#include "support/recording_surface.h"
#include "support/test_folder.h"

#include <QFile>
#include <QLineF>
#include <QMarginsF>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;
using Word = test::PdfWord;

int pagesOf(const QString& pdf)
{
    return test::pdfWords(pdf).pages;
}

QList<Word> wordsOf(const QString& pdf)
{
    return test::pdfWords(pdf).words;
}

using PdfSurfaceTest = test::PdfOutputTest;

TEST_F(PdfSurfaceTest, EveryLabelOfAWholeSheetLandsInsideItsPhysicalLabel)
{
    // Three lines where the table puts them, five in capitals raised as far as they must be.
    OnTheFlyLabels labels;
    labels.start = 1;
    labels.count = 30;
    const QStringList five = {QStringLiteral("MR JONATHAN Q SMITH"), QStringLiteral("ACME WIDGETS INC"),
                              QStringLiteral("12 LONG ROAD"), QStringLiteral("APT 4"), QStringLiteral("RENO, NV  89501")};
    labels.lines = five;
    printOnTheFlyLabels(surface, labels);
    ASSERT_TRUE(surface.endJob());
    const test::PdfWords fiveLines = test::pdfWords(pdf);
    EXPECT_EQ(fiveLines.pages, 1);
    ASSERT_EQ(fiveLines.words.size(), 30 * 15);
    for (int position = 1; position <= 30; ++position) {
        const QRectF area = test::labelArea(position);
        EXPECT_EQ(std::count_if(fiveLines.words.begin(), fiveLines.words.end(),
                                [&](const Word& w) { return area.contains(w.box); }),
                  15)
            << "position " << position;
    }

    labels.lines = {QStringLiteral("Alexandra Montgomery-Whitfield"), QStringLiteral("1234 Northwest Evergreen Blvd"),
                    QStringLiteral("Springfield, IL  62701"), {}, {}};
    ASSERT_EQ(labels.lines[0].size(), 30);
    surface.setFontName(QStringLiteral("Verdana"));
    printOnTheFlyLabels(surface, labels);
    ASSERT_TRUE(surface.endJob());

    const QList<Word> words = wordsOf(pdf);
    ASSERT_EQ(words.size(), 30 * 9);
    for (int position = 1; position <= 30; ++position) {
        const QRectF area = test::labelArea(position);
        const auto inside = std::count_if(words.begin(), words.end(), [&](const Word& w) {
            return w.page == 1 && area.contains(w.box);
        });
        EXPECT_EQ(inside, 9) << "position " << position;
    }

    // The grid is Verdana 9 point's: a column is 0.50830 em, from the printable area 0.25 inch in.
    const double column = 0.50830 * 9;
    const auto firstWord = [&](int position) {
        const QRectF area = test::labelArea(position);
        return *std::find_if(words.begin(), words.end(), [&](const Word& w) { return area.contains(w.box); });
    };
    EXPECT_EQ(firstWord(1).text, u"Alexandra");
    EXPECT_NEAR(firstWord(1).box.left(), 18 + 1 * column, 1.0);
    EXPECT_NEAR(firstWord(2).box.left(), 18 + 44 * column, 1.0);
    EXPECT_NEAR(firstWord(3).box.left(), 18 + 88 * column, 1.0);
    // Each block sits at the same place on its label: nine rows of labels, nine inches, apart.
    EXPECT_NEAR(firstWord(28).box.top() - firstWord(1).box.top(), 9 * 72, 0.1);
}

TEST_F(PdfSurfaceTest, TextBelowThePrintableAreaStartsANewPageButBlankRowsDoNot)
{
    surface.setFontName(QStringLiteral("Courier New"));
    surface.setFontSize(12);
    printBlankLines(surface, 200);
    surface.printLine({PrintItem::tab(3), PrintItem::textItem(QStringLiteral("first"))});
    surface.home();
    surface.printLine({PrintItem::textItem(QStringLiteral("top"))});
    ASSERT_TRUE(surface.endJob());

    // Both words land at the top of the second page, each at its own column.
    QList<Word> words = wordsOf(pdf);
    ASSERT_EQ(words.size(), 2);
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) { return a.text < b.text; });
    EXPECT_EQ(words[0].text, u"first");
    EXPECT_EQ(words[0].page, 2);
    EXPECT_NEAR(words[0].box.left(), 18 + 2 * 0.60010 * 12, 1.0);
    EXPECT_LT(words[0].box.top(), 18 + 1.13281 * 12);
    EXPECT_EQ(words[1].page, 2);
    EXPECT_NEAR(words[1].box.left(), 18, 1.0);
}

// Lines in three sizes with blank rows between, on three pages: the recording surface says for
// every word the page and column it lands on in the PDF.
TEST_F(PdfSurfaceTest, TheRecordingSurfaceFeedsANewPageWherePaperDoes)
{
    test::RecordingSurface recorded;
    const std::pair<PaperSize, PageOrientation> pages[] = {{PaperSize::Letter, PageOrientation::Portrait},
                                                           {PaperSize::Letter, PageOrientation::Landscape},
                                                           {PaperSize::Envelope10, PageOrientation::Landscape}};
    for (const auto& [paper, orientation] : pages) {
        setUpPdfOutput(printer, pdf);
        for (PrintSurface* target : std::initializer_list<PrintSurface*>{&surface, &recorded}) {
            target->setPaperSize(paper);
            target->setOrientation(orientation);
            target->setFontName(QStringLiteral("Verdana"));
            for (int i = 0; i < 90; ++i) {
                target->setFontSize(7 + i % 3 * 4);
                if (i % 4 == 0)
                    printBlankLines(*target, 2);
                target->printLine({PrintItem::tab(1 + i % 7 * 3), PrintItem::textItem(QStringLiteral("w%1").arg(i))});
            }
            ASSERT_TRUE(target->endJob());
        }
        const test::PdfWords printed = test::pdfWords(pdf);
        const test::RecordedJob& job = recorded.jobs.last();
        EXPECT_GE(printed.pages, 3);
        EXPECT_EQ(job.pages, printed.pages);
        ASSERT_EQ(printed.words.size(), job.texts.size());
        for (qsizetype i = 0; i < job.texts.size(); ++i) {
            const test::PlacedText& text = job.texts[i];
            EXPECT_EQ(printed.words[i].text, text.text);
            EXPECT_EQ(printed.words[i].page, text.page) << text.text.toStdString();
            EXPECT_NEAR(printed.words[i].box.left(), 18 + (text.column - 1) * 0.50830 * text.size, 1.0);
        }
    }
}

// Two copies that each end with a new page, as the details sheet prints them: two sheets, not three.
TEST_F(PdfSurfaceTest, ANewPageIsStartedOnlyWhenSomethingIsPlacedOnIt)
{
    test::RecordingSurface recorded;
    for (PrintSurface* target : std::initializer_list<PrintSurface*>{&surface, &recorded}) {
        target->newPage();
        for (const char* copy : {"one", "two"}) {
            target->printLine({PrintItem::textItem(QString::fromLatin1(copy))});
            target->newPage();
            printBlankLines(*target, 3);
        }
        ASSERT_TRUE(target->endJob());
    }
    EXPECT_EQ(pagesOf(pdf), 2);
    const QList<Word> words = wordsOf(pdf);
    ASSERT_EQ(words.size(), 2);
    EXPECT_EQ(words[1].text, u"two");
    EXPECT_EQ(words[1].page, 2);
    EXPECT_EQ(recorded.jobs.at(0).pages, 2);
    EXPECT_EQ(recorded.jobs.at(0).texts.at(1).page, 2);
}

TEST_F(PdfSurfaceTest, TwoCopiesOfAFullDetailsSheetStayInsideThePrintableAreaOfLetterAndA4)
{
    // Every field at its longest, in the widest characters.
    const int widths[kContactBoxCount] = {14, 1, 18, 30, 15, 16, 2, 10, 19, 30, 10, 15, 15, 13, 50, 80, 160};
    ContactBoxTexts boxes;
    for (std::size_t i = 0; i < kContactBoxCount; ++i)
        boxes.text[i] = QString(widths[i], u'W');
    for (int copy = 0; copy < 2; ++copy) {
        printDetailsSheet(surface, boxes, QStringLiteral("12/31/2026"), u"United States");
        surface.newPage();
    }
    ASSERT_TRUE(surface.endJob());

    const QList<Word> words = wordsOf(pdf);
    // Every caption and value, split at its spaces, and the country line of mail abroad.
    ASSERT_EQ(words.size(), 2 * 42);
    // A4 is the narrower paper (595 points), Letter the shorter (792).
    const QRectF printable(QPointF(18, 18), QPointF(595 - 18, 792 - 18));
    for (const Word& w : words) {
        EXPECT_TRUE(printable.contains(w.box)) << w.text.toStdString() << " page " << w.page;
        EXPECT_LE(w.page, 2);
    }
    EXPECT_EQ(std::count_if(words.begin(), words.end(), [](const Word& w) { return w.page == 2; }), 42);
    // The new page that ends the last copy adds no blank page.
    EXPECT_EQ(pagesOf(pdf), 2);
}

TEST_F(PdfSurfaceTest, AJobThePrinterCannotStartFailsAtItsEnd)
{
    setUpPdfOutput(printer, folder.file(QStringLiteral("missing/out.pdf")));
    surface.printLine({PrintItem::textItem(QStringLiteral("lost"))});
    EXPECT_FALSE(surface.endJob());
    // The next job starts afresh.
    setUpPdfOutput(printer, pdf);
    surface.printLine({PrintItem::textItem(QStringLiteral("kept"))});
    EXPECT_TRUE(surface.endJob());
    EXPECT_EQ(wordsOf(pdf).size(), 1);
}

// A printer that reports no hardware margins and defaults to A4, as a PDF print queue does.
void setUpMarginlessA4(QPrinter& printer, const QString& path)
{
    setUpPdfOutput(printer, path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
}

TEST_F(PdfSurfaceTest, LabelsLandOnTheSameSpotOfALetterPageWhateverThePrintersMarginsAndPaper)
{
    OnTheFlyLabels labels;
    labels.lines = {QStringLiteral("Ann Example"), QStringLiteral("12 Long Road"), {}, {}, {}};
    labels.start = 1;
    labels.count = 30;
    surface.setFontName(QStringLiteral("Verdana"));
    printOnTheFlyLabels(surface, labels);
    ASSERT_TRUE(surface.endJob());
    const QList<Word> typical = wordsOf(pdf);

    const QString other = folder.file(QStringLiteral("marginless.pdf"));
    setUpMarginlessA4(printer, other);
    printOnTheFlyLabels(surface, labels);
    ASSERT_TRUE(surface.endJob());
    const QList<Word> marginless = wordsOf(other);
    EXPECT_TRUE(test::pdfBoxes(other).contains(QStringLiteral(R"(<page width="612.000000" height="792.000000">)")));
    ASSERT_EQ(marginless.size(), typical.size());
    for (qsizetype i = 0; i < typical.size(); ++i) {
        EXPECT_NEAR(marginless[i].box.left(), typical[i].box.left(), 0.5) << i;
        EXPECT_NEAR(marginless[i].box.top(), typical[i].box.top(), 0.5) << i;
    }
}

TEST_F(PdfSurfaceTest, EveryReturnAddressLabelLandsInsideItsSmallLabel)
{
    // The part of an Avery 5167 sheet that published geometries agree on, 1/32 inch in.
    const double across[4][2] = {{0.3, 2.03125}, {2.35, 4.09375}, {4.40625, 6.15}, {6.46875, 8.2}};
    const double inset = 1.0 / 32;
    setUpMarginlessA4(printer, pdf);
    const ReturnAddressSheet sheet{{QStringLiteral("Ann Example"), QStringLiteral("12 Long Road"),
                                    QStringLiteral("Springfield IL 62701")},
                                   false, false, {}};
    printReturnAddressPage(surface, sheet);
    ASSERT_TRUE(surface.endJob());
    const QList<Word> words = wordsOf(pdf);
    ASSERT_EQ(words.size(), 80 * 8);

    // A first line in capitals too long for the label runs past its edge, and moves nothing: the
    // other lines of all 80 labels stay where they were, on one page.
    ReturnAddressSheet capitals = sheet;
    capitals.lines[0] = QStringLiteral("MR JONATHAN WORTHINGTON-SMYTHE III");
    printReturnAddressPage(surface, capitals);
    ASSERT_TRUE(surface.endJob());
    const test::PdfWords long_ = test::pdfWords(pdf);
    EXPECT_EQ(long_.pages, 1);
    const auto belowFirstLine = [](const QList<Word>& all) {
        QList<QRectF> boxes;
        for (const Word& w : all) {
            if (w.text == u"12" || w.text == u"Long" || w.text == u"Road" || w.text == u"Springfield")
                boxes.append(w.box);
        }
        std::sort(boxes.begin(), boxes.end(), [](const QRectF& a, const QRectF& b) {
            return std::pair{a.top(), a.left()} < std::pair{b.top(), b.left()};
        });
        return boxes;
    };
    EXPECT_EQ(belowFirstLine(long_.words).size(), 80 * 4);
    EXPECT_EQ(belowFirstLine(long_.words), belowFirstLine(words));
    for (int row = 0; row < 20; ++row) {
        for (int column = 0; column < 4; ++column) {
            const QRectF label(QPointF((across[column][0] + inset) * 72, (0.5 + 0.5 * row + inset) * 72),
                               QPointF((across[column][1] - inset) * 72, (1.0 + 0.5 * row - inset) * 72));
            const auto inside = std::count_if(words.begin(), words.end(),
                                              [&](const Word& w) { return label.contains(w.box); });
            EXPECT_EQ(inside, 8) << "row " << row << " column " << column;
        }
    }
}

TEST_F(PdfSurfaceTest, CapitalLinesTooWideAreNamedAndPrintedSmallerOrCutInsideTheirStock)
{
    const QStringList capitals = {QStringLiteral("MR JONATHAN WORTHINGTON-SMYTHE III"),
                                  QStringLiteral("1234 NORTHWEST EVERGREEN BLVD APT 12"),
                                  QStringLiteral("SOUTH LAKE TAHOE, CA  96150"), {}, {}};
    const auto printed = [&](const TypedJobRequest& request) {
        const TypedJob job = buildTypedJob(request, surface.measure());
        EXPECT_FALSE(job.overflows.isEmpty());
        job.run(surface);
        EXPECT_TRUE(surface.endJob());
        const test::PdfWords words = test::pdfWords(pdf);
        EXPECT_EQ(words.pages, 1);
        return std::pair{job, words.words};
    };
    const auto insideOne = [](const Word& w, const QList<QRectF>& outlines) {
        return std::any_of(outlines.begin(), outlines.end(), [&](const QRectF& inches) {
            return QRectF(inches.topLeft() * 72, inches.size() * 72).adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box);
        });
    };

    TypedJobRequest labels{.lines = capitals, .count = 30};
    labels.start = 1;
    auto [sheet, words] = printed(labels);
    EXPECT_TRUE(sheet.overflows.first().outcome.startsWith(u"printed at "));
    EXPECT_GE(words.size(), 30 * 10);
    for (const Word& w : words)
        EXPECT_TRUE(insideOne(w, labelSheetOutlines())) << w.text.toStdString();

    TypedJobRequest returns{.stock = TypedStock::ReturnAddresses, .lines = capitals};
    std::tie(sheet, words) = printed(returns);
    for (const Word& w : words)
        EXPECT_TRUE(insideOne(w, returnAddressOutlines())) << w.text.toStdString();

    TypedJobRequest envelope{.stock = TypedStock::Envelope,
                             .lines = capitals,
                             .envelopeSize = 3,
                             .envelopePaper = true};
    envelope.place = *envelopePlace(3);
    std::tie(sheet, words) = printed(envelope);
    EXPECT_EQ(words.size(), 15);
    for (const Word& w : words)
        EXPECT_TRUE(insideOne(w, {envelopeAddressFrame(sheet.outlines.first())})) << w.text.toStdString();
}

// Each envelope is a page of its own size, whatever paper the printer had, its address on the
// envelope and in the Postal Service's reading area in every font.
TEST_F(PdfSurfaceTest, EachEnvelopeIsAPageOfItsOwnWithTheAddressInTheReadingArea)
{
    static const QRegularExpression pageSize(QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    for (int code = 1; code <= kEnvelopeSizeCount; ++code) {
        for (const auto& [bold, large] : {std::pair{false, false}, std::pair{true, true}}) {
            setUpMarginlessA4(printer, pdf);
            const EnvelopeJob envelope{{QStringLiteral("Alexandra Montgomery-Whitfield"),
                                        QStringLiteral("1234 Northwest Evergreen Blvd"), QStringLiteral("Apt 5"),
                                        QStringLiteral("Springfield, IL  62701"), QStringLiteral("USA")},
                                       false,
                                       bold,
                                       large,
                                       *envelopePlace(code),
                                       {},
                                       code};
            printEnvelope(surface, envelope);
            ASSERT_TRUE(surface.endJob());
            const QSizeF inches = envelopeInches(code);
            const QRegularExpressionMatch page = pageSize.match(test::pdfBoxes(pdf));
            ASSERT_TRUE(page.hasMatch());
            EXPECT_NEAR(page.captured(1).toDouble(), inches.width() * 72, 0.5) << code;
            EXPECT_NEAR(page.captured(2).toDouble(), inches.height() * 72, 0.5) << code;
            const double height = inches.height() * 72;
            const QRectF clear(QPointF(9, 9), QPointF(inches.width() * 72 - 9, height - 9));
            const QList<Word> words = wordsOf(pdf);
            ASSERT_EQ(words.size(), 12);
            for (const Word& w : words) {
                EXPECT_TRUE(clear.contains(w.box)) << w.text.toStdString() << " size " << code << " large " << large;
                EXPECT_GE(w.box.top(), height - 2.75 * 72 - 0.5) << w.text.toStdString() << " size " << code;
                EXPECT_LE(w.box.bottom(), height - 0.625 * 72) << w.text.toStdString() << " size " << code;
            }
        }
    }
}

TEST_F(PdfSurfaceTest, EveryPdfItWritesAsksToBePrintedAtActualSize)
{
    for (int job = 0; job < 2; ++job) {
        surface.printLine({PrintItem::textItem(QStringLiteral("Ann"))});
        ASSERT_TRUE(surface.endJob());
    }
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("/ViewerPreferences << /PrintScaling /None >>"), 1);
    // The update is read back by a PDF reader, and the page is still there with its text.
    EXPECT_EQ(pagesOf(pdf), 1);
    EXPECT_EQ(wordsOf(pdf).size(), 1);
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(pdfinfo.waitForFinished(30000));
    EXPECT_EQ(pdfinfo.exitCode(), 0) << pdfinfo.readAllStandardError().toStdString();
    const QByteArray info = pdfinfo.readAllStandardOutput();
    EXPECT_TRUE(info.contains("612 x 792 pts")) << info.toStdString();
}

TEST_F(PdfSurfaceTest, OnceCalibratedAPrinterLowAndLongPutsEveryLineOfAWholeSheetOnItsLabel)
{
    // The sheet: each cross's tick 0 where the cross belongs, its captions where they say.
    printCalibrationSheet(surface);
    ASSERT_TRUE(surface.endJob());
    const QList<Word> sheet = wordsOf(pdf);
    const auto centreOf = [&](const QString& text, QPointF near) {
        QPointF best(1e9, 1e9);
        for (const Word& w : sheet) {
            const QPointF c = w.box.center() / 72;
            if (w.text == text && QLineF(c, near).length() < QLineF(best, near).length())
                best = c;
        }
        return best;
    };
    EXPECT_NEAR(centreOf(u"0"_s, {1.0, 2.1}).x(), 1.0, 0.03);  // under A, across
    EXPECT_NEAR(centreOf(u"-10"_s, {1.7, 1.6}).y(), 1.6, 0.03);  // beside A, down
    EXPECT_NEAR(centreOf(u"20"_s, {6.9, 9.8}).y(), 9.8, 0.03);  // beside B
    EXPECT_NEAR(centreOf(u"A:"_s, {2.1, 1.4}).x() - 0.1, 2.05, 0.02);

    // A printer that prints 1/16 inch low and 1% long down, measured on that sheet once.
    const PrinterCalibration printer{{0, 1.0 / 16}, {1, 1.01}};
    OnTheFlyLabels labels;
    labels.start = 1;
    labels.count = 30;
    labels.lines = {u"MR JONATHAN Q SMITH"_s, u"ACME WIDGETS INC"_s, u"12 LONG ROAD"_s, u"APT 4"_s,
                    u"RENO, NV  89501"_s};
    const auto labelsWhole = [&] {
        printOnTheFlyLabels(surface, labels);
        EXPECT_TRUE(surface.endJob());
        const QList<Word> words = wordsOf(pdf);
        EXPECT_EQ(words.size(), 30 * 15);
        int whole = 0;
        for (int position = 1; position <= 30; ++position) {
            const QRectF area = test::labelArea(position);
            const auto inside = std::count_if(words.begin(), words.end(), [&](const Word& w) {
                return area.contains(
                    QRectF(printer.landing(w.box.topLeft() / 72) * 72, printer.landing(w.box.bottomRight() / 72) * 72));
            });
            whole += inside == 15 ? 1 : 0;
        }
        return whole;
    };
    EXPECT_LT(labelsWhole(), 25);
    surface.setCalibration(calibrationFromMarks({printer.landing(kCalibrationMarkA) - kCalibrationMarkA,
                                                 printer.landing(kCalibrationMarkB) - kCalibrationMarkB}));
    EXPECT_EQ(labelsWhole(), 30);
}

}  // namespace
}  // namespace pw
