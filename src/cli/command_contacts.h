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
// standard error.
Result<void> openContacts(ContactsFile& contacts, const QString& path, bool mayCreate);

// The records of the list window's lines for the --search and --sort options, in the order it
// lists them.
Result<std::vector<ContactLine>> listedLines(const ContactsFile& contacts, const ParsedOptions& options,
                                             AddressDisplay display);

}  // namespace pw
