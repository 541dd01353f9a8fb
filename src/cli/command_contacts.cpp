#include "cli/command_contacts.h"

#include "data/contacts_file.h"
#include "list/contact_search.h"

#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstdio>

namespace pw {

CommandFailure contactsFailure(const QString& path, const FileError& error)
{
    CommandFailure failure = failed(described(path, error));
    if (error.number == kErrFileInUse)
        failure.status = kBusyStatus;
    return failure;
}

Result<void> openContacts(ContactsFile& contacts, const QString& path, bool mayCreate, const ParsedOptions& options)
{
    int wait = 30;
    if (options.has("--wait")) {
        const Parsed<int> seconds = parseWholeNumber(options.value("--wait"), 0, 86400, QStringLiteral("--wait"));
        if (!seconds)
            return std::unexpected(usage(seconds.error()));
        wait = *seconds;
    }
    contacts.setPatience(std::chrono::seconds(wait));
    if (!mayCreate && !QFileInfo::exists(path))
        return std::unexpected(failed(described(path, FileError::fromErrno(ENOENT))));
    // Only an import may create the file, and only an import changes it: it holds the lock for its
    // whole run, so that a second import waits and then finds the first one's contacts. The other
    // commands read, and a reader repairs nothing.
    const Expected<ContactsOpenResult> opened = contacts.open(path, mayCreate ? AccessMode::Write : AccessMode::Read);
    if (!opened)
        return std::unexpected(contactsFailure(path, opened.error()));
    if (!opened->opened())
        return std::unexpected(failed(oneLine(opened->message->text)));
    for (const auto& note : {opened->warning, opened->message}) {
        if (note)
            std::fprintf(stderr, "postwick: %s\n", qUtf8Printable(oneLine(note->text)));
    }
    if (mayCreate) {
        if (opened->readOnly)
            return std::unexpected(failed(described(path, opened->readOnlyCause)));
        if (auto s = contacts.holdForChanges(); !s)
            return std::unexpected(contactsFailure(path, s.error()));
    }
    return {};
}

Result<std::vector<ContactLine>> listedLines(const ContactsFile& contacts, const ParsedOptions& options,
                                             AddressDisplay display)
{
    ContactSearch search;
    if (options.has("--search")) {
        const Parsed<ContactSearch> parsed = parseSearch(options.value("--search"));
        if (!parsed)
            return std::unexpected(usage(parsed.error()));
        search = *parsed;
    }
    SortOrder order = SortOrder::FirstName;
    if (options.has("--sort")) {
        const Parsed<SortOrder> parsed = parseSortOrder(options.value("--sort"));
        if (!parsed)
            return std::unexpected(usage(parsed.error()));
        order = *parsed;
    }
    Expected<std::vector<ContactLine>> lines = contactLines(contacts, search, order, display);
    if (!lines)
        return std::unexpected(contactsFailure(contacts.path(), lines.error()));
    return std::move(*lines);
}

}  // namespace pw
