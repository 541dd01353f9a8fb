#pragma once

#include "cli/command_options.h"
#include "cli/command_result.h"
#include "list/contact_lines.h"

#include <QString>

#include <vector>

namespace pw {

class ContactsFile;

// Opens the contacts file of a command. Only an import may make a new one: every other command
// would print or write nothing from a misspelt name. An import opens it to write, holding the lock
// until the file is closed; the others to read. A note the window would show on opening goes to
// standard error. Another program's lock is waited for as long as --wait says (30 seconds unless
// it says otherwise); a file still busy then ends the command with kBusyStatus.
Result<void> openContacts(ContactsFile& contacts, const QString& path, bool mayCreate, const ParsedOptions& options);

// A failure of the contacts file as a command reports it: busy, or failed.
CommandFailure contactsFailure(const QString& path, const FileError& error);

// The records of the list window's lines for the --search and --sort options, in the order it
// lists them.
Result<std::vector<ContactLine>> listedLines(const ContactsFile& contacts, const ParsedOptions& options,
                                             AddressDisplay display);

}  // namespace pw
