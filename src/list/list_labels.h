#pragma once

#include "data/contact_record.h"
#include "printing/mailing_address.h"
#include "printing/margin_settings.h"
#include "printing/overflow.h"
#include "printing/print_action.h"

#include <QString>
#include <QStringView>

#include <array>
#include <functional>
#include <vector>

namespace pw {

class Platform;
class PrintSurface;

// The address block of one listed contact. The company is empty unless the contact asks for its
// company line to be printed; the country unless the mail leaves the home country.
struct LabelAddress final {
    QString name, company, street, city, country;
    bool hasCompany() const { return !company.isEmpty(); }
    bool operator==(const LabelAddress&) const = default;
};
// `homeCountry` as homeCountry() reads it: a contact abroad gets its country as the last line.
LabelAddress labelAddress(const ContactRecord& record, QStringView homeCountry = kDefaultHomeCountry);

// How the labels of a list are printed: the main window's label Bold and Italic boxes and the
// "BULKLIST" correction.
struct ListLabelStyle final {
    bool bold = false;
    bool italic = false;
    MarginPair correction;
};

// The print columns of the left, middle and right labels of a row on the printer `deviceName`.
std::array<int, 3> listLabelColumns(QStringView deviceName, const ListLabelStyle& style);

// One print job: a label for every address, three across and ten down from `firstPosition` (1 to
// 30) of the first sheet, row after row and sheet after sheet. The positions before it stay blank,
// so that a partly used sheet can go back in the printer. The job is ended by the caller.
void printListLabelsJob(PrintSurface& surface, const std::vector<LabelAddress>& addresses,
                        const ListLabelStyle& style, int firstPosition = 1);

Message emptyListMessage();

// "Print labels": the "BULKLIST" correction from the parameter file, the print dialog, then one job
// per copy of the labels of a mailing (readMailing). The first sheet's labels before
// `firstPosition` (a partly used sheet) are left blank.
// Lines that do not fit their labels are named before the print dialog: by `goAhead` when given
// (false stops the run), else by the window's "Print anyway" question.
PrintOutcome printListLabels(Platform& platform, const std::vector<LabelAddress>& addresses,
                             const QString& parameterFile, bool bold, bool italic, int firstPosition = 1,
                             const std::function<bool(const QList<Overflow>&)>& goAhead = {});

}  // namespace pw
