#include "carddav/address_book_reader.h"

#include "carddav/dav_multistatus.h"

#include <QHash>
#include <QLocale>
#include <QStringList>

#include <memory>

namespace pw {
namespace {

// A read under way: what the listing found and what has come of it.
struct Reading final {
    DavSession& session;
    ReadOptions options;
    std::function<void(ServerResult<AddressBookCards>)> done;
    AddressBookCards book;
    QStringList hrefs;  // to fetch, as the request names them
    QHash<QString, QString> etags;  // by href, as listed

    void progress(qint64 cards) const
    {
        if (options.progress)
            options.progress(cards, hrefs.size());
    }
};

// The path of a resource the reply at `base` names, as cards are told apart.
QString hrefKey(const QUrl& base, const QString& href)
{
    return base.resolved(QUrl(href)).path(QUrl::FullyDecoded);
}

// The cards of the batch that begins at `first`, then the next batch, until every card has come.
void fetchBatch(const std::shared_ptr<Reading>& reading, qsizetype first)
{
    if (first >= reading->hrefs.size())
        return reading->done(std::move(reading->book));
    const int size = reading->options.batchSize;
    const DavRequest request{"REPORT", reading->book.address, "1", multigetBody(reading->hrefs.mid(first, size))};
    reading->session.send(request, [reading, first, size](ServerResult<DavReply> batch) {
        if (!batch)
            return reading->done(std::unexpected(batch.error()));
        const auto cards = batch->status == 207 ? parseMultistatus(batch->body) : std::nullopt;
        if (!cards)
            return reading->done(std::unexpected(reading->session.failureOf(*batch)));
        // A card deleted since the listing answers 404 and is simply not there any more.
        for (const DavResource& card : *cards) {
            if (card.addressData.isEmpty())
                continue;
            const QString href = hrefKey(batch->url, card.href);
            if (card.addressData.size() > kLargestCard) {
                reading->book.tooLarge.append(href);
                continue;
            }
            const QString etag = card.etag.isEmpty() ? reading->etags.value(href) : card.etag;
            reading->book.cards.push_back({href, etag, card.addressData});
        }
        reading->progress(std::min<qint64>(first + size, reading->hrefs.size()));
        fetchBatch(reading, first + size);
    });
}

// The listing's answer: the address book's name and the addresses of its cards.
void listed(const std::shared_ptr<Reading>& reading, const QUrl& address, ServerResult<DavReply> listing)
{
    if (!listing)
        return reading->done(std::unexpected(listing.error()));
    const auto notFound = [&] {
        reading->done(
            std::unexpected(ServerError{ServerError::Kind::NotFound, QStringLiteral("There is no address book at %1.")
                                                                         .arg(address.toDisplayString())}));
    };
    if (listing->status == 404 || listing->status == 410)
        return notFound();
    const auto resources = listing->status == 207 ? parseMultistatus(listing->body) : std::nullopt;
    if (!resources)
        return reading->done(std::unexpected(reading->session.failureOf(*listing)));

    reading->book.address = listing->url;
    const QString self = collectionPath(listing->url);
    bool isAddressBook = false;
    for (const DavResource& r : *resources) {
        const QUrl url = listing->url.resolved(QUrl(r.href));
        if (collectionPath(url) == self) {
            // Some servers answer a mistyped address with a multi-status that says it is not there.
            if (r.status == 404 || r.status == 410)
                return notFound();
            isAddressBook = r.addressBook;
            reading->book.name = r.displayName;
        } else if (!r.collection && r.status >= 200 && r.status <= 299) {
            const ListedCard card{url.path(QUrl::FullyDecoded), r.etag};
            reading->book.listed.push_back(card);
            reading->etags.insert(card.href, card.etag);
            if (!reading->options.fetch || reading->options.fetch(card))
                reading->hrefs.append(url.path(QUrl::FullyEncoded));
        }
    }
    if (!isAddressBook) {
        return reading->done(std::unexpected(
            ServerError{ServerError::Kind::NotAnAddressBook,
                        QStringLiteral("%1 is not an address book on the server.").arg(address.toDisplayString())}));
    }
    const qint64 count = qint64(reading->book.listed.size());
    if (count > reading->options.maxCards && !(reading->options.allowMore && reading->options.allowMore(count)))
        return reading->done(std::unexpected(ServerError{ServerError::Kind::TooMany, tooManyCardsText(count)}));
    reading->progress(0);
    fetchBatch(reading, 0);
}

}  // namespace

QString tooManyCardsText(qint64 listed)
{
    return QStringLiteral("The server lists %1 cards.").arg(QLocale(QLocale::English).toString(listed));
}

void readAddressBook(DavSession& session, const QUrl& address, ReadOptions options,
                     std::function<void(ServerResult<AddressBookCards>)> done)
{
    auto reading = std::make_shared<Reading>(session, std::move(options), std::move(done));
    if (reading->options.progress)
        reading->options.progress(0, 0);
    session.send({"PROPFIND", address, "1", propfindBody()},
                 [reading, address](ServerResult<DavReply> listing) { listed(reading, address, std::move(listing)); });
}

ServerResult<AddressBookCards> readAddressBookAndWait(const ServerLogin& login, const ReadOptions& options,
                                                      const SessionLimits& limits)
{
    DavSession session(login);
    session.setLimits(limits);
    return session.waitFor<AddressBookCards>(
        [&](auto done) { readAddressBook(session, login.address, options, std::move(done)); });
}

}  // namespace pw
