#pragma once

#include "data/file_error.h"
#include "platform/platform.h"
#include "transfer/transfer_progress.h"

#include <QString>

#include <optional>

class QIODevice;

namespace pw {

class ContactsFile;

struct ImportOptions final {
    bool remindersOn = true;  // the setting the appended records take
    int batchSize = 1000;     // records appended with one write and one sync
    ProgressReport progress;
};

// How an import ended, and how many contacts it stored.
struct ImportResult final {
    enum class End { Completed, NotCompatible, Cancelled, Failed };
    End end = End::Completed;
    int imported = 0;
    std::optional<FileError> error;  // for Failed
};

// Appends the contacts of a CSV file to the contacts file: the layout is recognised from the
// heading line, each row goes through its layout's rules, and a row that matches one of the
// records there before the import (by e-mail, or by first and last name) is skipped. Records go
// to the file in batches, each made durable before the next; a failure or a stop keeps every batch
// already written, and the result says how many contacts that was.
ImportResult importContacts(QIODevice& csv, ContactsFile& contacts, const ImportOptions& options);

// What the user is told at the end of an import; none for a failure, which goes to the error prompt
// (see importFailure()).
std::optional<Message> importEndMessage(const ImportResult& result);

// The failure of an import as the error prompt shows it, with how many contacts were stored first.
FileError importFailure(const ImportResult& result);

}  // namespace pw
