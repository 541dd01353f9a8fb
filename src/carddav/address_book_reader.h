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
    // How many cards have come of how many (0 of 0 while the address book is listed); false stops.
    std::function<bool(qint64 done, qint64 total)> progress;
    int timeoutMs = 30000;
    int batchSize = 100;  // cards asked for in one addressbook-multiget
};

// Reads every card of the address book at `login.address`: lists it (PROPFIND, Depth 1), then
// fetches its cards in batches (REPORT addressbook-multiget). Waits in an event loop of its own.
// Nothing is returned unless every batch came: an import takes all the cards or none.
ServerResult<AddressBookCards> readAddressBook(const ServerLogin& login, const ReadOptions& options);

}  // namespace pw
