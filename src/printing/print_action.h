#pragma once

#include "platform/platform.h"

#include <QString>

#include <functional>

namespace pw {

class PrintSurface;

enum class PrintOutcome { Printed, Cancelled, Failed };

// "A printer problem exists.  Check printer." with a warning icon.
Message printerProblem(const QString& title = QStringLiteral("Printer error"));

// The print action after the caller's checks and font set-up: shows the print dialog, then runs
// `job` on the chosen printer once per copy, each copy a print job of its own. A failure abandons
// the job in progress, shows the printer problem and ends the action; cancel prints nothing.
PrintOutcome printCopies(Platform& platform, const PrintDialogRequest& request,
                         const std::function<void(PrintSurface&)>& job);

}  // namespace pw
