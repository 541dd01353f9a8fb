#pragma once

#include "data/message.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace pw {

class Platform;

// The address-book server the person asked to be remembered, as the settings keep it. Its password
// is kept in the desktop's keyring, under passwordKey().
struct RememberedServer final {
    QString address;  // as typed: the server's own or an address book's
    QString user;
    QString addressBook;  // the address of the address book chosen there
    bool operator==(const RememberedServer&) const = default;
};

std::optional<RememberedServer> rememberedServer(Platform& platform);
void rememberServer(Platform& platform, const RememberedServer& server);
QString passwordKey(const RememberedServer& server);

// The SHA-256 fingerprint of the certificate the person trusted for "host:port"; empty when none.
QByteArray trustedCertificate(Platform& platform, const QString& hostAndPort);
// Trusting a certificate notes the day, which a changed certificate's question names.
void trustCertificate(Platform& platform, const QString& hostAndPort, const QByteArray& sha256);
QString certificateTrustedOn(Platform& platform, const QString& hostAndPort);
// Whether the person agreed to send a password over plain http to "host:port".
bool plainHttpAccepted(Platform& platform, const QString& hostAndPort);
void acceptPlainHttp(Platform& platform, const QString& hostAndPort);

// "AB:CD:...", as a server's owner reads a fingerprint out.
QString fingerprintText(const QByteArray& sha256);
// Whether to trust a certificate that no authority known here vouches for; No is the default.
Message certificateQuestion(const QString& hostAndPort, const QByteArray& sha256);
// The same for a server whose certificate is another than the one trusted on `trustedOn`.
Message changedCertificateQuestion(const QString& hostAndPort, const QByteArray& sha256, const QString& trustedOn);
// The password could not go to the keyring: the rest is remembered.
Message passwordNotRememberedMessage(const QString& reason);
// Update from server found no password in the field or the keyring.
Message noPasswordMessage(const RememberedServer& server, const QString& reason);

}  // namespace pw
