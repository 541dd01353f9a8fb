#include "printing/print_action.h"

#include "printing/print_surface.h"

namespace pw {

Message printerProblem(const QString& title)
{
    return {QStringLiteral("A printer problem exists.  Check printer."), title, MessageIcon::Warning,
            MessageButtons::Ok, false};
}

PrintOutcome printCopies(Platform& platform, const PrintDialogRequest& request,
                         const std::function<void(PrintSurface&)>& job)
{
    const std::optional<PrintChoice> choice = platform.printDialog(request);
    if (!choice)
        return PrintOutcome::Cancelled;
    PrintSurface& printer = platform.printer();
    for (int copy = 0; copy < choice->copies; ++copy) {
        job(printer);
        if (!printer.endJob()) {
            printer.abandonJob();
            platform.message(printerProblem());
            return PrintOutcome::Failed;
        }
    }
    return PrintOutcome::Printed;
}

}  // namespace pw
