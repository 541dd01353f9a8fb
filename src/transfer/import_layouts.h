#pragma once

#include "data/contact_record.h"
#include "data/file_error.h"
#include "transfer/named_columns.h"

#include <QString>
#include <QStringList>

#include <expected>
#include <optional>
#include <variant>
#include <vector>

namespace pw {

// The heading lines the import knows, one per kind of exporter, in the order recognition tries them.
// The current CSV exports of Outlook (desktop, then Outlook.com), Google Contacts (current, then
// older form) and Thunderbird come first, each by headings only it writes: OlderMailProgram would
// take both Outlook exports (they hold "Primary Phone" and "Web Page") and read the wrong columns,
// and NamesWithEmail would take the others and keep names only, or refuse them. PlainHeadings comes
// after the exporters' own layouts, so that a file they read keeps being read as before, and before
// NamesWithEmail, which reads names only at fixed places.
enum class ImportLayout {
    OutlookDesktop,
    OutlookWeb,
    Google,
    GoogleOlder,
    Thunderbird,
    PortalAddressBook,  // a web portal's address book: a phone column named after the portal
    OlderMailProgram,   // a desktop mail program's older contacts ("Primary Phone", "Web Page")
    NameAndEmailList,   // a name list with "Name,E-mail Address"
    OwnExport,          // this program's own CSV export
    PlainHeadings,      // plain headings in any order: a name and any other column they know
    NamesWithEmail,     // any other list with a "Name" heading and an e-mail heading
};

// How a layout knows its heading line: the line holds every text of `all`, one of `any` (when not
// empty) and none of `none`; each of `headings` is a column of its own, exactly; and `recognise`,
// when there is one, agrees.
struct Recognition final {
    std::vector<const char*> all = {};
    std::vector<const char*> any = {};
    std::vector<const char*> none = {};
    std::vector<const char*> headings = {};
    bool (*recognise)(const QStringList& heading) = nullptr;
};

// A layout that finds its columns by their headings, wherever they stand, and reads each row into
// an address-book entry.
struct NamedColumns final {
    std::vector<BoundColumn> (*bind)(const QStringList& heading) = nullptr;
};

// One mapping rule: when the heading in `column` (from 1; 0 for the last heading column) is exactly
// `heading`, that column of each row gives `field`.
struct ColumnRule final {
    const char* heading;
    int column;
    QString ContactRecord::*field;
    bool firstCharacter = false;  // the middle initial keeps only its first character
};

// How the heading line is cut before the rules look at it.
enum class HeadingCut {
    None,
    AfterEmailHeading,            // NamesWithEmail: just after the e-mail heading; without one, no import
};

// A layout that reads its exporter's columns by position, with that exporter's row rules and
// clean-ups.
struct PositionalColumns final {
    HeadingCut headingCut = HeadingCut::None;
    int keepColumns = 0;  // heading and rows keep only their first columns; 0 keeps all
    // A row that holds every text of `skipIfAll`, or any text of `skipIfAny`, is a heading repeated
    // or a note, not a contact.
    std::vector<const char*> skipIfAll;
    std::vector<const char*> skipIfAny;
    std::vector<int> requiredColumns;  // a row with one of these columns empty is skipped
    std::vector<ColumnRule> rules;     // tried in order; a later rule filling the same field wins
    void (*cleanUp)(ContactRecord&) = nullptr;
};

// One layout: how it is recognised and which of the two kinds reads its rows.
struct LayoutRules final {
    ImportLayout layout;
    Recognition recognition;
    std::variant<NamedColumns, PositionalColumns> columns;
};

// Every layout in the order recognition tries them.
const std::vector<LayoutRules>& importLayouts();

// The first layout that recognises the heading line.
const LayoutRules* recogniseLayout(const QStringList& heading);

// The heading columns the rules look at; none when NamesWithEmail finds no e-mail heading.
std::expected<std::optional<QStringList>, FileError> prepareHeading(const PositionalColumns& rules,
                                                                    const QStringList& heading);

// The contact a row gives, after the layout's row rules, mapping and clean-ups, or none when a row
// rule skips it. A column the row lacks reads as empty. Each value has its control characters made
// blanks; the birthdate is the text as the row gives it, for birthdateFromText().
std::optional<ContactRecord> contactFromRow(const PositionalColumns& rules, const QStringList& heading,
                                            const QStringList& row);

// The clean-up rules shared by several layouts.
// A phone whose last 4 characters are not a number, or that lacks a dash when one is required,
// becomes empty.
void applyPhoneRule(QString& phone, bool dashRequired);
// Digits and "#" have no place in a city, state or country, and a zip must start with 5 digits.
void applyPlaceRules(ContactRecord& r);

}  // namespace pw
