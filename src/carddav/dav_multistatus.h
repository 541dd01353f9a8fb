#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

namespace pw {

// One resource of a WebDAV multi-status reply, with the properties the server found for it.
struct DavResource final {
    QString href;  // as the server wrote it: a path, or a whole address
    int status = 200;  // the response's own status (404 for a card gone since it was listed)
    bool collection = false;
    bool addressBook = false;
    QString displayName;
    QString etag;  // the version of a card: another one once the card changed
    QByteArray addressData;  // the card itself, in a multiget's reply
    QString currentUserPrincipal;  // hrefs that lead from a server's root to its address books
    QString addressBookHome;
};

// The resources of a 207 reply's body; none when the body is not a multi-status document. Only
// properties under a 2xx propstat count.
std::optional<std::vector<DavResource>> parseMultistatus(const QByteArray& body);

// A collection's path with its closing slash, so that "/ann/book" and "/ann/book/" are one.
QString collectionPath(const QUrl& url);

// PROPFIND asking what a listing needs: each resource's type and name, and the way to the address books.
QByteArray propfindBody();
// REPORT addressbook-multiget for the cards at these hrefs.
QByteArray multigetBody(const QStringList& hrefs);
// REPORT addressbook-query for every card of an address book: its href and version, and with
// `withCards` the card itself.
QByteArray queryBody(bool withCards);

}  // namespace pw
