#pragma once

#include "data/file_error.h"
#include "platform/platform.h"

namespace pw {

class ContactsSession;

// The standard error prompt: "An error has occurred. Error number ..." with Retry and Cancel.
// The import window names its author differently.
enum class PromptAuthor { Author, Postwick };
Message errorPrompt(const FileError& error, PromptAuthor author = PromptAuthor::Author);
MessageResult showErrorPrompt(Platform& platform, const FileError& error, PromptAuthor author = PromptAuthor::Author);

// Before a command works on the contacts file: when another program has replaced it, says so, then
// opens the file at its path again with what that opening has to say. False when the command is to
// end: the new file failed (after the error prompt) or was refused.
bool followReplacedFile(Platform& platform, ContactsSession& session);

}  // namespace pw
