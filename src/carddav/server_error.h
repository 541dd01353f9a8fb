#pragma once

#include <QByteArray>
#include <QString>

#include <expected>

namespace pw {

// Why a conversation with an address-book server ended without what was asked, in words for the
// person who gave the address.
struct ServerError final {
    enum class Kind {
        Unreachable,
        Certificate,
        Login,
        Forbidden,
        NotFound,
        NotCardDav,
        NotAnAddressBook,
        TimedOut,
        Cancelled,
        ServerFault
    };
    Kind kind = Kind::Unreachable;
    QString text;
    QByteArray certificateSha256 = {};  // for Certificate: the certificate the server showed,
    QString certificateHost = {};  // and the server, as hostAndPort() names it
};

template <typename T>
using ServerResult = std::expected<T, ServerError>;

}  // namespace pw
