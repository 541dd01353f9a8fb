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
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QAuthenticator;
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
    // Hosts besides the address's own that may have the user name and password when they ask.
    QStringList allowedHosts = {};
};

// How long a request may take: silent, and in all.
struct SessionLimits final {
    int silenceMs = 30000;
    int overallMs = 600000;
};

// A reply larger than this is broken off: a server's answer is held in memory whole.
inline constexpr qint64 kLargestReply = qint64(256) << 20;

// What a conversation that was stopped comes to.
ServerError cancelledError();

// "host:port", with the scheme's own port when the address names none: a server whose certificate
// is trusted.
QString hostAndPort(const QUrl& url);

// The typed or pasted address of a server or address book when a request can go to it: http or
// https (http when it names no scheme), a host; blanks and accents in its path are taken as written.
std::optional<QUrl> serverAddress(const QString& text);
// A user name or password written into the address: they go in their own boxes or options, never
// into an address that messages and settings show.
bool holdsCredentials(const QString& text);

// One WebDAV request: its method, address, Depth header and XML body.
struct DavRequest final {
    QByteArray method;
    QUrl url;
    QByteArray depth;  // "0" or "1"
    QByteArray body;
    QByteArray contentType = "application/xml; charset=utf-8";
};

// A reply that came: its status, body, and the address that gave it after any redirects.
struct DavReply final {
    QUrl url;
    int status = 0;
    QByteArray body;
};

// One conversation with a server, one request at a time, driven by the event loop: each request's
// reply comes to its callback, which may send the next. Redirects are followed here, keeping the
// method and body (Qt's own policy would turn a PROPFIND into a GET). A server's challenge (Basic
// or Digest, as it asks) is answered once per request by Qt's authenticator, and only for the host
// of the login's address or one it allows; a second 401 is a refused login, never a loop. HTTPS
// uses the system's certificates and refuses others, but for a certificate the login trusts. A
// session destroyed with a request under way ends it without calling back.
class DavSession final : public QObject {
    Q_OBJECT

public:
    explicit DavSession(ServerLogin login, QObject* parent = nullptr);
    ~DavSession() override;

    // How long the server may stay silent, and take in all, before a request fails.
    void setLimits(const SessionLimits& limits) { limits_ = limits; }
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
    void authenticate(QNetworkReply* reply, QAuthenticator* authenticator);

    QNetworkAccessManager network_;
    ServerLogin login_;
    QSslConfiguration tls_;  // the authorities trusted
    SessionLimits limits_;
    QPointer<QNetworkReply> reply_;
    bool answeredChallenge_ = false;  // the credentials went once in answer to this request
    QString refusedHost_;  // a host not allowed the credentials asked for them
    enum class Broken { No, TooLong, TooLarge } broken_ = Broken::No;
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
