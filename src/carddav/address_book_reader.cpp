#include "carddav/address_book_reader.h"

#include "carddav/dav_multistatus.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStringList>

#include <memory>

namespace pw {
namespace {

// Above this many cards to fetch, one addressbook-query brings them all: some servers take a second
// for a whole address book that way and a minute for each multiget of a hundred.
constexpr qsizetype kQueryAbove = 100;

// A read under way: what the listing found and what has come of it.
struct Reading final {
    DavSession& session;
    ReadOptions options;
    std::function<void(ServerResult<AddressBookCards>)> done;
    AddressBookCards book;
    QStringList hrefs;  // to fetch, as the request names them
    QSet<QString> wanted;  // the same, as cards are told apart
    QHash<QString, QString> etags;  // by href, as listed

    void progress(qint64 cards) const
    {
        if (options.progress)
            options.progress(cards, hrefs.size());
    }
    void fail(const ServerError& error) const { done(std::unexpected(error)); }
};

// The path of a resource the reply at `base` names, as cards are told apart.
QString hrefKey(const QUrl& base, const QString& href)
{
    return base.resolved(QUrl(href)).path(QUrl::FullyDecoded);
}

// The cards of a multiget's or query's answer that were asked for; one too large is named instead.
void takeCards(Reading& reading, const DavReply& reply, const std::vector<DavResource>& cards)
{
    // A card deleted since the listing answers 404 and is simply not there any more.
    for (const DavResource& card : cards) {
        const QString href = hrefKey(reply.url, card.href);
        if (card.addressData.isEmpty() || !reading.wanted.contains(href))
            continue;
        if (card.addressData.size() > kLargestCard) {
            reading.book.tooLarge.append(href);
            continue;
        }
        const QString etag = card.etag.isEmpty() ? reading.etags.value(href) : card.etag;
        reading.book.cards.push_back({href, etag, card.addressData});
    }
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
            return reading->fail(batch.error());
        const auto cards = batch->status == 207 ? parseMultistatus(batch->body) : std::nullopt;
        if (!cards)
            return reading->fail(reading->session.failureOf(*batch));
        takeCards(*reading, *batch, *cards);
        reading->progress(std::min<qint64>(first + size, reading->hrefs.size()));
        fetchBatch(reading, first + size);
    });
}

// Every card in one answer; a server that does not answer such a query is asked in batches.
void fetchAll(const std::shared_ptr<Reading>& reading)
{
    reading->session.send({"REPORT", reading->book.address, "1", queryBody(true)},
                          [reading](ServerResult<DavReply> all) {
                              if (!all)
                                  return reading->fail(all.error());
                              const auto cards = all->status == 207 ? parseMultistatus(all->body) : std::nullopt;
                              if (!cards)
                                  return fetchBatch(reading, 0);
                              takeCards(*reading, *all, *cards);
                              reading->progress(reading->hrefs.size());
                              reading->done(std::move(reading->book));
                          });
}

// The cards an address book lists, from a query's answer or a Depth 1 listing's; then those wanted are fetched.
void listCards(const std::shared_ptr<Reading>& reading, const DavReply& reply, const std::vector<DavResource>& resources)
{
    const QString self = collectionPath(reading->book.address);
    for (const DavResource& r : resources) {
        const QUrl url = reply.url.resolved(QUrl(r.href));
        if (collectionPath(url) == self || r.collection || r.status < 200 || r.status > 299)
            continue;
        const ListedCard card{url.path(QUrl::FullyDecoded), r.etag};
        reading->book.listed.push_back(card);
        reading->etags.insert(card.href, card.etag);
        if (!reading->options.fetch || reading->options.fetch(card)) {
            reading->hrefs.append(url.path(QUrl::FullyEncoded));
            reading->wanted.insert(card.href);
        }
    }
    const qint64 count = qint64(reading->book.listed.size());
    if (count > reading->options.maxCards && !(reading->options.allowMore && reading->options.allowMore(count)))
        return reading->fail(ServerError{ServerError::Kind::TooMany, tooManyCardsText(count)});
    reading->progress(0);
    // One answer for all holds them all in memory: not for a collection beyond the usual sizes.
    if (reading->hrefs.size() > kQueryAbove && count <= kMostCardsUnasked)
        return fetchAll(reading);
    fetchBatch(reading, 0);
}

// The address book's own answer: its name; then its cards are listed, by a query where the server
// answers one (a Depth 1 listing can take a server minutes), else by the listing.
void listed(const std::shared_ptr<Reading>& reading, const QUrl& address, ServerResult<DavReply> answer)
{
    if (!answer)
        return reading->fail(answer.error());
    const auto notFound = [&] {
        reading->fail(ServerError{ServerError::Kind::NotFound,
                                  QStringLiteral("There is no address book at %1.").arg(address.toDisplayString())});
    };
    if (answer->status == 404 || answer->status == 410)
        return notFound();
    const auto resources = answer->status == 207 ? parseMultistatus(answer->body) : std::nullopt;
    if (!resources)
        return reading->fail(reading->session.failureOf(*answer));

    reading->book.address = answer->url;
    const QString self = collectionPath(answer->url);
    bool isAddressBook = false;
    for (const DavResource& r : *resources) {
        if (collectionPath(answer->url.resolved(QUrl(r.href))) != self && resources->size() > 1)
            continue;
        // Some servers answer a mistyped address with a multi-status that says it is not there.
        if (r.status == 404 || r.status == 410)
            return notFound();
        isAddressBook = r.addressBook;
        reading->book.name = r.displayName;
    }
    if (!isAddressBook) {
        return reading->fail(
            ServerError{ServerError::Kind::NotAnAddressBook,
                        QStringLiteral("%1 is not an address book on the server.").arg(address.toDisplayString())});
    }
    const QUrl book = reading->book.address;
    reading->session.send({"REPORT", book, "1", queryBody(false)}, [reading, book](ServerResult<DavReply> query) {
        if (!query)
            return reading->fail(query.error());
        if (const auto cards = query->status == 207 ? parseMultistatus(query->body) : std::nullopt)
            return listCards(reading, *query, *cards);
        reading->session.send({"PROPFIND", book, "1", propfindBody()}, [reading](ServerResult<DavReply> listing) {
            if (!listing)
                return reading->fail(listing.error());
            const auto all = listing->status == 207 ? parseMultistatus(listing->body) : std::nullopt;
            if (!all)
                return reading->fail(reading->session.failureOf(*listing));
            listCards(reading, *listing, *all);
        });
    });
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
    session.send({"PROPFIND", address, "0", propfindBody()},
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
