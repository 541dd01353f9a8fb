#pragma once

#include "data/contact_record.h"
#include "data/file_error.h"

#include <QString>

#include <array>
#include <vector>

namespace pw {

class ContactsFile;
struct ContactSearch;

// Which name begins a list line, and so what the list is sorted by.
enum class SortOrder : qint16 { FirstName = 0, LastName = 1 };
// The columns after the name: street address or e-mail address.
enum class AddressDisplay { Street, Email };

// One line of the all-contacts list and the record it came from; 0 for a line that was pasted in
// and so has no record.
struct ContactLine final {
    QString text;
    int record = 0;
    bool operator==(const ContactLine&) const = default;
};

// A record's values as the list shows them. City and zip read "Unknown" when their trimmed text is
// shorter than 2 characters; the stored record is not changed.
struct DisplayValues final {
    QString first, last, initial, street, street2, city, state, zip, home, cell, email;
};
DisplayValues displayValues(const ContactRecord& record);

QString contactLine(const DisplayValues& values, SortOrder order, AddressDisplay display);

// The column header shown above the list, with its words at fixed character positions.
QString listHeader(AddressDisplay display);

// The list's tab stops in quarters of its font's average character width.
std::array<int, 7> listTabStops(AddressDisplay display);

// The key the list sorts by: the whole line without regard to letter case.
QString lineSortKey(const QString& text);

// Sorts by the whole line without regard to case, the key worked out once per line. Lines with
// equal keys keep the order they came in.
void sortLines(std::vector<ContactLine>& lines);

// The lines of every record the search takes, in record order (not yet sorted).
Expected<std::vector<ContactLine>> contactLines(const ContactsFile& contacts, const ContactSearch& search,
                                                SortOrder order, AddressDisplay display);

}  // namespace pw
