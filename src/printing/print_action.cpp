#include "printing/print_action.h"

#include "printing/calibration.h"
#include "printing/print_surface.h"

namespace pw {

Message printerProblem(const QString& title)
{
    return {QStringLiteral("A printer problem exists.  Check printer."), title, MessageIcon::Warning,
            MessageButtons::Ok, false};
}

PrintOutcome runPrintAction(Platform& platform, const PrintRun& run, const std::function<void(PrintSurface&)>& copy)
{
    const std::optional<PrintChoice> choice = platform.printDialog(run.dialog);
    if (!choice)
        return PrintOutcome::Cancelled;
    PrintSurface& printer = platform.printer();
    // Taken for the printer chosen in the dialog; a PDF file has none.
    printer.setCalibration(run.dialog.envelope ? PrinterCalibration{}
                                               : currentCalibration(platform).value_or(PrinterCalibration{}));
    const auto endJob = [&] {
        if (printer.endJob())
            return true;
        printer.abandonJob();
        platform.message(printerProblem(run.failureTitle));
        return false;
    };

    if (choice->selectionOnly) {
        if (!run.selection)
            return PrintOutcome::Printed;
        run.selection(printer);
        printer.newPage();
        return endJob() ? PrintOutcome::Printed : PrintOutcome::Failed;
    }
    for (int n = 0; n < choice->copies; ++n) {
        copy(printer);
        if (run.copiesInOneJob)
            printer.newPage();
        else if (!endJob())
            return PrintOutcome::Failed;
    }
    if (run.copiesInOneJob && !endJob())
        return PrintOutcome::Failed;
    return PrintOutcome::Printed;
}

PrintOutcome printCopies(Platform& platform, const PrintDialogRequest& request,
                         const std::function<void(PrintSurface&)>& job)
{
    PrintRun run;
    run.dialog = request;
    return runPrintAction(platform, run, job);
}

}  // namespace pw
