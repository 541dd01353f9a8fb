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
    QString error;  // why the card is no contact (it cannot be read, or is a group); empty when it is one
    QStringList notes;  // what was read otherwise than the format says, each with its line ("Line 7: ...")
};

// Whether the bytes are a vCard file: the first line that is not blank opens a card.
bool isVCardFile(QByteArrayView bytes);

// The cards of a vCard file, versions 2.1, 3.0 and 4.0: folded lines joined, QUOTED-PRINTABLE
// and CHARSET of 2.1 decoded, escapes undone, names (N, FN), addresses and phones with their
// types, e-mail, BDAY, ORG, NOTE and CATEGORIES read. The flaws programs are known to write are
// read through and noted: a line without a colon continues the value before it (a fold that lost
// its blank), a card without VERSION is read as 3.0, "END:VCARD." ends its card, and a byte-order
// mark before a card (cards saved one by one and joined) is passed over. A card that cannot be
// read (no END, an unknown VERSION) is returned with its error and no values. A group card (KIND
// or X-ADDRESSBOOKSERVER-KIND "group") is no contact: its name goes into the categories of the
// cards its members name by UID.
std::vector<VCard> parseVCards(QByteArrayView bytes);

// One contact as a vCard 3.0, UTF-8, lines ended by CR LF and folded at 75 bytes, with the UID
// vCardUid() gives it.
QByteArray vCardOf(const ContactRecord& contact, int repeat = 0);

// A contact's UID in exported cards, the same for the same contact at every export: a name-based
// UUID (version 5) of its name, street and zip. `repeat` counts the earlier contacts of one export
// with the same three (0 for the first), so that no two cards of a file share a UID.
QString vCardUid(const ContactRecord& contact, int repeat = 0);

}  // namespace pw
