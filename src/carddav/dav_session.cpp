#include "carddav/dav_session.h"

#include <QAuthenticator>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

#include <optional>

namespace pw {
namespace {

constexpr int kMostRedirects = 5;

QString hostOf(const QUrl& url)
{
    return url.port() < 0 ? url.host() : QStringLiteral("%1:%2").arg(url.host()).arg(url.port());
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The authorities this computer trusts: the system's, and those that SSL_CERT_FILE and SSL_CERT_DIR
// name, as programs using OpenSSL take them.
QSslConfiguration trustedAuthorities()
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    QList<QSslCertificate> more;
    if (const QString file = qEnvironmentVariable("SSL_CERT_FILE"); !file.isEmpty())
        more += QSslCertificate::fromPath(file, QSsl::Pem);
    for (const QString& folder : qEnvironmentVariable("SSL_CERT_DIR").split(u':', Qt::SkipEmptyParts)) {
        for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Readable))
            more += QSslCertificate::fromPath(f.filePath(), QSsl::Pem);
    }
    if (!more.isEmpty())
        tls.addCaCertificates(more);
    return tls;
}

}  // namespace

ServerError cancelledError()
{
    return {ServerError::Kind::Cancelled, QStringLiteral("Stopped.")};
}

QString hostAndPort(const QUrl& url)
{
    return QStringLiteral("%1:%2").arg(url.host()).arg(url.port(url.scheme() == u"https" ? 443 : 80));
}

bool holdsCredentials(const QString& text)
{
    return !QUrl::fromUserInput(text.trimmed()).userInfo().isEmpty();
}

std::optional<QUrl> serverAddress(const QString& text)
{
    // Leniently, as a browser's address bar: servers show paths with blanks and accents, and people
    // paste them as shown; the request sends them percent-encoded.
    const QUrl url = QUrl::fromUserInput(text.trimmed());
    if (!url.isValid() || url.host().isEmpty() || (url.scheme() != u"https" && url.scheme() != u"http"))
        return std::nullopt;
    return url;
}

DavSession::DavSession(ServerLogin login, QObject* parent)
    : QObject(parent), login_(std::move(login)), tls_(trustedAuthorities())
{
    // Proxies named in the environment apply as for any other program of the desktop.
    network_.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    connect(&network_, &QNetworkAccessManager::authenticationRequired, this, &DavSession::authenticate);
}

void DavSession::authenticate(QNetworkReply* reply, QAuthenticator* authenticator)
{
    // Unanswered, the request ends with the 401, which failureOf() puts in words. Qt answers with the
    // scheme the server asked for: never Basic, with the password in the clear, to a Digest challenge.
    if (reply != reply_ || login_.user.isEmpty() || answeredChallenge_)
        return;
    const QUrl asking = reply->url();
    if (asking.host().compare(login_.address.host(), Qt::CaseInsensitive) != 0
        && !login_.allowedHosts.contains(asking.host(), Qt::CaseInsensitive)) {
        refusedHost_ = asking.host();
        return;
    }
    answeredChallenge_ = true;
    authenticator->setUser(login_.user);
    authenticator->setPassword(login_.password);
}

DavSession::~DavSession()
{
    // The reply must not call back into a session half destroyed.
    if (QNetworkReply* reply = reply_) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
    }
}

void DavSession::send(const DavRequest& request, std::function<void(ServerResult<DavReply>)> done)
{
    current_ = request;
    done_ = std::move(done);
    redirects_ = 0;
    refusedHost_.clear();
    if (cancelled_)
        return finish(std::unexpected(cancelledError()));
    issue();
}

void DavSession::cancel()
{
    cancelled_ = true;
    // Answered here rather than by the reply's own signal, so that the answer comes at once.
    if (QNetworkReply* reply = reply_) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        finished(reply);
    }
}

void DavSession::finish(ServerResult<DavReply> result)
{
    // `done` may send the next request, which takes the place of this one's.
    const auto done = std::move(done_);
    done(std::move(result));
}

void DavSession::issue()
{
    QNetworkRequest request(current_.url);
    request.setTransferTimeout(limits_.silenceMs);
    request.setSslConfiguration(tls_);
    request.setHeader(QNetworkRequest::ContentTypeHeader, current_.contentType);
    if (!current_.depth.isEmpty())
        request.setRawHeader("Depth", current_.depth);
    sslProblem_.clear();
    sslCertificate_.clear();
    answeredChallenge_ = false;
    broken_ = Broken::No;
    reply_ = network_.sendCustomRequest(request, current_.method, current_.body);
    // Silence has its own limit; a server that trickles its answer meets this one.
    auto* overall = new QTimer(reply_);
    overall->setSingleShot(true);
    connect(overall, &QTimer::timeout, reply_, [this, reply = reply_.data()] {
        broken_ = Broken::TooLong;
        reply->abort();
    });
    overall->start(limits_.overallMs);
    connect(reply_, &QNetworkReply::downloadProgress, this, [this, reply = reply_.data()](qint64 received, qint64) {
        if (received > kLargestReply && broken_ == Broken::No) {
            broken_ = Broken::TooLarge;
            reply->abort();
        }
    });
    connect(reply_, &QNetworkReply::sslErrors, this, [this](const QList<QSslError>& errors) {
        if (errors.isEmpty())
            return;
        const QSslCertificate peer = reply_->sslConfiguration().peerCertificate();
        const QByteArray sha256 = peer.isNull() ? QByteArray() : peer.digest(QCryptographicHash::Sha256);
        const QByteArray trusted = login_.trustedCertificates.value(hostAndPort(current_.url));
        if (login_.trustAnyCertificate || (!sha256.isEmpty() && sha256 == trusted)) {
            reply_->ignoreSslErrors(errors);
            return;
        }
        sslProblem_ = errors.first().errorString();
        sslCertificate_ = sha256;
    });
    connect(reply_, &QNetworkReply::finished, this, [this, reply = reply_.data()] { finished(reply); });
}

void DavSession::finished(QNetworkReply* reply)
{
    reply->deleteLater();
    reply_ = nullptr;
    const QString host = hostOf(current_.url);
    auto fail = [&](ServerError::Kind kind, const QString& text, const QByteArray& certificate = {}) {
        finish(std::unexpected(
            ServerError{kind, text, certificate, certificate.isEmpty() ? QString() : hostAndPort(current_.url)}));
    };
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (cancelled_)
        return finish(std::unexpected(cancelledError()));
    if (broken_ == Broken::TooLong) {
        return fail(ServerError::Kind::TimedOut, QStringLiteral("The server %1 did not finish its answer within %2 "
                                                                "seconds.")
                                                     .arg(host)
                                                     .arg(limits_.overallMs / 1000.0));
    }
    if (broken_ == Broken::TooLarge) {
        return fail(ServerError::Kind::ServerFault,
                    QStringLiteral("The server %1 sent more than %2 MB in one answer; it was not read further.")
                        .arg(host)
                        .arg(kLargestReply >> 20));
    }
    if (status == 0) {
        if (reply->error() == QNetworkReply::OperationCanceledError) {
            return fail(ServerError::Kind::TimedOut, QStringLiteral("The server %1 did not answer within %2 seconds.")
                                                         .arg(host)
                                                         .arg(limits_.silenceMs / 1000.0));
        }
        if (!sslProblem_.isEmpty()) {
            return fail(ServerError::Kind::Certificate,
                        QStringLiteral("The server %1 showed a certificate that this computer does not trust (%2), "
                                       "so nothing was fetched from it.")
                            .arg(host, sslProblem_),
                        sslCertificate_);
        }
        return fail(ServerError::Kind::Unreachable,
                    QStringLiteral("Cannot reach the server %1: %2.").arg(host, reply->errorString()));
    }
    if (isRedirect(status) && reply->hasRawHeader("Location")) {
        const QUrl next = current_.url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
        if (++redirects_ > kMostRedirects)
            return fail(ServerError::Kind::ServerFault,
                        QStringLiteral("The server %1 sent the request on too many times.").arg(host));
        // Credentials and cards that went out encrypted are not to come back in the clear.
        if (current_.url.scheme() == u"https" && next.scheme() != u"https")
            return fail(ServerError::Kind::ServerFault,
                        QStringLiteral("The server %1 sent the request on to an address without encryption (%2).")
                            .arg(host, next.toDisplayString()));
        current_.url = next;
        return issue();
    }
    const QByteArray body = reply->readAll();
    // An answer cut short reads as no answer at all, not as a server that speaks another language.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (reply->error() != QNetworkReply::NoError && reply->error() < QNetworkReply::ProxyConnectionRefusedError) {
        return fail(ServerError::Kind::Unreachable,
                    QStringLiteral("The server %1 broke off its answer: %2.").arg(host, reply->errorString()));
    }
    if (length.isValid() && length.toLongLong() > body.size()) {
        return fail(ServerError::Kind::Unreachable,
                    QStringLiteral("The server %1 broke off its answer: %2 of %3 bytes came.")
                        .arg(host)
                        .arg(body.size())
                        .arg(length.toLongLong()));
    }
    if (status == 401 && !refusedHost_.isEmpty()) {
        ServerError error{ServerError::Kind::OtherHost,
                          QStringLiteral("The server %1 asks for the user name and password, but the address given "
                                         "was on %2; they were not sent.")
                              .arg(refusedHost_, login_.address.host())};
        error.certificateHost = refusedHost_;
        return finish(std::unexpected(error));
    }
    finish(DavReply{current_.url, status, body});
}

ServerError DavSession::failureOf(const DavReply& reply) const
{
    const QString host = hostOf(reply.url);
    switch (reply.status) {
    case 401:
        return {ServerError::Kind::Login,
                login_.user.isEmpty() ? QStringLiteral("The server %1 asks for a user name and password.").arg(host)
                                      : QStringLiteral("The server %1 refused the user name or password.").arg(host)};
    case 403:
        return {ServerError::Kind::Forbidden,
                QStringLiteral("The server %1 does not let this user read %2.").arg(host, reply.url.path())};
    case 404:
    case 410:
        return {ServerError::Kind::NotFound, QStringLiteral("There is nothing at %1.").arg(reply.url.toDisplayString())};
    default: break;
    }
    if (reply.status >= 500)
        return {ServerError::Kind::ServerFault,
                QStringLiteral("The server %1 failed (HTTP status %2).").arg(host).arg(reply.status)};
    return {ServerError::Kind::NotCardDav,
            QStringLiteral("%1 does not answer as an address-book server (CardDAV) does.").arg(reply.url.toDisplayString())};
}

}  // namespace pw
