#include "carddav/address_book_finder.h"

#include "carddav/dav_multistatus.h"

#include <QCollator>

#include <algorithm>
#include <optional>

namespace pw {
namespace {

// A PROPFIND's reply and the resource it asked about, the others when Depth was 1.
struct Listing final {
    QUrl url;
    DavResource self;
    std::vector<std::pair<QUrl, DavResource>> members;
};

// The name of an address book that gives none: the last part of its address.
QString nameOf(const QUrl& url, const DavResource& resource)
{
    return resource.displayName.isEmpty() ? collectionPath(url).section(u'/', -2, -2) : resource.displayName;
}

// Failures that no other address can mend: the person has to change something first.
bool endsTheSearch(const ServerError& error)
{
    return error.kind != ServerError::Kind::NotFound && error.kind != ServerError::Kind::NotCardDav
           && error.kind != ServerError::Kind::Forbidden;
}

}  // namespace

ServerResult<std::vector<FoundAddressBook>> findAddressBooks(const ServerLogin& login,
                                                             const std::function<bool()>& keepGoing, int timeoutMs)
{
    DavSession session(login);
    session.setTimeout(timeoutMs);
    auto propfind = [&](const QUrl& url, const QByteArray& depth) -> ServerResult<Listing> {
        const ServerResult<DavReply> reply = session.exchange({"PROPFIND", url, depth, propfindBody()}, keepGoing);
        if (!reply)
            return std::unexpected(reply.error());
        const auto resources = reply->status == 207 ? parseMultistatus(reply->body) : std::nullopt;
        if (!resources)
            return std::unexpected(session.failureOf(*reply));
        Listing listing{reply->url, {}, {}};
        for (const DavResource& r : *resources) {
            const QUrl at = reply->url.resolved(QUrl(r.href));
            if (collectionPath(at) == collectionPath(reply->url) || resources->size() == 1)
                listing.self = r;
            else
                listing.members.emplace_back(at, r);
        }
        return listing;
    };

    // The address itself, then the server's well-known address for the way to the principal.
    ServerResult<Listing> start = propfind(login.address, "0");
    if (!start && endsTheSearch(start.error()))
        return std::unexpected(start.error());
    if (start && start->self.addressBook)
        return std::vector<FoundAddressBook>{{start->url, nameOf(start->url, start->self)}};
    QUrl base = start ? start->url : login.address;
    DavResource found = start ? start->self : DavResource{};
    if (found.currentUserPrincipal.isEmpty() && found.addressBookHome.isEmpty()) {
        const ServerResult<Listing> known =
            propfind(login.address.resolved(QUrl(QStringLiteral("/.well-known/carddav"))), "0");
        if (!known)
            return std::unexpected(endsTheSearch(known.error()) || !start ? known.error() : start.error());
        base = known->url;
        found = known->self;
    }
    QUrl home = found.addressBookHome.isEmpty() ? QUrl() : base.resolved(QUrl(found.addressBookHome));
    if (home.isEmpty() && !found.currentUserPrincipal.isEmpty()) {
        const ServerResult<Listing> principal = propfind(base.resolved(QUrl(found.currentUserPrincipal)), "0");
        if (!principal)
            return std::unexpected(principal.error());
        if (!principal->self.addressBookHome.isEmpty())
            home = principal->url.resolved(QUrl(principal->self.addressBookHome));
    }
    if (home.isEmpty()) {
        return std::unexpected(ServerError{ServerError::Kind::NotCardDav,
                                           QStringLiteral("%1 does not say where this user's address books are.")
                                               .arg(login.address.toString()),
                                           {}});
    }

    const ServerResult<Listing> listed = propfind(home, "1");
    if (!listed)
        return std::unexpected(listed.error());
    std::vector<FoundAddressBook> books;
    for (const auto& [url, r] : listed->members) {
        if (r.addressBook)
            books.push_back({url, nameOf(url, r)});
    }
    QCollator byName;
    byName.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(books.begin(), books.end(),
              [&](const FoundAddressBook& a, const FoundAddressBook& b) { return byName.compare(a.name, b.name) < 0; });
    return books;
}

}  // namespace pw
