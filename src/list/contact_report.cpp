#include "list/contact_report.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/print_surface.h"
#include "printing/text_measure.h"

#include <algorithm>
#include <functional>

namespace pw {
namespace {

constexpr int kReportColumns = 7;
constexpr double kLinesPerPage = 54;
// The last column of the grid on landscape Letter, the narrower of the usual papers: 10.5 inches
// of Verdana 10 columns from the grid's start leave the 1/4-inch edge no printer prints on.
constexpr int kLastPageColumn = 148;

// The type of the report's lines, set by the report itself: the printer keeps the last job's bold.
TypeFace reportType()
{
    return {QStringLiteral("Verdana"), 10, false, false};
}

void setReportFont(PrintSurface& surface)
{
    const TypeFace type = reportType();
    surface.setFontName(type.family);
    surface.setFontSize(type.points);
    surface.setBold(type.bold);
    surface.setItalic(type.italic);
}

// The piece in rows that each fit, each broken after the last "@", ".", "-" or blank in the second
// half of what fits, if any, so that an e-mail address or a name breaks where a reader expects. A
// row holds at least one character; an empty piece is one empty row.
QStringList wrapped(const QString& piece, const std::function<bool(const QString&)>& fits)
{
    QStringList rows;
    qsizetype from = 0;
    while (!fits(piece.mid(from))) {
        qsizetype width = 1;
        while (from + width < piece.size() && fits(piece.mid(from, width + 1)))
            ++width;
        qsizetype cut = width;
        for (qsizetype i = width - 1; i >= width / 2; --i) {
            if (QStringView(u"@.- ").contains(piece[from + i])) {
                cut = i + 1;
                break;
            }
        }
        rows.append(trimTrailingBlanks(piece.mid(from, cut)));
        from += cut;
    }
    rows.append(piece.mid(from));
    return rows;
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
    setReportFont(surface);
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

    // A piece wraps inside its column, at most up to the next one, so that it never pushes the next
    // piece onto a row of its own and nothing of it is lost; the last column runs to the page's edge.
    // Pieces are measured as they will be drawn, so that a phone number fits the column it fills.
    const TypeFace type = reportType();
    const TextMeasure& measure = surface.measure();
    const double column = measure.grid(type).column;
    for (const QString& line : lines) {
        const QStringList pieces = reportPieces(line);
        QList<QStringList> rows;
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            const int end = i + 1 < kReportColumns ? columns[i + 1].column - 1 : kLastPageColumn + 1;
            const double room = (end - columns[i].column) * column;
            const auto fits = [&](const QString& text) { return measure.quickWidth(type, text) <= room; };
            rows.append(wrapped(trimBlanks(pieces[i]), fits));
            if (pieces[i].isEmpty())
                break;
        }
        const qsizetype height = std::ranges::max(rows, {}, &QStringList::size).size();
        for (qsizetype row = 0; row < height; ++row) {
            items.clear();
            for (qsizetype i = 0; i < rows.size(); ++i) {
                if (row < rows[i].size())
                    items << PrintItem::tab(columns[i].column) << PrintItem::textItem(rows[i][row]);
            }
            surface.printLine(items);
        }
    }
    // The job's end sends out its last page; a new page here would only feed a blank sheet.
    printBlankLines(surface, 1);
}

PrintOutcome printContactReport(Platform& platform, const ReportRequest& request)
{
    // Selection is offered only when it would print something: what the selection job prints is
    // the header's text when the header has the focus, else the selected lines.
    const bool somethingSelected =
        request.headerFocused ? !request.headerSelection.isEmpty() : !request.selectedLines.isEmpty();
    const int pages = reportPageEstimate(request.lines.size());
    PrintDialogRequest dialog;
    dialog.selectionChoice = somethingSelected;
    dialog.printToFile = true;
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
