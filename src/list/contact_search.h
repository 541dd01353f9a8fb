#pragma once

#include <QString>

#include <array>

namespace pw {

struct ContactRecord;

// The field one search looks in; the codes are the window's own, 7 meaning no search.
enum class SearchKind : qint16 {
    FirstName = 0,
    LastName = 1,
    City = 2,
    State = 3,
    Zip = 4,
    Email = 5,
    Category = 6,
    All = 7,
    Company = 8,
};

// An option of the Search group, with the texts it shows.
struct SearchOption final {
    SearchKind kind;
    const char* optionName;
    QString caption;
    QString inputTitle;  // empty for the option that searches nothing
    QString fieldWord;   // the field's name in the search label
};

// The nine options in the order the Search group shows them.
const std::array<SearchOption, 9>& searchOptions();
const SearchOption& searchOption(SearchKind kind);

inline const QString kSearchPrompt = QStringLiteral("Search For: ");

// One search: a text looked for anywhere in one trimmed field, letters compared without regard to
// case except in the zip code. The text itself is used as typed, blanks included.
struct ContactSearch final {
    SearchKind kind = SearchKind::All;
    QString text;

    // Whether the record belongs in the list. A short city or zip is searched as "Unknown".
    bool takes(const ContactRecord& record) const;
};

// "City = Spring"; empty when nothing is searched.
QString searchLabel(const ContactSearch& search);

}  // namespace pw
