#pragma once

#include "transfer/address_book_entry.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace pw {

// One entry of an LDIF file.
struct LdifEntry final {
    int line = 0;  // the line of its first attribute, from 1
    AddressBookEntry entry;
    QString text;  // its name and e-mail, to be recognised by
    bool isPerson = true;  // a mailing list (groupOfNames) is no one to write to
    QStringList notKept;   // attributes it has a value for that no contact field holds
};

// Whether the bytes are an LDIF file: the first line that is neither blank nor a comment is a
// "version:" or "dn:" line.
bool isLdifFile(QByteArrayView bytes);

// The entries of an LDIF file as mail programs export their address books: lines folded with a
// leading blank joined, base64 values ("attribute:: ...") decoded, comments skipped. The names
// (cn, givenName, sn), mail, the phones (telephoneNumber, homePhone, mobile, fax, pager), the home
// address (mozillaHome...) and the work one (street, l, st, postalCode, c), o, description and the
// birthday (birthyear, birthmonth, birthday) are read.
std::vector<LdifEntry> parseLdif(QByteArrayView bytes);

}  // namespace pw
