#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>

#include <functional>
#include <optional>

class QTcpSocket;

namespace pw::test {

// A Radicale server on the loopback address with a folder of its own: users "ann", "bo", "cy" and "dee", password
// "secret", address books laid out as files before it starts (or cards added while it runs).
class RadicaleServer final {
public:
    ~RadicaleServer();
    // Writes an address book: the collection's properties and one .vcf file per card.
    void addAddressBook(const QString& path, const QString& displayName, const QList<QByteArray>& cards);
    void addCard(const QString& path, const QString& fileName, const QByteArray& card);
    // Starts the server and waits until it takes connections; the reason when it does not.
    QString start();
    QUrl url(const QString& path) const;

private:
    QTemporaryDir folder_;
    QProcess process_;
    quint16 port_ = 0;
};

// A Xandikos server on the loopback address with a folder of its own and no login (it leaves that to
// a proxy in front of it): the principal /user/, its address books under /user/contacts/.
class XandikosServer final {
public:
    ~XandikosServer();
    QString start();
    QUrl url(const QString& path) const;
    // Where it keeps its collections, each a git repository.
    QString folder() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
    QProcess process_;
    quint16 port_ = 0;
};

// Changes an address book on a running server as a client would: MKCOL an address book with its
// display name, PUT a card, DELETE one. The status the server answered; 0 when it did not.
int makeAddressBook(const QUrl& url, const QString& displayName, const QString& user = {});
int putCard(const QUrl& url, const QByteArray& card, const QString& user = {});
int deleteCard(const QUrl& url, const QString& user = {});

// One request as the small server below received it.
struct ReceivedRequest final {
    QByteArray method;
    QByteArray path;
    QByteArray headers;
    QByteArray body;
};

// A small HTTP server on the loopback address that answers each request with what `answer`
// returns; an empty answer leaves the request unanswered, as a hung server would. With a TLS
// configuration it speaks HTTPS.
class SmallHttpServer final : public QObject {
public:
    explicit SmallHttpServer(std::function<QByteArray(const ReceivedRequest&)> answer,
                             const std::optional<QSslConfiguration>& tls = std::nullopt);
    quint16 port() const { return server_->serverPort(); }
    QUrl url(const QString& path) const;

    QList<ReceivedRequest> received;

private:
    void serve(QTcpSocket* socket);

    QTcpServer* server_ = nullptr;
    std::function<QByteArray(const ReceivedRequest&)> answer_;
};

// A self-signed certificate for "localhost" and 127.0.0.1 and its key, made with openssl as cert.pem and
// key.pem in `folder`; empty when it could not be.
QSslConfiguration selfSignedServer(const QString& folder);

// A CardDAV server's answer for an address book at /book/ that holds `card` alone.
QByteArray oneCardAddressBook(const ReceivedRequest& request, const QByteArray& card);

// An HTTP answer with its status line, extra header lines and body.
QByteArray httpAnswer(const QByteArray& status, const QByteArray& headers = {}, const QByteArray& body = {});

}  // namespace pw::test
