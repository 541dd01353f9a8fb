#pragma once

#include "transfer/address_book_entry.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace pw {

// What one column of a current service's export holds.
enum class EntryPart {
    Given, Middle, Family, FullName, Company, Note, Birthday, BirthYear, BirthMonth, BirthDay,
    Categories,  // separated by ";"
    Labels,      // separated by " ::: ", system groups marked "* "
    Email,
    Phone, PhoneType,
    Ignored,  // the exporter's bookkeeping (e-mail type, priority): no part of the contact
    Street, Extended, PoBox, City, Region, PostalCode, Country, AddressType,
};

// A heading and what its column holds. A "#" in the heading stands for the number of a repeated
// group ("Phone # - Value"); the columns of one number belong together. A fixed group ("home",
// "work", "cell") types the phone or address the column belongs to.
struct HeadingRule final {
    const char* heading;
    EntryPart part;
    const char* group = nullptr;
};

// A heading column matched to its rule.
struct BoundColumn final {
    qsizetype column = 0;  // from 0
    EntryPart part = EntryPart::Given;
    QString key;   // the phone or address it belongs to
    QString type;  // that phone's or address's type, when the heading says it
};

// The columns of a heading line that the rules know, in column order.
std::vector<BoundColumn> bindColumns(const std::vector<HeadingRule>& rules, const QStringList& heading);

// The columns of a file with plain headings (First, Last Name, Street, City, State, Zip, E-mail...),
// matched in any letter case, in the usual spellings and languages (see headingMeaning()). A heading
// that names no kind ("Ort") is left out when another names the same part with its kind ("Ort privat"):
// the desktop programs write such a heading for something else (the office's location).
std::vector<BoundColumn> bindPlainColumns(const QStringList& heading);
// Whether a heading line is plain headings, in any order: a name ("Name", "First Name", "Surname")
// and at least one more column these headings know.
bool hasPlainHeadings(const QStringList& heading);

// The entry one row gives. A row shorter than the heading line reads as if its missing columns
// were empty, as exporters drop empty trailing columns.
AddressBookEntry entryFromRow(const std::vector<BoundColumn>& columns, const QStringList& row);

// The columns of each current service's export, built from its published heading list.
const std::vector<HeadingRule>& outlookColumns();
const std::vector<HeadingRule>& googleColumns();
const std::vector<HeadingRule>& thunderbirdColumns();
const std::vector<HeadingRule>& portalColumns();

}  // namespace pw
