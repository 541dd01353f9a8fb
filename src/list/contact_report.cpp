#include "list/contact_report.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/print_surface.h"

namespace pw {
namespace {

constexpr int kReportColumns = 7;
constexpr double kLinesPerPage = 54;

void setReportFont(PrintSurface& surface)
{
    surface.setFontName(QStringLiteral("Verdana"));
    surface.setFontSize(10);
    surface.setItalic(false);
}

// Only the selection, as it stands: the header box's selected text, or the selected lines whole.
void printSelectionJob(PrintSurface& surface, const ReportRequest& request)
{
    surface.setOrientation(PageOrientation::Landscape);
    setReportFont(surface);
    printBlankLines(surface, 1);
    if (request.headerFocused) {
        surface.print({PrintItem::textItem(request.headerSelection)}, false);
        return;
    }
    for (const QString& line : request.selectedLines)
        surface.printLine({PrintItem::textItem(line)});
}

}  // namespace

std::array<ReportColumn, 7> reportColumns(AddressDisplay display)
{
    if (display == AddressDisplay::Email)
        return {{{QStringLiteral("Name"), 2},
                 {QStringLiteral("City"), 40},
                 {QStringLiteral("ST"), 58},
                 {QStringLiteral("Zip"), 62},
                 {QStringLiteral("Home"), 76},
                 {QStringLiteral("Cell"), 92},
                 {QStringLiteral("Email Address"), 110}}};
    return {{{QStringLiteral("Name"), 2},
             {QStringLiteral("Street"), 30},
             {QStringLiteral("City"), 66},
             {QStringLiteral("ST"), 88},
             {QStringLiteral("Zip"), 94},
             {QStringLiteral("Home"), 109},
             {QStringLiteral("Cell"), 127}}};
}

int reportPageEstimate(qsizetype lineCount)
{
    return static_cast<int>(roundHalfEven(static_cast<double>(lineCount) / kLinesPerPage + 1));
}

QStringList reportPieces(const QString& line)
{
    QStringList pieces = line.split(u'\t');
    if (pieces.size() > kReportColumns) {
        const QString last = pieces.mid(kReportColumns - 1).join(u' ');
        pieces.resize(kReportColumns - 1);
        pieces.append(last);
    }
    return pieces;
}

void printReportJob(PrintSurface& surface, const QStringList& lines, AddressDisplay display, const QString& fileTitle)
{
    const std::array<ReportColumn, 7> columns = reportColumns(display);
    printBlankLines(surface, 1);
    surface.setFontSize(18);
    surface.printLine({PrintItem::tab(32), PrintItem::textItem(QStringLiteral("Postwick"))});
    surface.setFontSize(10);
    printBlankLines(surface, 1);
    surface.printLine({PrintItem::tab(60), PrintItem::textItem(QStringLiteral("File: ") + fileTitle)});
    printBlankLines(surface, 1);

    QList<PrintItem> items;
    for (const ReportColumn& c : columns)
        items << PrintItem::tab(c.column) << PrintItem::textItem(c.word);
    surface.printLine(items);

    for (const QString& line : lines) {
        items.clear();
        const QStringList pieces = reportPieces(line);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            items << PrintItem::tab(columns[i].column) << PrintItem::textItem(trimBlanks(pieces[i]));
            if (pieces[i].isEmpty())
                break;
        }
        surface.printLine(items);
    }
    // The job's end sends out its last page; a new page here would only feed a blank sheet.
    printBlankLines(surface, 1);
}

PrintOutcome printContactReport(Platform& platform, const ReportRequest& request)
{
    const bool somethingSelected = !request.headerSelection.isEmpty() || !request.selectedLines.isEmpty();
    const int pages = reportPageEstimate(request.lines.size());
    PrintDialogRequest dialog;
    dialog.selectionChoice = somethingSelected;
    dialog.printToFile = !somethingSelected;
    dialog.firstPage = 1;
    dialog.lastPage = pages;

    setReportFont(platform.printer());
    PrintRun run;
    run.dialog = dialog;
    run.selection = [&](PrintSurface& surface) { printSelectionJob(surface, request); };
    return runPrintAction(platform, run, [&](PrintSurface& surface) {
        surface.setOrientation(PageOrientation::Landscape);
        printReportJob(surface, request.lines, request.display, request.fileTitle);
    });
}

}  // namespace pw
