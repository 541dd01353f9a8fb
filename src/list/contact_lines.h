#pragma once

#include "data/contact_record.h"
#include "data/file_error.h"

#include <QString>
#include <QStringList>

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
// and so has no record. The lines read from the file together share one block of text, so that a
// list of 100,000 is built and let go in a few allocations.
class ContactLine final {
public:
    ContactLine() = default;
    ContactLine(QString text, int record) : block_(std::move(text)), length_(block_.size()), record_(record) { }
    // The line is `length` characters of `block` from `from` on.
    ContactLine(QString block, qsizetype from, qsizetype length, int record)
        : block_(std::move(block)), from_(from), length_(length), record_(record)
    { }
    QStringView text() const { return QStringView(block_).sliced(from_, length_); }
    int record() const { return record_; }
    bool operator==(const ContactLine& other) const { return text() == other.text() && record_ == other.record_; }

private:
    QString block_;
    qsizetype from_ = 0;
    qsizetype length_ = 0;
    int record_ = 0;
};

// A record's values as the list shows them, as views into the record: valid while it lives.
// Every field but the names and the second street line is shown at its stored width, padded
// with blanks. City and zip read "Unknown" when their trimmed text is shorter than 2 characters;
// the stored record is not changed.
struct DisplayValues final {
    QStringView first, last;
    QChar initial;  // an upper-case letter A to Z, shown with ". " after it; null for none
    QStringView street;
    int streetBlanks = 0;  // blanks after the street: 12 after a short one, 40 in place of none
    QStringView street2, city, state, zip, email;
    QStringView home, cell;  // empty, and shown as 22 blanks, when the number reads below 1
};
DisplayValues displayValues(const ContactRecord& record);
// The city and the zip code as the list shows and searches them: "Unknown" when short, else the
// field's text.
QStringView shownCity(const ContactRecord& record);
QStringView shownZip(const ContactRecord& record);

QString contactLine(const DisplayValues& values, SortOrder order, AddressDisplay display);

// The headings of the list's seven columns.
QStringList listHeadings(AddressDisplay display);

// Where the list's second to seventh columns begin and where the last ends, in quarters of its
// font's average character width: each as wide as its field at the stored width, digits included,
// in a proportional font.
std::array<int, 7> listColumns(AddressDisplay display);

// The key the list sorts by: the whole line without regard to letter case or accents, one
// character of key for each of the line.
QString lineSortKey(QStringView text);
// The list's order: below 0, 0 or above 0 as key `a` (lineSortKey) goes before, with or after key
// `b`. Every sort of lines and the place of a pasted line follow it.
int compareLineKeys(QStringView a, QStringView b);

// Sorts by the whole line without regard to case, the key worked out once per line. Lines with
// equal keys keep the order they came in.
void sortLines(std::vector<ContactLine>& lines);

// The lines of every record the search takes, sorted as sortLines sorts them.
Expected<std::vector<ContactLine>> contactLines(const ContactsFile& contacts, const ContactSearch& search,
                                                SortOrder order, AddressDisplay display);

}  // namespace pw
