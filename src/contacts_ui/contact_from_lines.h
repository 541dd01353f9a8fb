#pragma once

#include "data/contact_validation.h"
#include "data/message.h"

#include <QString>

#include <array>
#include <expected>

namespace pw {

// The five label lines of the main window, Line 1 first.
using LabelLines = std::array<QString, 5>;

// Splits typed label lines into the name, street, unit, city, state and zip boxes of a new contact;
// every other box stays empty. Line 1 gives the name, Line 2 the street and its remainder, Lines 3
// and 4 the unit and the city line; Line 5 is never used. A position that the rules count on but
// do not find leaves only the box it feeds empty. Fails with the message to show when Line 1 is a
// single word.
std::expected<ContactBoxTexts, Message> contactFromLabelLines(const LabelLines& lines);

}  // namespace pw
