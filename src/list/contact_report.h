#pragma once

#include "list/contact_lines.h"
#include "printing/print_action.h"

#include <QString>
#include <QStringList>

#include <array>

namespace pw {

class Platform;
class PrintSurface;

// A column of the printed report: the header word and the print column of one piece of a line.
struct ReportColumn final {
    QString word;
    int column;
};
std::array<ReportColumn, 7> reportColumns(AddressDisplay display);

// The page range offered in the print dialog: lines / 54 + 1, rounded halves to even.
int reportPageEstimate(qsizetype lineCount);

// The tab-separated pieces of a list line, one per report column. A pasted line can hold more
// pieces than there are columns; the extra ones join the last column, a blank between each.
QStringList reportPieces(const QString& line);

// The report job: title, file name, column header and one printed line per list line, in landscape.
// The job is ended by the caller.
void printReportJob(PrintSurface& surface, const QStringList& lines, AddressDisplay display,
                    const QString& fileTitle);

// What File > Print of the list window prints from.
struct ReportRequest final {
    QStringList lines;
    QStringList selectedLines;  // in list order
    QString headerSelection;    // the selected text of the header box
    bool headerFocused = false;
    AddressDisplay display = AddressDisplay::Street;
    QString fileTitle;
};

// File > Print: the print dialog with the page estimate and, when something is selected, the
// choice of printing only that; then the report once per copy, or the selection once.
PrintOutcome printContactReport(Platform& platform, const ReportRequest& request);

}  // namespace pw
