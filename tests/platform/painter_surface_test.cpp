#include "platform/painter_surface.h"

#include "contacts_ui/contact_printouts.h"
#include "printing/onthefly_labels.h"
#include "support/test_folder.h"

#include <QPrinter>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pw {
namespace {

// A word as pdftotext -bbox reports it, in points from the top-left corner of its page.
struct Word final {
    int page;
    QRectF box;
    QString text;
};

QList<Word> wordsOf(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(30000)) << "pdftotext (poppler-utils) is needed";
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression item(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Word> words;
    int page = 0;
    for (const QRegularExpressionMatch& m : item.globalMatch(html)) {
        if (m.captured(0) == u"<page ") {
            ++page;
            continue;
        }
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.append({page, QRectF(topLeft, bottomRight), m.captured(5)});
    }
    return words;
}

int pageCount(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    pdftotext.waitForFinished(30000);
    return static_cast<int>(pdftotext.readAllStandardOutput().count("<page "));
}

class PdfSurfaceTest : public ::testing::Test {
protected:
    test::TestFolder folder;
    QString pdf = folder.file(QStringLiteral("out.pdf"));
    QPrinter printer{QPrinter::HighResolution};
    PainterSurface surface{printer};

    void SetUp() override { setUpPdfOutput(printer, pdf); }
};

TEST_F(PdfSurfaceTest, EveryLabelOfAWholeSheetLandsInsideItsPhysicalLabel)
{
    // The part of an Avery 5160 sheet that every published geometry calls label, 1/16 inch in.
    const double across[3][2] = {{0.1875, 2.78125}, {2.9375, 5.5625}, {5.71875, 8.3125}};
    const auto labelArea = [&](int position) {
        const int c = (position - 1) % 3;
        const int r = (position - 1) / 3;
        return QRectF(QPointF(across[c][0] * 72, (0.5 + r) * 72), QPointF(across[c][1] * 72, (1.5 + r) * 72));
    };

    OnTheFlyLabels labels;
    labels.lines = {QStringLiteral("Alexandra Montgomery-Whitfield"), QStringLiteral("1234 Northwest Evergreen Blvd"),
                    QStringLiteral("Springfield, IL  62701"), {}, {}};
    ASSERT_EQ(labels.lines[0].size(), 30);
    labels.start = 1;
    labels.count = 30;
    surface.setFontName(QStringLiteral("Verdana"));
    printOnTheFlyLabels(surface, labels);
    ASSERT_TRUE(surface.endJob());

    const QList<Word> words = wordsOf(pdf);
    ASSERT_EQ(words.size(), 30 * 9);
    for (int position = 1; position <= 30; ++position) {
        const QRectF area = labelArea(position);
        const auto inside = std::count_if(words.begin(), words.end(), [&](const Word& w) {
            return w.page == 1 && area.contains(w.box);
        });
        EXPECT_EQ(inside, 9) << "position " << position;
    }

    // The grid is Verdana 9 point's: a column is 0.50830 em, a row 1.21533 em, from the printable
    // area 0.25 inch in.
    const double column = 0.50830 * 9;
    const double row = 1.21533 * 9;
    const auto firstWord = [&](int position) {
        const QRectF area = labelArea(position);
        return *std::find_if(words.begin(), words.end(), [&](const Word& w) { return area.contains(w.box); });
    };
    EXPECT_EQ(firstWord(1).text, u"Alexandra");
    EXPECT_NEAR(firstWord(1).box.left(), 18 + 1 * column, 1.0);
    EXPECT_NEAR(firstWord(2).box.left(), 18 + 44 * column, 1.0);
    EXPECT_NEAR(firstWord(3).box.left(), 18 + 88 * column, 1.0);
    EXPECT_NEAR(firstWord(28).box.top() - firstWord(1).box.top(), (62 - 3) * row, 0.1);
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

TEST_F(PdfSurfaceTest, TwoCopiesOfAFullDetailsSheetStayInsideThePrintableAreaOfTwoLetterPages)
{
    // Every field at its longest, in the widest characters.
    const int widths[kContactBoxCount] = {14, 1, 18, 30, 15, 16, 2, 10, 19, 30, 10, 15, 15, 13, 50, 80, 160};
    ContactBoxTexts boxes;
    for (std::size_t i = 0; i < kContactBoxCount; ++i)
        boxes.text[i] = QString(widths[i], u'W');
    for (int copy = 0; copy < 2; ++copy) {
        printDetailsSheet(surface, boxes, QStringLiteral("12/31/2026"));
        surface.newPage();
    }
    ASSERT_TRUE(surface.endJob());

    const QList<Word> words = wordsOf(pdf);
    ASSERT_EQ(words.size(), 2 * 41);  // every caption and value, split at its spaces
    const QRectF printable(QPointF(18, 18), QPointF(612 - 18, 792 - 18));
    for (const Word& w : words) {
        EXPECT_TRUE(printable.contains(w.box)) << w.text.toStdString() << " page " << w.page;
        EXPECT_LE(w.page, 2);
    }
    EXPECT_EQ(std::count_if(words.begin(), words.end(), [](const Word& w) { return w.page == 2; }), 41);
    // The new page that ends the last copy adds no blank page.
    EXPECT_EQ(pageCount(pdf), 2);
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

}  // namespace
}  // namespace pw
