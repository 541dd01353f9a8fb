#pragma once

#include "carddav/server_error.h"

#include <QByteArray>
#include <QEventLoop>
#include <QMap>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QNetworkReply;

namespace pw {

// The address and, when the server asks for them, the user name and password.
struct ServerLogin final {
    QUrl address;
    QString user;
    QString password;
    // Certificates the person chose to trust though no authority known here vouches for them:
    // SHA-256 fingerprints by hostAndPort(). Exactly that certificate is trusted for that server.
    QMap<QString, QByteArray> trustedCertificates = {};
    bool trustAnyCertificate = false;  // the command line's --insecure
};

// What a conversation that was stopped comes to.
ServerError cancelledError();

// "host:port", with the scheme's own port when the address names none: a server whose certificate
// is trusted.
QString hostAndPort(const QUrl& url);

// The typed or pasted address of a server or address book when a request can go to it: http or
// https (http when it names no scheme), a host; blanks and accents in its path are taken as written.
std::optional<QUrl> serverAddress(const QString& text);

// One WebDAV request: its method, address, Depth header and XML body.
struct DavRequest final {
    QByteArray method;
    QUrl url;
    QByteArray depth;  // "0" or "1"
    QByteArray body;
};

// A reply that came: its status, body, and the address that gave it after any redirects.
struct DavReply final {
    QUrl url;
    int status = 0;
    QByteArray body;
};

// One conversation with a server, one request at a time, driven by the event loop: each request's
// reply comes to its callback, which may send the next. Redirects are followed here, keeping the
// method and body (Qt's own policy would turn a PROPFIND into a GET). A 401 is answered once with
// Basic credentials, which later requests to the same server then carry from the start; a second
// 401 is a refused login, never a loop. HTTPS uses the system's certificates and refuses others,
// but for a certificate the login trusts. A session destroyed with a request under way ends it
// without calling back.
class DavSession final : public QObject {
    Q_OBJECT

public:
    explicit DavSession(ServerLogin login, QObject* parent = nullptr);
    ~DavSession() override;

    // How long the server may stay silent before a request fails.
    void setTimeout(int milliseconds) { timeoutMs_ = milliseconds; }
    // Sends the request; `done` is called once, with the reply of any status or the failure.
    void send(const DavRequest& request, std::function<void(ServerResult<DavReply>)> done);
    // Ends the conversation: the request under way is answered with a Cancelled failure at once,
    // and so is every request sent after it.
    void cancel();

    // For the command line, which has no window to keep answering: `start` begins a conversation
    // on this session, given the callback for its end, and events are handled here until that
    // comes. Should the event loop be told to end first (the program quitting), the conversation is
    // cancelled.
    template <typename T>
    ServerResult<T> waitFor(const std::function<void(std::function<void(ServerResult<T>)>)>& start);

    // The failure for a reply of a status that answers nothing the client asked.
    ServerError failureOf(const DavReply& reply) const;

private:
    void issue();
    void finished(QNetworkReply* reply);
    void finish(ServerResult<DavReply> result);

    QNetworkAccessManager network_;
    ServerLogin login_;
    QSslConfiguration tls_;  // the authorities trusted
    int timeoutMs_ = 30000;
    QString credentialOrigin_;  // the server that asked for credentials once: its requests carry them
    QPointer<QNetworkReply> reply_;
    DavRequest current_;
    int redirects_ = 0;
    bool cancelled_ = false;
    QString sslProblem_;
    QByteArray sslCertificate_;
    std::function<void(ServerResult<DavReply>)> done_;
};

template <typename T>
ServerResult<T> DavSession::waitFor(const std::function<void(std::function<void(ServerResult<T>)>)>& start)
{
    // Shared, so that no answer can reach this frame once it has returned.
    auto answer = std::make_shared<std::optional<ServerResult<T>>>();
    QEventLoop loop;
    start([answer, waiting = QPointer<QEventLoop>(&loop)](ServerResult<T> result) {
        *answer = std::move(result);
        if (waiting)
            waiting->quit();
    });
    if (!*answer)
        loop.exec();
    if (!*answer)
        cancel();
    if (!*answer)
        return std::unexpected(cancelledError());
    return std::move(**answer);
}

}  // namespace pw
