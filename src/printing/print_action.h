#pragma once

#include "platform/platform.h"

#include <QString>

#include <functional>

namespace pw {

class PrintSurface;

enum class PrintOutcome { Printed, Cancelled, Failed };

// "A printer problem exists.  Check printer." with a warning icon.
Message printerProblem(const QString& title = QStringLiteral("Printer error"));

// How a print action runs once the dialog is accepted.
struct PrintRun final {
    PrintDialogRequest dialog;
    // False: every copy is a print job of its own. True: each copy ends with a new page and the
    // job ends once, after the last copy.
    bool copiesInOneJob = false;
    QString failureTitle = QStringLiteral("Printer error");
    // With dialog.selectionChoice: what to print, once and in one job, when the user chose to print
    // only the selection; an empty function prints nothing.
    std::function<void(PrintSurface&)> selection;
};

// The print action after the caller's checks and font set-up: shows the print dialog, then prints
// `copy` on the chosen printer once per copy. A failure abandons the job in progress, shows the
// printer problem under the run's title and ends the action; cancel prints nothing.
PrintOutcome runPrintAction(Platform& platform, const PrintRun& run, const std::function<void(PrintSurface&)>& copy);

// The action of the label and envelope kinds: one job per copy.
PrintOutcome printCopies(Platform& platform, const PrintDialogRequest& request,
                         const std::function<void(PrintSurface&)>& job);

}  // namespace pw
