#pragma once

#include "cli/command_options.h"
#include "cli/command_platform.h"
#include "cli/command_result.h"
#include "desktop/painter_surface.h"
#include "printing/margin_settings.h"
#include "printing/print_action.h"

#include <QPrinter>

#include <memory>

namespace pw {

// Where a print command's pages go (a PDF file or a named printer), the corrections it prints
// with, and the platform its print action runs on.
class PrintSession final {
public:
    PrintSession() = default;
    PrintSession(const PrintSession&) = delete;
    PrintSession& operator=(const PrintSession&) = delete;

    // Takes -o, --printer, --copies and --margins, and reads the corrections.
    Result<void> setUp(const ParsedOptions& options);

    CommandPlatform& platform() { return *platform_; }
    CommandSurface& surface() { return surface_; }
    const MarginSettings& margins() const { return margins_; }
    const QString& marginsPath() const { return marginsPath_; }

    // The command's end after the print action: the failure of the printer or the PDF file when
    // there was one, else what the window would have shown.
    Result<void> finish(PrintOutcome outcome) const;

private:
    Result<void> setUpOutput(const ParsedOptions& options, int& copies);
    Result<void> readMargins(const ParsedOptions& options, const QString& folder);

    QPrinter printer_{QPrinter::HighResolution};
    PainterSurface painter_{printer_};
    CommandSurface surface_{painter_};
    std::unique_ptr<CommandPlatform> platform_;
    QString target_;
    MarginSettings margins_;
    QString marginsPath_;
};

}  // namespace pw
