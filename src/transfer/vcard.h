#pragma once

#include "data/contact_record.h"
#include "transfer/address_book_entry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace pw {

// One card of a vCard file.
struct VCard final {
    int line = 0;  // the line of its BEGIN:VCARD, from 1
    AddressBookEntry entry;
    QString text;   // its values in a line, to be recognised by
    QString error;  // why the card cannot be read; empty when it can
};

// Whether the bytes are a vCard file: the first line that is not blank opens a card.
bool isVCardFile(QByteArrayView bytes);

// The cards of a vCard file, versions 2.1, 3.0 and 4.0: folded lines joined, QUOTED-PRINTABLE
// and CHARSET of 2.1 decoded, escapes undone, names (N, FN), addresses and phones with their
// types, e-mail, BDAY, ORG, NOTE and CATEGORIES read. A card that breaks the format (a property
// line without a colon, no END, an unknown VERSION) is returned with its error and no values.
std::vector<VCard> parseVCards(QByteArrayView bytes);

// One contact as a vCard 3.0, UTF-8, lines ended by CR LF and folded at 75 bytes.
QByteArray vCardOf(const ContactRecord& contact);

}  // namespace pw
