#pragma once

#include "contacts_ui/contact_from_lines.h"
#include "data/contact_validation.h"
#include "printing/print_action.h"

#include <QString>

#include <optional>

namespace pw {

class Platform;
class PrintSurface;

// The mailing address of the contact on show as the main window's five label lines: the name
// (a missing initial leaves one space), the company when it is given and to be included, the
// street, the additional street and the city line; lines not reached stay empty. The country is
// never used.
LabelLines addressLabelLines(const ContactBoxTexts& boxes, bool includeCompany);

// One copy of the "Contact Details" sheet in Courier New: title, report date, then every field of
// the contact on a fixed grid of 43 lines, long category and notes split over their lines.
void printDetailsSheet(PrintSurface& surface, const ContactBoxTexts& boxes, const QString& date);

// File > Print of the contact editor: every copy of the sheet in one job, or only the selected
// text when the user chose the selection. `selection` is the focused text box's selected text,
// none when the focus is not in a text box. A failure is reported as "Printer error.".
PrintOutcome printContactDetails(Platform& platform, const ContactBoxTexts& boxes,
                                 const std::optional<QString>& selection);

}  // namespace pw
