#pragma once

#include "carddav/address_book_reader.h"
#include "data/file_error.h"
#include "transfer/csv_import.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <vector>

namespace pw {

class ContactsFile;

// What is remembered of a contact imported from an address-book server, one line each in the side
// file beside the contacts file: where its card is, its version, and the record as it was imported,
// so that an update tells a record changed here from one left alone.
struct ServerCardNote final {
    QString book;  // the address book's address
    QString href;  // the card's path on the server, percent-decoded
    QString uid;
    QString etag;
    QByteArray record;  // SHA-256 of the record as imported, its birthday-reminder flag aside
};

QString serverNotesPath(const QString& contactsPath);
// The notes beside the contacts file at `path`; none when there is no side file.
Expected<std::vector<ServerCardNote>> readServerNotes(const QString& contactsPath);

// Which of the cards the server at `address` lists are to be fetched: those not noted, and those
// of another version than noted.
std::function<bool(const ListedCard&)> cardsToFetch(const std::vector<ServerCardNote>& notes, const QUrl& address);

struct ServerUpdateOptions final {
    ImportOptions import;
    // Given the names of the contacts whose cards the server deleted, which to remove; none: keep all.
    std::function<std::vector<bool>(const QStringList& names)> removeDeleted;
};

// What an update did besides importing the new cards.
struct ServerUpdate final {
    ImportResult import;  // the new cards; a failure of the update itself ends it as Failed
    int unchanged = 0;    // cards of the version last imported, not fetched again
    QStringList updated;  // names
    QStringList keptYours;
    QStringList removed;
    QStringList deletedKept;
    bool pairedByPerson = false;  // with no notes for the address book, contacts on file were paired with its cards
};

// Brings the contacts imported from `book` to the server's version: a card changed there whose
// contact is unchanged here is rewritten in place; one changed in both places is left and named;
// the contacts of cards deleted there are removed as `removeDeleted` says; new cards are imported
// through the import's duplicate rule. Without notes for the address book, contacts on file are
// paired with its cards by name and e-mail or street first. The notes are written last.
ServerUpdate updateFromServer(const AddressBookCards& book, ContactsFile& contacts,
                              const ServerUpdateOptions& options);

// The lines the summary adds for an update, after the import's own.
QStringList serverUpdateLines(const ServerUpdate& update);

}  // namespace pw
