#include "carddav/address_book_reader.h"

#include "carddav/dav_multistatus.h"

#include <QStringList>

namespace pw {

ServerResult<AddressBookCards> readAddressBook(const ServerLogin& login, const ReadOptions& options)
{
    DavSession session(login);
    session.setTimeout(options.timeoutMs);
    qint64 done = 0;
    qint64 total = 0;
    auto keepGoing = [&] { return !options.progress || options.progress(done, total); };
    const ServerError stopped{ServerError::Kind::Cancelled, QStringLiteral("Stopped."), {}};
    if (!keepGoing())
        return std::unexpected(stopped);

    const ServerResult<DavReply> listing =
        session.exchange({"PROPFIND", login.address, "1", propfindBody()}, keepGoing);
    if (!listing)
        return std::unexpected(listing.error());
    if (listing->status == 404 || listing->status == 410) {
        return std::unexpected(
            ServerError{ServerError::Kind::NotFound,
                        QStringLiteral("There is no address book at %1.").arg(login.address.toString()),
                        {}});
    }
    const auto resources = listing->status == 207 ? parseMultistatus(listing->body) : std::nullopt;
    if (!resources)
        return std::unexpected(session.failureOf(*listing));

    AddressBookCards book;
    book.address = listing->url;
    const QString self = collectionPath(listing->url);
    bool isAddressBook = false;
    QStringList hrefs;
    for (const DavResource& r : *resources) {
        const QUrl url = listing->url.resolved(QUrl(r.href));
        if (collectionPath(url) == self) {
            isAddressBook = r.addressBook;
            book.name = r.displayName;
        } else if (!r.collection && r.status >= 200 && r.status <= 299) {
            hrefs.append(url.path(QUrl::FullyEncoded));
        }
    }
    if (!isAddressBook) {
        return std::unexpected(
            ServerError{ServerError::Kind::NotAnAddressBook,
                        QStringLiteral("%1 is not an address book on the server.").arg(login.address.toString()),
                        {}});
    }

    total = hrefs.size();
    for (qsizetype first = 0; first < hrefs.size(); first += options.batchSize) {
        if (!keepGoing())
            return std::unexpected(stopped);
        const ServerResult<DavReply> batch =
            session.exchange({"REPORT", book.address, "1", multigetBody(hrefs.mid(first, options.batchSize))},
                             keepGoing);
        if (!batch)
            return std::unexpected(batch.error());
        const auto cards = batch->status == 207 ? parseMultistatus(batch->body) : std::nullopt;
        if (!cards)
            return std::unexpected(session.failureOf(*batch));
        // A card deleted since the listing answers 404 and is simply not there any more.
        for (const DavResource& card : *cards) {
            if (!card.addressData.isEmpty())
                book.cards.push_back(card.addressData);
        }
        done = std::min<qint64>(first + options.batchSize, total);
    }
    if (!keepGoing())
        return std::unexpected(stopped);
    return book;
}

}  // namespace pw
