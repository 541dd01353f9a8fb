#pragma once

#include "transfer/named_columns.h"

#include <QString>

#include <optional>

namespace pw {

// What a plain heading means: the part of an entry its column holds and, for a phone or an
// address, the kind ("home", "work", "other", "cell", "home fax"). `qualified` says the heading
// itself named the kind ("Street (home)", "Telefon geschäftlich") rather than taking the default.
struct HeadingMeaning final {
    EntryPart part = EntryPart::Given;
    QString type;
    bool qualified = false;
};

// The meaning of a heading in the languages address books are exported in (English, German,
// French, Spanish, Italian, Dutch, Portuguese, Swedish, Polish), in any letter case, with or
// without accents, with the punctuation exporters put around a kind ("Rue (domicile)",
// "Gatuadress, hem", "Straße privat 2"), and with accented letters that an earlier conversion
// turned into U+FFFD. None for a heading the tables do not know.
std::optional<HeadingMeaning> headingMeaning(const QString& heading);

}  // namespace pw
