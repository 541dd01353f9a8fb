#pragma once

#include "carddav/dav_session.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <vector>

namespace pw {

// A card as the server lists it: its path on the server and its version.
struct ListedCard final {
    QString href;  // the path, percent-decoded, so that two spellings of one card are one
    QString etag;
};

// A card fetched, as the server keeps it.
struct ServerCard final {
    QString href;
    QString etag;
    QByteArray data;
};

// The cards of one address book.
struct AddressBookCards final {
    QUrl address;  // where the address book answered, after any redirects
    QString name;
    std::vector<ListedCard> listed;  // every card the server lists, fetched or not
    std::vector<ServerCard> cards;   // those fetched
    QStringList tooLarge;            // cards left out for their size, by href
};

// A collection of more cards than this is asked about before it is read.
inline constexpr qint64 kMostCardsUnasked = 100000;
// A card larger than this is left out and named: no contact needs it, and a broken server's would
// fill memory.
inline constexpr qsizetype kLargestCard = 1 << 20;

struct ReadOptions final {
    // How many cards have come of how many (0 of 0 while the address book is listed).
    std::function<void(qint64 done, qint64 total)> progress;
    int batchSize = 100;  // cards asked for in one addressbook-multiget
    // Which listed cards to fetch; none: every one.
    std::function<bool(const ListedCard&)> fetch;
    // The address book lists more than `maxCards`: whether to read it all the same; none: no.
    qint64 maxCards = kMostCardsUnasked;
    std::function<bool(qint64 listed)> allowMore;
};

// The words for an address book that lists more cards than were allowed.
QString tooManyCardsText(qint64 listed);

// Reads the cards of the address book at `address` through `session`: asks what it is (PROPFIND,
// Depth 0), lists its cards and their versions (REPORT addressbook-query, or PROPFIND Depth 1 where
// the server answers no query), then fetches those wanted: all in one query when there are many,
// else in batches (REPORT addressbook-multiget). `done` is called once, from the session's replies,
// with the cards or why not: an import takes all the cards or none.
void readAddressBook(DavSession& session, const QUrl& address, ReadOptions options,
                     std::function<void(ServerResult<AddressBookCards>)> done);

// The same for the command line, waiting in an event loop of its own.
ServerResult<AddressBookCards> readAddressBookAndWait(const ServerLogin& login, const ReadOptions& options,
                                                      const SessionLimits& limits = {});

}  // namespace pw
