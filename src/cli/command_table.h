#pragma once

namespace pw {

// Whether `word` names a command of the command line: labels, sheet, envelope, return-labels,
// import, export or list.
bool isCommandName(const char* word);

// The commands, one line each, for the program's --help.
const char* commandSummary();

// Runs the command named by argv[1] without any window or display and returns the exit status:
// 0 when it did its work, 1 when it could not, 2 for a command line it cannot take. Every failure is
// one line on standard error.
int runCommand(int argc, char* argv[]);

}  // namespace pw
