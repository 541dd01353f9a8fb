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

// The address books that `address` leads to, by name: the address itself when it is one; otherwise
// the current user's principal, found there or at the server's well-known address
// (/.well-known/carddav, which redirects), then its address-book home set, whose address books are
// listed. The requests go through `session`; `done` is called once, from its replies.
void findAddressBooks(DavSession& session, const QUrl& address,
                      std::function<void(ServerResult<std::vector<FoundAddressBook>>)> done);

// The same for the command line, waiting in an event loop of its own.
ServerResult<std::vector<FoundAddressBook>> findAddressBooksAndWait(const ServerLogin& login,
                                                                    const SessionLimits& limits = {});

}  // namespace pw
