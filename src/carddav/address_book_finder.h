#pragma once

#include "carddav/dav_session.h"

#include <QString>
#include <QUrl>

#include <functional>
#include <vector>

namespace pw {

// An address book that a server's address led to.
struct FoundAddressBook final {
    QUrl address;
    QString name;  // its display name, or else the last part of its address
    bool operator==(const FoundAddressBook&) const = default;
};

// The address books that `login.address` leads to, by name: the address itself when it is one;
// otherwise the current user's principal, found there or at the server's well-known address
// (/.well-known/carddav, which redirects), then its address-book home set, whose address books are
// listed. Waits in an event loop of its own, asking `keepGoing` as a read does; false stops.
ServerResult<std::vector<FoundAddressBook>>
findAddressBooks(const ServerLogin& login, const std::function<bool()>& keepGoing, int timeoutMs = 30000);

}  // namespace pw
