#include "carddav/test_servers.h"

#include "carddav/dav_session.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>

namespace pw::test {
namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// Starts `program` and waits until it takes connections on `port`; the reason when it does not.
QString startServer(QProcess& process, const QString& program, const QStringList& arguments, quint16 port)
{
    process.start(program, arguments);
    if (!process.waitForStarted())
        return QStringLiteral("%1 did not start (%2); it is Debian's package %1").arg(program, process.errorString());
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (socket.waitForConnected(1000))
            return {};
        if (process.state() == QProcess::NotRunning || process.waitForFinished(100))
            return QStringLiteral("%1 ended at start with status %2").arg(program).arg(process.exitCode());
    }
    return QStringLiteral("%1 took no connection on port %2 within 30 seconds").arg(program).arg(port);
}

int change(const QByteArray& method, const QUrl& url, const QByteArray& body, const QByteArray& type,
           const QString& user)
{
    DavSession session({url, user, user.isEmpty() ? QString() : QStringLiteral("secret")});
    const auto reply = session.waitFor<DavReply>(
        [&](auto done) { session.send({method, url, {}, body, type}, std::move(done)); });
    return reply ? reply->status : 0;
}

}  // namespace

int makeAddressBook(const QUrl& url, const QString& displayName, const QString& user)
{
    const QByteArray body = "<?xml version=\"1.0\"?><d:mkcol xmlns:d=\"DAV:\" "
                            "xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop><d:resourcetype><d:collection/>"
                            "<c:addressbook/></d:resourcetype><d:displayname>"
                            + displayName.toHtmlEscaped().toUtf8() + "</d:displayname></d:prop></d:set></d:mkcol>";
    return change("MKCOL", url, body, "application/xml; charset=utf-8", user);
}

int putCard(const QUrl& url, const QByteArray& card, const QString& user)
{
    return change("PUT", url, card, "text/vcard; charset=utf-8", user);
}

int deleteCard(const QUrl& url, const QString& user)
{
    return change("DELETE", url, {}, "application/xml; charset=utf-8", user);
}

XandikosServer::~XandikosServer()
{
    process_.kill();
    process_.waitForFinished();
}

QString XandikosServer::start()
{
    port_ = freePort();
    if (port_ == 0)
        return QStringLiteral("no free port on 127.0.0.1");
    process_.setStandardErrorFile(QProcess::nullDevice());  // it logs every request there
    return startServer(process_, QStringLiteral("xandikos"),
                       {QStringLiteral("-d"), folder_.path(), QStringLiteral("--defaults"), QStringLiteral("-l"),
                        QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(port_)},
                       port_);
}

QUrl XandikosServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(path));
}

RadicaleServer::~RadicaleServer()
{
    process_.kill();
    process_.waitForFinished();
}

void RadicaleServer::addAddressBook(const QString& path, const QString& displayName, const QList<QByteArray>& cards)
{
    const QString collection = folder_.filePath(QStringLiteral("collections/collection-root/") + path);
    writeFile(collection + QStringLiteral("/.Radicale.props"),
              QStringLiteral("{\"tag\": \"VADDRESSBOOK\", \"D:displayname\": \"%1\"}").arg(displayName).toUtf8());
    for (qsizetype i = 0; i < cards.size(); ++i)
        addCard(path, QStringLiteral("card%1.vcf").arg(i + 1), cards[i]);
}

void RadicaleServer::addCard(const QString& path, const QString& fileName, const QByteArray& card)
{
    writeFile(folder_.filePath(QStringLiteral("collections/collection-root/%1/%2").arg(path, fileName)), card);
}

QString RadicaleServer::start()
{
    port_ = freePort();
    if (port_ == 0)
        return QStringLiteral("no free port on 127.0.0.1");
    writeFile(folder_.filePath(QStringLiteral("users")), "ann:secret\nbo:secret\ncy:secret\ndee:secret\n");
    writeFile(folder_.filePath(QStringLiteral("config")),
              QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n"
                             "[auth]\ntype = htpasswd\nhtpasswd_filename = %2\nhtpasswd_encryption = plain\n"
                             "[storage]\nfilesystem_folder = %3\n"
                             "[logging]\nlevel = error\n")
                  .arg(port_)
                  .arg(folder_.filePath(QStringLiteral("users")), folder_.filePath(QStringLiteral("collections")))
                  .toUtf8());
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    return startServer(process_, QStringLiteral("radicale"),
                       {QStringLiteral("--config"), folder_.filePath(QStringLiteral("config"))}, port_);
}

QUrl RadicaleServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(path));
}

SmallHttpServer::SmallHttpServer(std::function<QByteArray(const ReceivedRequest&)> answer,
                                 const std::optional<QSslConfiguration>& tls)
    : answer_(std::move(answer))
{
    if (tls) {
        auto* secure = new QSslServer(this);
        secure->setSslConfiguration(*tls);
        server_ = secure;
    } else {
        server_ = new QTcpServer(this);
    }
    server_->listen(QHostAddress::LocalHost);
    connect(server_, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* socket = server_->nextPendingConnection())
            serve(socket);
    });
}

void SmallHttpServer::serve(QTcpSocket* socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        const QByteArray bytes = socket->peek(socket->bytesAvailable());
        const qsizetype end = bytes.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        ReceivedRequest request;
        request.headers = bytes.first(end);
        const QList<QByteArray> first = request.headers.split('\n').first().trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        qsizetype length = 0;
        for (const QByteArray& line : request.headers.split('\n')) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        }
        if (bytes.size() < end + 4 + length)
            return;
        request.body = bytes.mid(end + 4, length);
        socket->read(end + 4 + length);
        received.append(request);
        const QByteArray reply = answer_(request);
        if (!reply.isEmpty())
            socket->write(reply);
    });
}

QUrl SmallHttpServer::url(const QString& path) const
{
    const bool tls = qobject_cast<QSslServer*>(server_);
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/%3").arg(tls ? u"https" : u"http").arg(port()).arg(path));
}

QSslConfiguration selfSignedServer(const QString& folder)
{
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                   QStringLiteral("key.pem"), QStringLiteral("-out"), QStringLiteral("cert.pem"),
                   QStringLiteral("-subj"), QStringLiteral("/CN=localhost"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost"), QStringLiteral("-days"),
                   QStringLiteral("2")});
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
        return tls;
    QFile cert(QDir(folder).filePath(QStringLiteral("cert.pem")));
    QFile key(QDir(folder).filePath(QStringLiteral("key.pem")));
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
        return tls;
    tls.setLocalCertificate(QSslCertificate(cert.readAll()));
    tls.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
    return tls;
}

QByteArray oneCardAddressBook(const ReceivedRequest& request, const QByteArray& card)
{
    const QByteArray props =
        request.method == "REPORT" ? "<c:address-data>" + card + "</c:address-data>" : QByteArray("<d:resourcetype/>");
    QByteArray body = "<d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">";
    if (request.method == "PROPFIND") {
        body += "<d:response><d:href>/book/</d:href><d:propstat><d:prop><d:resourcetype><d:collection/>"
                "<c:addressbook/></d:resourcetype></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat>"
                "</d:response>";
    }
    body += "<d:response><d:href>/book/c1.vcf</d:href><d:propstat><d:prop>" + props
            + "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response></d:multistatus>";
    return httpAnswer("207 Multi-Status", "Content-Type: application/xml\r\n", body);
}

QByteArray httpAnswer(const QByteArray& status, const QByteArray& headers, const QByteArray& body)
{
    return "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n"
           + body;
}

}  // namespace pw::test
