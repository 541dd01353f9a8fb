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
        TooMany,
        OtherHost,
        ServerFault
    };
    Kind kind = Kind::Unreachable;
    QString text;
    QByteArray certificateSha256 = {};  // for Certificate: the certificate the server showed,
    QString certificateHost = {};  // and the server, as hostAndPort() names it (for OtherHost: the
                                   // host that asked for the password)
};

template <typename T>
using ServerResult = std::expected<T, ServerError>;

}  // namespace pw
