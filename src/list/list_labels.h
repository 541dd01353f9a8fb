#pragma once

#include "data/contact_record.h"
#include "printing/mailing_address.h"
#include "printing/margin_settings.h"
#include "printing/overflow.h"
#include "printing/print_action.h"
#include "printing/sheet_outlines.h"

#include <QString>
#include <QStringView>

#include <expected>
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

// The print columns of the labels of a row of `stock`, left to right, on the printer `deviceName`.
QList<int> listLabelColumns(QStringView deviceName, const ListLabelStyle& style,
                            const LabelStock& stock = labelStocks().front());

// One print job: a label for every address on `stock`, from `firstPosition` of the first sheet,
// row after row and sheet after sheet. The positions before it stay blank, so that a partly used
// sheet can go back in the printer. The job is ended by the caller.
void printListLabelsJob(PrintSurface& surface, const std::vector<LabelAddress>& addresses,
                        const ListLabelStyle& style, int firstPosition = 1,
                        const LabelStock& stock = labelStocks().front());

Message emptyListMessage();

// List labels ready for the print action or the preview.
struct ListLabelJob final {
    std::function<void(PrintSurface&)> run;  // drives the surface; touches nothing else
    QList<QRectF> outlines;                  // the stock's labels
    QList<Overflow> overflows;               // lines that do not fit their labels
};

// The job of the labels of a mailing (readMailing): the "BULKLIST" correction from the parameter
// file, and every label measured with the printer's fonts. When there is no label to print or lines
// would fall below the sheet, the message is shown and the outcome returned instead.
std::expected<ListLabelJob, PrintOutcome> listLabelJob(Platform& platform, std::vector<LabelAddress> addresses,
                                                       const QString& parameterFile, bool bold, bool italic,
                                                       int firstPosition, const LabelStock& stock);

// "Print labels": the job of listLabelJob, the print dialog, then one job per copy. The first
// sheet's labels before `firstPosition` (a partly used sheet) are left blank.
// Lines that do not fit their labels are named before the print dialog: by `goAhead` when given
// (false stops the run), else by the window's "Print anyway" question.
PrintOutcome printListLabels(Platform& platform, const std::vector<LabelAddress>& addresses,
                             const QString& parameterFile, bool bold, bool italic, int firstPosition = 1,
                             const LabelStock& stock = labelStocks().front(),
                             const std::function<bool(const QList<Overflow>&)>& goAhead = {});

}  // namespace pw
