#pragma once

#include "data/file_error.h"
#include "platform/platform.h"

namespace pw {

// The standard error prompt: "An error has occurred. Error number ..." with Retry and Cancel.
// The import window names its author differently.
enum class PromptAuthor { Author, Postwick };
Message errorPrompt(const FileError& error, PromptAuthor author = PromptAuthor::Author);
MessageResult showErrorPrompt(Platform& platform, const FileError& error, PromptAuthor author = PromptAuthor::Author);

}  // namespace pw
