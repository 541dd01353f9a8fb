#include "cli/file_commands.h"

#include "carddav/address_book_finder.h"
#include "carddav/address_book_reader.h"
#include "cli/command_contacts.h"
#include "cli/command_platform.h"
#include "data/birthdays.h"
#include "data/contacts_file.h"
#include "data/contacts_undo.h"
#include "transfer/contact_export.h"
#include "transfer/csv_import.h"
#include "transfer/server_memory.h"
#include "transfer/server_update.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace pw {
namespace {

QString contactsCounted(int count)
{
    return count == 1 ? QStringLiteral("1 contact") : QStringLiteral("%1 contacts").arg(count);
}

// The password in the first line of `path`; "-" reads it from standard input. A password on the
// command line would show in every process listing.
Result<QString> passwordIn(const QString& path)
{
    QFile file;
    if (path == u"-") {
        file.open(stdin, QIODevice::ReadOnly);
    } else {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::unexpected(failed(described(path, FileError::fromErrno(errno))));
        file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

// What the person can do about a failure on the command line, when an option would do it.
QString whyNot(const ServerError& error)
{
    switch (error.kind) {
    case ServerError::Kind::Certificate:
        return QStringLiteral("%1 With --insecure it is trusted; its SHA-256 fingerprint is %2.")
            .arg(error.text, fingerprintText(error.certificateSha256));
    case ServerError::Kind::OtherHost:
        return QStringLiteral("%1 With --allow-host %2 they are.").arg(error.text, error.certificateHost);
    case ServerError::Kind::TooMany:
        return QStringLiteral("%1 More than --max-cards allows; with --max-cards N up to N are imported.")
            .arg(error.text);
    default: return error.text;
    }
}

// The address book that --addressbook names among those that `login.address` leads to, or the only one.
Result<QUrl> chosenAddressBook(const ServerLogin& login, const QString& wanted, const SessionLimits& limits)
{
    const ServerResult<std::vector<FoundAddressBook>> found = findAddressBooksAndWait(login, limits);
    if (!found)
        return std::unexpected(failed(whyNot(found.error())));
    QStringList names;
    for (const FoundAddressBook& book : *found) {
        if (wanted.isEmpty() ? found->size() == 1 : book.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return book.address;
        names.append(book.name);
    }
    const QString address = login.address.toDisplayString();
    if (found->empty())
        return std::unexpected(failed(QStringLiteral("%1 leads to no address book").arg(address)));
    if (wanted.isEmpty()) {
        return std::unexpected(failed(QStringLiteral("%1 leads to %2 address books; name one with --addressbook: %3")
                                          .arg(address)
                                          .arg(found->size())
                                          .arg(names.join(QStringLiteral(", ")))));
    }
    return std::unexpected(failed(QStringLiteral("%1 leads to no address book named \"%2\"; there are: %3")
                                      .arg(address, wanted, names.join(QStringLiteral(", ")))));
}

// The login the options give for the server at `address`, refused where the password would go
// where it does not belong.
Result<ServerLogin> serverLogin(const QUrl& address, const ParsedOptions& options)
{
    ServerLogin login{address, options.value("--user"), {}};
    login.trustAnyCertificate = options.has("--insecure");
    if (options.has("--allow-host"))
        login.allowedHosts = options.value("--allow-host").split(u',', Qt::SkipEmptyParts);
    if (options.has("--user") != options.has("--password-file"))
        return std::unexpected(usage(QStringLiteral("--user NAME and --password-file FILE go together")));
    if (options.has("--user") && address.scheme() == u"http" && !options.has("--insecure-http")) {
        return std::unexpected(usage(
            QStringLiteral("%1 is not encrypted: anyone on the way could read the password. Use https://, or "
                           "--insecure-http to send it all the same")
                .arg(address.toDisplayString())));
    }
    if (options.has("--password-file")) {
        Result<QString> password = passwordIn(options.value("--password-file"));
        if (!password)
            return std::unexpected(password.error());
        login.password = *password;
    }
    return login;
}

// The cards of the address book at `address`, or of the one it leads to, fetched before the
// contacts file is touched: those new or changed since the last import into `contactsPath`.
Result<AddressBookCards> serverCards(const QUrl& address, const QString& contactsPath, const ParsedOptions& options)
{
    Result<ServerLogin> login = serverLogin(address, options);
    if (!login)
        return std::unexpected(login.error());
    SessionLimits limits;
    if (options.has("--timeout")) {
        const Parsed<int> seconds = parseWholeNumber(options.value("--timeout"), 1, 86400, QStringLiteral("--timeout"));
        if (!seconds)
            return std::unexpected(usage(seconds.error()));
        limits.overallMs = *seconds * 1000;
    }
    ReadOptions read;
    if (options.has("--max-cards")) {
        const Parsed<int> most =
            parseWholeNumber(options.value("--max-cards"), 1, 2000000, QStringLiteral("--max-cards"));
        if (!most)
            return std::unexpected(usage(most.error()));
        read.maxCards = *most;
    }
    const Expected<std::vector<ServerCardNote>> notes = readServerNotes(contactsPath);
    if (!notes)
        return std::unexpected(failed(described(serverNotesPath(contactsPath), notes.error())));
    read.fetch = cardsToFetch(*notes, address);
    TerminalProgress progress(QStringLiteral("Fetching contacts from %1").arg(address.host()));
    read.progress = [&progress](qint64 done, qint64 total) { progress.setProgress(done, total); };
    const QString wanted = options.value("--addressbook");
    auto choose = [&]() -> Result<void> {
        Result<QUrl> chosen = chosenAddressBook(*login, wanted, limits);
        if (!chosen)
            return std::unexpected(chosen.error());
        login->address = *chosen;
        return {};
    };
    if (!wanted.isEmpty()) {
        if (auto s = choose(); !s)
            return std::unexpected(s.error());
    }
    ServerResult<AddressBookCards> book = readAddressBookAndWait(*login, read, limits);
    // A server's own address, or a user's: the address books it leads to.
    if (!book && book.error().kind == ServerError::Kind::NotAnAddressBook && wanted.isEmpty()) {
        if (auto s = choose(); !s)
            return std::unexpected(s.error());
        book = readAddressBookAndWait(*login, read, limits);
    }
    if (!book)
        return std::unexpected(failed(whyNot(book.error())));
    return std::move(*book);
}

}  // namespace

Result<void> importCommand(const ParsedOptions& options)
{
    if (options.positional.size() != 2)
        return std::unexpected(usage(QStringLiteral("import takes a contacts file and the file to import")));
    const QString& contactsPath = options.positional[0];
    const QString& sourcePath = options.positional[1];
    const bool fromServer = sourcePath.startsWith(u"https://") || sourcePath.startsWith(u"http://");
    constexpr const char* kServerOptions[] = {"--user",       "--password-file", "--addressbook", "--insecure",
                                              "--insecure-http", "--allow-host", "--timeout",     "--max-cards",
                                              "--remove-deleted"};
    if (!fromServer && std::ranges::any_of(kServerOptions, [&](const char* o) { return options.has(o); })) {
        return std::unexpected(usage(QStringLiteral("--user, --password-file, --addressbook, --insecure, "
                                                    "--insecure-http, --allow-host, --timeout, --max-cards and "
                                                    "--remove-deleted go with an address-book server's address")));
    }
    QFile source;
    AddressBookCards book;
    // The address as shown back: never a password written into it.
    const QString shownSource =
        fromServer ? QUrl::fromUserInput(sourcePath).toDisplayString(QUrl::RemoveUserInfo) : sourcePath;
    if (fromServer) {
        if (holdsCredentials(sourcePath))
            return std::unexpected(usage(QStringLiteral("%1: a user name or password does not go into the address; "
                                                        "give them with --user and --password-file")
                                             .arg(shownSource)));
        const std::optional<QUrl> address = serverAddress(sourcePath);
        if (!address)
            return std::unexpected(
                usage(QStringLiteral("%1 is not an address a server can be asked at").arg(sourcePath)));
        Result<AddressBookCards> fetched = serverCards(*address, contactsPath, options);
        if (!fetched)
            return std::unexpected(fetched.error());
        book = std::move(*fetched);
    } else {
        if (auto s = openImportFile(source, sourcePath); !s)
            return std::unexpected(failed(described(sourcePath, s.error())));
    }
    ContactsFile contacts;
    if (auto s = openContacts(contacts, contactsPath, true, options); !s)
        return s;
    // An import that fails into a new name leaves nothing behind: an empty contacts file would look
    // like the result. Only the file this import made goes, and only while nothing else filled it.
    auto failure = [&](const QString& text) -> Result<void> {
        contacts.removeIfStillNew();
        return std::unexpected(failed(text));
    };
    const Expected<bool> remindersOn = remindersSetting(contacts);
    if (!remindersOn)
        return failure(described(contactsPath, remindersOn.error()));

    ImportResult result;
    QStringList updateLines;
    {
        TerminalProgress progress(QStringLiteral("Importing contacts from %1")
                                      .arg(fromServer ? shownSource : QFileInfo(sourcePath).fileName()));
        ImportOptions importOptions;
        importOptions.remindersOn = *remindersOn;
        importOptions.progress = [&progress](qint64 done, qint64 total) { return progress.setProgress(done, total); };
        if (fromServer) {
            ServerUpdateOptions update{importOptions, {}};
            const bool removeDeleted = options.has("--remove-deleted");
            update.removeDeleted = [removeDeleted](const QStringList& names) {
                return std::vector<bool>(std::size_t(names.size()), removeDeleted);
            };
            ServerUpdate updated = updateFromServer(book, contacts, update);
            result = std::move(updated.import);
            updateLines = serverUpdateLines(updated);
            for (const QString& href : book.tooLarge)
                updateLines.append(QStringLiteral("Skipped, larger than 1 MB: %1").arg(href));
        } else {
            result = importContacts(source, contacts, importOptions);
        }
    }
    switch (result.end) {
    case ImportResult::End::Completed:
    case ImportResult::End::Cancelled: break;
    case ImportResult::End::NotCompatible:
        return failure(QStringLiteral("%1: %2").arg(shownSource, oneLine(importEndMessage(result)->text)));
    case ImportResult::End::Failed:
        return failure(described(result.sourceFailed ? shownSource : contactsPath, importFailure(result)));
    }
    // The same summary as the window's, a line a count, then each row left out and why.
    QByteArray out;
    for (const QString& line : importSummaryLines(result) + updateLines + skippedRowLines(result) + result.changed)
        out += line.toUtf8() + '\n';
    std::fwrite(out.constData(), 1, out.size(), stdout);
    // A file that gave no row to read as a contact was not the file meant, or not a file of contacts.
    // An address book may be empty.
    if (!fromServer && result.end == ImportResult::End::Completed && result.imported + result.duplicates == 0
        && source.size() > 0)
        return failure(QStringLiteral("%1: no row could be read as a contact").arg(sourcePath));
    return {};
}

Result<void> undoImportCommand(const ParsedOptions& options)
{
    if (options.positional.size() != 1)
        return std::unexpected(usage(QStringLiteral("undo-import takes one contacts file")));
    const QString& path = options.positional.first();
    // Only an existing file: a name mistyped would otherwise become an empty contacts file.
    if (!QFileInfo::exists(path))
        return std::unexpected(failed(described(path, FileError::fromErrno(ENOENT))));
    ContactsFile contacts;
    if (auto s = openContacts(contacts, path, true, options); !s)
        return s;
    const Expected<ImportUndone> undone = undoNotedImport(contacts);
    if (!undone)
        return std::unexpected(failed(described(path, undone.error())));
    if (!undone->undone)
        return std::unexpected(failed(QStringLiteral("%1: %2").arg(path, undone->why)));
    std::printf("Took the %s of the last import out of %s\n", qUtf8Printable(contactsCounted(undone->count)),
                qUtf8Printable(path));
    return {};
}

Result<void> exportCommand(const ParsedOptions& options)
{
    if (options.positional.size() != 1)
        return std::unexpected(usage(QStringLiteral("export takes one contacts file")));
    const int formats = int(options.has("--csv")) + int(options.has("--text")) + int(options.has("--vcard"));
    if (formats != 1)
        return std::unexpected(usage(QStringLiteral("export needs one of --csv, --text or --vcard")));
    if (!options.has("-o"))
        return std::unexpected(usage(QStringLiteral("export needs -o FILE")));
    const ExportFormat format = options.has("--csv")    ? ExportFormat::Csv
                                : options.has("--text") ? ExportFormat::Text
                                                        : ExportFormat::VCard;
    ContactsFile contacts;
    if (auto s = openContacts(contacts, options.positional.first(), false, options); !s)
        return s;
    const QString out = options.value("-o");
    // There is no one to ask, so an earlier file stays unless the command says to replace it.
    const bool replace = options.has("--force");
    if (!replace && QFileInfo::exists(out))
        return std::unexpected(failed(QStringLiteral("%1 already exists; add --force to replace it").arg(out)));
    ExportResult result;
    {
        TerminalProgress progress(QStringLiteral("Exporting contacts to %1").arg(QFileInfo(out).fileName()));
        result = writeExportFile(
            contacts, format, QFileInfo(out).absoluteFilePath(),
            [&progress](qint64 done, qint64 total) { return progress.setProgress(done, total); }, replace);
    }
    if (result.error)
        return std::unexpected(failed(described(out, *result.error)));
    if (result.damaged > 0)
        std::fprintf(stderr, "postwick: %s\n", qUtf8Printable(oneLine(ContactsFile::damagedSkippedText(result.damaged))));
    std::printf("Exported %s from %s to %s\n", qUtf8Printable(contactsCounted(result.written)),
                qUtf8Printable(options.positional.first()), qUtf8Printable(out));
    return {};
}

Result<void> listCommand(const ParsedOptions& options)
{
    if (options.positional.size() != 1)
        return std::unexpected(usage(QStringLiteral("list takes one contacts file")));
    ContactsFile contacts;
    if (auto s = openContacts(contacts, options.positional.first(), false, options); !s)
        return s;
    const Result<std::vector<ContactLine>> lines =
        listedLines(contacts, options, options.has("--email") ? AddressDisplay::Email : AddressDisplay::Street);
    if (!lines)
        return std::unexpected(lines.error());
    // The window pads each column to its stored width for its tab stops; a script wants the text.
    QByteArray out;
    for (const ContactLine& line : *lines) {
        const QStringList fields = line.text().toString().split(u'\t');
        for (qsizetype i = 0; i < fields.size(); ++i) {
            QStringView field(fields[i]);
            while (field.endsWith(u' '))
                field.chop(1);
            if (i > 0)
                out += '\t';
            out += field.toUtf8();
        }
        out += '\n';
        if (out.size() > 1 << 16) {
            std::fwrite(out.constData(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.constData(), 1, out.size(), stdout);
    return {};
}

}  // namespace pw
