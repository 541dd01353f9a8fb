#include "carddav/address_book_finder.h"

#include "carddav/dav_multistatus.h"

#include <QCollator>

#include <algorithm>
#include <memory>
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

using Found = ServerResult<std::vector<FoundAddressBook>>;

// A search under way.
struct Search final {
    DavSession& session;
    QUrl address;
    std::function<void(Found)> done;
};

// A PROPFIND's answer, as a listing of the resource it asked about and, when Depth was 1, the others.
void propfind(DavSession& session, const QUrl& url, const QByteArray& depth,
              std::function<void(ServerResult<Listing>)> then)
{
    session.send({"PROPFIND", url, depth, propfindBody()},
                 [&session, then = std::move(then)](ServerResult<DavReply> reply) {
                     if (!reply)
                         return then(std::unexpected(reply.error()));
                     const auto resources = reply->status == 207 ? parseMultistatus(reply->body) : std::nullopt;
                     if (!resources)
                         return then(std::unexpected(session.failureOf(*reply)));
                     Listing listing{reply->url, {}, {}};
                     for (const DavResource& r : *resources) {
                         const QUrl at = reply->url.resolved(QUrl(r.href));
                         if (collectionPath(at) == collectionPath(reply->url) || resources->size() == 1)
                             listing.self = r;
                         else
                             listing.members.emplace_back(at, r);
                     }
                     then(std::move(listing));
                 });
}

// The address books of the home set, by name.
void listHome(const std::shared_ptr<Search>& search, const QUrl& home)
{
    propfind(search->session, home, "1", [search](ServerResult<Listing> listed) {
        if (!listed)
            return search->done(std::unexpected(listed.error()));
        std::vector<FoundAddressBook> books;
        for (const auto& [url, r] : listed->members) {
            if (r.addressBook)
                books.push_back({url, nameOf(url, r)});
        }
        QCollator byName;
        byName.setCaseSensitivity(Qt::CaseInsensitive);
        std::sort(books.begin(), books.end(), [&](const FoundAddressBook& a, const FoundAddressBook& b) {
            return byName.compare(a.name, b.name) < 0;
        });
        search->done(std::move(books));
    });
}

// From a resource that names the principal or the home set, answered at `base`: the home set.
void followToHome(const std::shared_ptr<Search>& search, const QUrl& base, const DavResource& found)
{
    if (!found.addressBookHome.isEmpty())
        return listHome(search, base.resolved(QUrl(found.addressBookHome)));
    const auto noHome = [search] {
        search->done(std::unexpected(
            ServerError{ServerError::Kind::NotCardDav, QStringLiteral("%1 does not say where this user's address "
                                                                      "books are.")
                                                           .arg(search->address.toDisplayString())}));
    };
    if (found.currentUserPrincipal.isEmpty())
        return noHome();
    propfind(search->session, base.resolved(QUrl(found.currentUserPrincipal)), "0",
             [search, noHome](ServerResult<Listing> principal) {
                 if (!principal)
                     return search->done(std::unexpected(principal.error()));
                 if (principal->self.addressBookHome.isEmpty())
                     return noHome();
                 listHome(search, principal->url.resolved(QUrl(principal->self.addressBookHome)));
             });
}

}  // namespace

void findAddressBooks(DavSession& session, const QUrl& address, std::function<void(Found)> done)
{
    auto search = std::make_shared<Search>(session, address, std::move(done));
    // The address itself, then the server's well-known address for the way to the principal.
    propfind(session, address, "0", [search](ServerResult<Listing> start) {
        if (!start && endsTheSearch(start.error()))
            return search->done(std::unexpected(start.error()));
        if (start && start->self.addressBook)
            return search->done(std::vector<FoundAddressBook>{{start->url, nameOf(start->url, start->self)}});
        if (start && (!start->self.currentUserPrincipal.isEmpty() || !start->self.addressBookHome.isEmpty()))
            return followToHome(search, start->url, start->self);
        const QUrl known = search->address.resolved(QUrl(QStringLiteral("/.well-known/carddav")));
        propfind(search->session, known, "0", [search, start](ServerResult<Listing> answer) {
            if (!answer)
                return search->done(
                    std::unexpected(endsTheSearch(answer.error()) || !start ? answer.error() : start.error()));
            followToHome(search, answer->url, answer->self);
        });
    });
}

Found findAddressBooksAndWait(const ServerLogin& login, const SessionLimits& limits)
{
    DavSession session(login);
    session.setLimits(limits);
    return session.waitFor<std::vector<FoundAddressBook>>(
        [&](auto done) { findAddressBooks(session, login.address, std::move(done)); });
}

}  // namespace pw
