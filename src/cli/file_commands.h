#pragma once

#include "cli/command_options.h"
#include "cli/command_result.h"

namespace pw {

// The commands that read and write files: import into a contacts file, export from it, and its
// list as text.
Result<void> importCommand(const ParsedOptions& options);
Result<void> exportCommand(const ParsedOptions& options);
// Takes the last import into a contacts file, noted beside it, out again.
Result<void> undoImportCommand(const ParsedOptions& options);
Result<void> listCommand(const ParsedOptions& options);

}  // namespace pw
