#pragma once

#include "cli/command_options.h"
#include "cli/command_result.h"

namespace pw {

// The commands that print, each as its window prints: list labels, typed labels on a sheet, an
// envelope and a sheet of return-address labels. Each takes the output options of a PrintSession.
Result<void> labelsCommand(const ParsedOptions& options);
Result<void> sheetCommand(const ParsedOptions& options);
Result<void> envelopeCommand(const ParsedOptions& options);
Result<void> returnLabelsCommand(const ParsedOptions& options);

}  // namespace pw
