#include "transfer/server_memory.h"

#include "platform/platform.h"

#include <QDate>

namespace pw {
namespace {

const QString kApplication = QStringLiteral("Postwick");
const QString kServerSection = QStringLiteral("AddressBookServer");
const QString kTrustSection = QStringLiteral("TrustedCertificates");
const QString kTrustDateSection = QStringLiteral("TrustedCertificateDates");
const QString kPlainHttpSection = QStringLiteral("PlainHttpAccepted");
const QString kTitle = QStringLiteral("Import from Server");

}  // namespace

std::optional<RememberedServer> rememberedServer(Platform& platform)
{
    RememberedServer server{platform.readSetting(kApplication, kServerSection, QStringLiteral("Address")),
                            platform.readSetting(kApplication, kServerSection, QStringLiteral("User")),
                            platform.readSetting(kApplication, kServerSection, QStringLiteral("AddressBook"))};
    if (server.addressBook.isEmpty())
        return std::nullopt;
    return server;
}

void rememberServer(Platform& platform, const RememberedServer& server)
{
    platform.writeSetting(kApplication, kServerSection, QStringLiteral("Address"), server.address);
    platform.writeSetting(kApplication, kServerSection, QStringLiteral("User"), server.user);
    platform.writeSetting(kApplication, kServerSection, QStringLiteral("AddressBook"), server.addressBook);
}

QString passwordKey(const RememberedServer& server)
{
    return server.user + u'@' + server.addressBook;
}

QByteArray trustedCertificate(Platform& platform, const QString& hostAndPort)
{
    return QByteArray::fromHex(platform.readSetting(kApplication, kTrustSection, hostAndPort).toLatin1());
}

void trustCertificate(Platform& platform, const QString& hostAndPort, const QByteArray& sha256)
{
    platform.writeSetting(kApplication, kTrustSection, hostAndPort, fingerprintText(sha256));
    platform.writeSetting(kApplication, kTrustDateSection, hostAndPort,
                          QDate::currentDate().toString(QStringLiteral("MMMM d, yyyy")));
}

QString certificateTrustedOn(Platform& platform, const QString& hostAndPort)
{
    const QString date = platform.readSetting(kApplication, kTrustDateSection, hostAndPort);
    return date.isEmpty() ? QStringLiteral("an earlier day") : date;
}

bool plainHttpAccepted(Platform& platform, const QString& hostAndPort)
{
    return platform.readSetting(kApplication, kPlainHttpSection, hostAndPort) == u"1";
}

void acceptPlainHttp(Platform& platform, const QString& hostAndPort)
{
    platform.writeSetting(kApplication, kPlainHttpSection, hostAndPort, QStringLiteral("1"));
}

QString fingerprintText(const QByteArray& sha256)
{
    return QString::fromLatin1(sha256.toHex(':').toUpper());
}

Message certificateQuestion(const QString& hostAndPort, const QByteArray& sha256)
{
    return {QStringLiteral("The server %1 shows a certificate that no authority known to this computer vouches for.  "
                           "Its SHA-256 fingerprint is\n\n%2\n\nTrust this certificate for %1 from now on?  Answer Yes "
                           "only when the server's owner gave you this same fingerprint.")
                .arg(hostAndPort, fingerprintText(sha256)),
            QStringLiteral("Untrusted Certificate"),
            MessageIcon::Warning,
            MessageButtons::YesNo,
            false,
            MessageResult::No};
}

Message changedCertificateQuestion(const QString& hostAndPort, const QByteArray& sha256, const QString& trustedOn)
{
    return {QStringLiteral("The certificate of %1 has changed since you trusted it on %3.  The new one's SHA-256 "
                           "fingerprint is\n\n%2\n\nA server's owner who replaced it can tell you this fingerprint; "
                           "otherwise someone may be listening in between.  Trust the new certificate for %1?")
                .arg(hostAndPort, fingerprintText(sha256), trustedOn),
            QStringLiteral("Changed Certificate"),
            MessageIcon::Warning,
            MessageButtons::YesNo,
            false,
            MessageResult::No};
}

Message passwordNotRememberedMessage(const QString& reason)
{
    return {QStringLiteral("The server and user name are remembered, but not the password: no keyring of the "
                           "desktop took it (%1).  Update from Server will ask for it.")
                .arg(reason),
            kTitle, MessageIcon::Information, MessageButtons::Ok};
}

Message noPasswordMessage(const RememberedServer& server, const QString& reason)
{
    return {QStringLiteral("No password for %1 came from the desktop's keyring (%2).  Type it under Password and "
                           "click Update from Server again.")
                .arg(server.user, reason),
            kTitle, MessageIcon::Information, MessageButtons::Ok, true};
}

}  // namespace pw
