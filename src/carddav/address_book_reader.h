#pragma once

#include "carddav/dav_session.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <vector>

namespace pw {

// The cards of one address book, each a vCard as the server keeps it.
struct AddressBookCards final {
    QUrl address;  // where the address book answered, after any redirects
    QString name;
    std::vector<QByteArray> cards;
};

struct ReadOptions final {
    // How many cards have come of how many (0 of 0 while the address book is listed).
    std::function<void(qint64 done, qint64 total)> progress;
    int batchSize = 100;  // cards asked for in one addressbook-multiget
};

// Reads every card of the address book at `address` through `session`: lists it (PROPFIND,
// Depth 1), then fetches its cards in batches (REPORT addressbook-multiget). `done` is called once,
// from the session's replies, with every card or why not: an import takes all the cards or none.
void readAddressBook(DavSession& session, const QUrl& address, ReadOptions options,
                     std::function<void(ServerResult<AddressBookCards>)> done);

// The same for the command line, waiting in an event loop of its own.
ServerResult<AddressBookCards> readAddressBookAndWait(const ServerLogin& login, const ReadOptions& options,
                                                      int timeoutMs = 30000);

}  // namespace pw
