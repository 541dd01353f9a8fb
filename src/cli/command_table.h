#pragma once

namespace pw {

// Whether `word` names a command of the command line: labels, sheet, envelope, return-labels,
// import, export or list.
bool isCommandName(const char* word);

// Whether the program's first word is for the window rather than a command: an option, or the
// contacts file to start on (one that exists, or a new name ending in .DAT).
bool startsTheWindow(const char* word);

// A first word that is neither a command nor a contacts file: says "unknown command" with the
// nearest command's name on standard error and returns the exit status, 2.
int unknownCommand(const char* word);

// The commands, one line each, for the program's --help.
const char* commandSummary();

// Runs the command named by argv[1] without any window or display and returns the exit status:
// 0 when it did its work, 1 when it could not, 2 for a command line it cannot take. Every failure is
// one line on standard error.
int runCommand(int argc, char* argv[]);

}  // namespace pw
