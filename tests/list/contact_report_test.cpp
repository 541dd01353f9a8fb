#include "list/contact_report.h"

#include "support/qt_printers.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

namespace pw {
using namespace Qt::StringLiterals;
namespace {

using test::PlacedText;
using test::ScriptedPlatform;

QString at(const QList<PlacedText>& texts, int row)
{
    QStringList parts;
    for (const PlacedText& t : texts) {
        if (t.row == row)
            parts << QString::number(t.column) + u':' + t.text;
    }
    return parts.join(u' ');
}

TEST(ContactReport, PrintsTitleFileHeaderAndOnePieceAColumn)
{
    test::RecordingSurface surface;
    surface.setFontName(QStringLiteral("Verdana"));
    const QStringList lines = {
        QStringLiteral("Mary Smith\tReno            \tNV\t89501     \t555-0100       \t") + QString(22, u' ') +
            QStringLiteral("\tmary@example.com    "),
        QStringLiteral("pasted without tabs"),
        QStringLiteral("a\tb\t\tafter an empty piece"),
        // More pieces than columns: the extra ones join the last column.
        QStringLiteral("1\t2\t3\t4\t5\t6\t7\t8\t9"),
    };
    printReportJob(surface, lines, AddressDisplay::Email, QStringLiteral("Family"));
    ASSERT_TRUE(surface.endJob());
    ASSERT_EQ(surface.jobs.size(), 1);
    const test::RecordedJob& job = surface.jobs[0];
    // No new page at the end: the job's end sends the last page out.
    EXPECT_EQ(job.pages, 1);
    EXPECT_EQ(at(job.texts, 2), u"32:Postwick");
    EXPECT_EQ(job.texts[0].size, 18);
    EXPECT_EQ(at(job.texts, 4), u"60:File: Family");
    EXPECT_EQ(job.texts[1].size, 10);
    EXPECT_EQ(at(job.texts, 6), u"2:Name 40:City 58:ST 62:Zip 76:Home 92:Cell 110:Email Address");
    EXPECT_EQ(at(job.texts, 7), u"2:Mary Smith 40:Reno 58:NV 62:89501 76:555-0100 110:mary@example.com");
    EXPECT_EQ(at(job.texts, 8), u"2:pasted without tabs");
    EXPECT_EQ(at(job.texts, 9), u"2:a 40:b");
    EXPECT_EQ(at(job.texts, 10), u"2:1 40:2 58:3 62:4 76:5 92:6 110:7 8 9");
    EXPECT_EQ(job.texts.last().row, 10);

    test::RecordingSurface street;
    printReportJob(street, {}, AddressDisplay::Street, QString());
    ASSERT_TRUE(street.endJob());
    EXPECT_EQ(at(street.jobs[0].texts, 6), u"2:Name 30:Street 66:City 88:ST 94:Zip 109:Home 127:Cell");

    EXPECT_EQ(reportPageEstimate(0), 1);
    EXPECT_EQ(reportPageEstimate(27), 2);
    EXPECT_EQ(reportPageEstimate(81), 2);
    EXPECT_EQ(reportPageEstimate(100), 3);
}

TEST(ContactReport, TheDialogOffersTheSelectionOnlyWhenThereIsOne)
{
    ScriptedPlatform platform{QString()};
    ReportRequest request;
    for (int i = 0; i < 100; ++i)
        request.lines << QStringLiteral("line %1\tReno").arg(i);
    request.fileTitle = QStringLiteral("Club");

    // Nothing selected: no selection choice, print to file allowed, pages 1 to 3; cancel is silent.
    EXPECT_EQ(printContactReport(platform, request), PrintOutcome::Cancelled);
    EXPECT_EQ(platform.printDialogs.last(), (PrintDialogRequest{true, false, 1, 3}));
    // Text selected in the header while the focus is elsewhere is not what Selection prints.
    request.headerSelection = QStringLiteral("Name");
    printContactReport(platform, request);
    EXPECT_FALSE(platform.printDialogs.last().selectionChoice);
    request.headerSelection.clear();
    EXPECT_EQ(platform.printerSurface.font, u"Verdana");
    EXPECT_EQ(platform.printerSurface.size, 10);

    // Two copies of the report, each a landscape job of its own.
    platform.answerPrintDialog(PrintChoice{2});
    EXPECT_EQ(printContactReport(platform, request), PrintOutcome::Printed);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 2);
    EXPECT_EQ(platform.printerSurface.jobs[1].orientations, QList{PageOrientation::Landscape});
    EXPECT_EQ(platform.printerSurface.jobs[1].texts.size(), 2 + 7 + 200);

    // Selected lines: one job whatever the copies, each line whole after a blank line.
    request.selectedLines = {request.lines[3], request.lines[7]};
    platform.answerPrintDialog(PrintChoice{2, true});
    EXPECT_EQ(printContactReport(platform, request), PrintOutcome::Printed);
    EXPECT_EQ(platform.printDialogs.last(), (PrintDialogRequest{true, true, 1, 3}));
    ASSERT_EQ(platform.printerSurface.jobs.size(), 3);
    const QList<PlacedText> selection = platform.printerSurface.jobs[2].texts;
    ASSERT_EQ(selection.size(), 2);
    EXPECT_EQ(selection[0].text, u"line 3\tReno");
    EXPECT_EQ(selection[0].row, 2);
    EXPECT_EQ(selection[1].row, 3);

    // The header box's selection, when the header has the focus.
    request.headerSelection = QStringLiteral("City");
    request.headerFocused = true;
    platform.answerPrintDialog(PrintChoice{1, true});
    printContactReport(platform, request);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 4);
    ASSERT_EQ(platform.printerSurface.jobs[3].texts.size(), 1);
    EXPECT_EQ(platform.printerSurface.jobs[3].texts[0].text, u"City");

    // A printer failure abandons the job and says so.
    platform.printerSurface.failure = printerFailure(QStringLiteral("offline"));
    platform.answerPrintDialog(PrintChoice{1});
    EXPECT_EQ(printContactReport(platform, request), PrintOutcome::Failed);
    EXPECT_EQ(platform.messages, QList{printerProblem()});
    EXPECT_TRUE(platform.printerSurface.jobs.last().abandoned);
}

}  // namespace
}  // namespace pw
