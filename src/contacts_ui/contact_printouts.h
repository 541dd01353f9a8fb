#pragma once

#include "contacts_ui/contact_from_lines.h"
#include "data/contact_validation.h"
#include "printing/print_action.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace pw {

class Platform;
class PrintSurface;

// The mailing address of the contact on show as the main window's five label lines: the name
// (a missing initial leaves one space), the company when it is given and to be included, the
// street, the additional street, the city line and, for mail abroad, the country; lines not
// reached stay empty. When that would take six lines the two streets share one.
LabelLines addressLabelLines(const ContactBoxTexts& boxes, bool includeCompany, QStringView homeCountry);

// One copy of the "Contact Details" sheet in Courier New: title, report date, then every field of
// the contact on a fixed grid of 43 lines, long category and notes split over their lines. The
// address ends with the country for mail abroad.
void printDetailsSheet(PrintSurface& surface, const ContactBoxTexts& boxes, const QString& date,
                       QStringView homeCountry);

// File > Print of the contact editor: every copy of the sheet in one job, or only the selected
// text when the user chose the selection. `selection` is the focused text box's selected text,
// none when the focus is not in a text box. A failure is reported as "Printer error.".
PrintOutcome printContactDetails(Platform& platform, const ContactBoxTexts& boxes,
                                 const std::optional<QString>& selection);

}  // namespace pw
