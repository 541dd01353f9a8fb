#include "carddav/dav_multistatus.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace pw {
namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCardDav = QStringLiteral("urn:ietf:params:xml:ns:carddav");

// The first href inside the element the reader stands on; the reader ends on its end tag.
QString hrefInside(QXmlStreamReader& xml)
{
    QString href;
    while (xml.readNextStartElement()) {
        if (href.isEmpty() && xml.namespaceUri() == kDav && xml.name() == u"href")
            href = xml.readElementText().trimmed();
        else
            xml.skipCurrentElement();
    }
    return href;
}

// "HTTP/1.1 404 Not Found" gives 404.
int statusOf(const QString& line)
{
    const QStringList words = line.simplified().split(u' ');
    return words.size() >= 2 ? words[1].toInt() : 0;
}

// Reads one propstat into `found` when its status is 2xx; returns its status.
int readPropstat(QXmlStreamReader& xml, DavResource& found)
{
    DavResource props;
    int status = 200;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() == kDav && xml.name() == u"status") {
            status = statusOf(xml.readElementText());
        } else if (xml.namespaceUri() == kDav && xml.name() == u"prop") {
            while (xml.readNextStartElement()) {
                const bool dav = xml.namespaceUri() == kDav;
                const bool cardDav = xml.namespaceUri() == kCardDav;
                if (dav && xml.name() == u"resourcetype") {
                    while (xml.readNextStartElement()) {
                        props.collection |= xml.namespaceUri() == kDav && xml.name() == u"collection";
                        props.addressBook |= xml.namespaceUri() == kCardDav && xml.name() == u"addressbook";
                        xml.skipCurrentElement();
                    }
                } else if (dav && xml.name() == u"getetag") {
                    props.etag = xml.readElementText().trimmed();
                } else if (dav && xml.name() == u"displayname") {
                    props.displayName = xml.readElementText().trimmed();
                } else if (cardDav && xml.name() == u"address-data") {
                    props.addressData = xml.readElementText().toUtf8();
                } else if (dav && xml.name() == u"current-user-principal") {
                    props.currentUserPrincipal = hrefInside(xml);
                } else if (cardDav && xml.name() == u"addressbook-home-set") {
                    props.addressBookHome = hrefInside(xml);
                } else {
                    xml.skipCurrentElement();
                }
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    if (status < 200 || status > 299)
        return status;
    found.collection |= props.collection;
    found.addressBook |= props.addressBook;
    for (auto [to, from] : {std::pair{&found.displayName, &props.displayName},
                            std::pair{&found.etag, &props.etag},
                            std::pair{&found.currentUserPrincipal, &props.currentUserPrincipal},
                            std::pair{&found.addressBookHome, &props.addressBookHome}}) {
        if (!from->isEmpty())
            *to = *from;
    }
    if (!props.addressData.isEmpty())
        found.addressData = props.addressData;
    return status;
}

// A request body's start: its root element, with both namespaces, and the prop element opened.
void startRequest(QXmlStreamWriter& xml, const QString& rootNamespace, const QString& root)
{
    xml.writeStartDocument();
    xml.writeNamespace(kDav, QStringLiteral("d"));
    xml.writeNamespace(kCardDav, QStringLiteral("c"));
    xml.writeStartElement(rootNamespace, root);
    xml.writeStartElement(kDav, QStringLiteral("prop"));
}

}  // namespace

std::optional<std::vector<DavResource>> parseMultistatus(const QByteArray& body)
{
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement() || xml.namespaceUri() != kDav || xml.name() != u"multistatus")
        return std::nullopt;
    std::vector<DavResource> resources;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() != kDav || xml.name() != u"response") {
            xml.skipCurrentElement();
            continue;
        }
        DavResource resource;
        bool ownStatus = false;
        int found = 0;  // the propstats' status: any 2xx, else the last one
        while (xml.readNextStartElement()) {
            if (xml.namespaceUri() == kDav && xml.name() == u"href") {
                resource.href = xml.readElementText().trimmed();
            } else if (xml.namespaceUri() == kDav && xml.name() == u"status") {
                resource.status = statusOf(xml.readElementText());
                ownStatus = true;
            } else if (xml.namespaceUri() == kDav && xml.name() == u"propstat") {
                const int status = readPropstat(xml, resource);
                if (found < 200 || found > 299)
                    found = status;
            } else {
                xml.skipCurrentElement();
            }
        }
        // A resource whose every property is "404 Not Found" is not there.
        if (!ownStatus && found >= 400)
            resource.status = found;
        if (!resource.href.isEmpty())
            resources.push_back(std::move(resource));
    }
    if (xml.hasError())
        return std::nullopt;
    return resources;
}

QString collectionPath(const QUrl& url)
{
    QString path = url.path(QUrl::FullyDecoded);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QByteArray propfindBody()
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    startRequest(xml, kDav, QStringLiteral("propfind"));
    xml.writeEmptyElement(kDav, QStringLiteral("resourcetype"));
    xml.writeEmptyElement(kDav, QStringLiteral("displayname"));
    xml.writeEmptyElement(kDav, QStringLiteral("getetag"));
    xml.writeEmptyElement(kDav, QStringLiteral("current-user-principal"));
    xml.writeEmptyElement(kCardDav, QStringLiteral("addressbook-home-set"));
    xml.writeEndDocument();
    return body;
}

QByteArray multigetBody(const QStringList& hrefs)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    startRequest(xml, kCardDav, QStringLiteral("addressbook-multiget"));
    xml.writeEmptyElement(kDav, QStringLiteral("getetag"));
    xml.writeEmptyElement(kCardDav, QStringLiteral("address-data"));
    xml.writeEndElement();
    for (const QString& href : hrefs)
        xml.writeTextElement(kDav, QStringLiteral("href"), href);
    xml.writeEndDocument();
    return body;
}

QByteArray queryBody(bool withCards)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    startRequest(xml, kCardDav, QStringLiteral("addressbook-query"));
    xml.writeEmptyElement(kDav, QStringLiteral("getetag"));
    if (withCards)
        xml.writeEmptyElement(kCardDav, QStringLiteral("address-data"));
    xml.writeEndDocument();
    return body;
}

}  // namespace pw
