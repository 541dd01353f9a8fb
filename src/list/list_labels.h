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
class TextMeasure;

// The address block of one listed contact. The company is empty unless the contact asks for its
// company line to be printed; the country unless the mail leaves the home country.
struct LabelAddress final {
    QString name, company;
    QString street;   // the first street line
    QString city;     // the city line; "\n" between lines where the country puts its postcode apart
    QString country;
    QString suite;    // the second street line: a suite, unit or apartment
    bool companyAbove = false;  // the country's order puts the company above the name
    bool hasCompany() const { return !company.isEmpty(); }
    bool operator==(const LabelAddress&) const = default;
};
// `homeCountry` as homeCountry() reads it: a contact abroad gets its country as the last line.
LabelAddress labelAddress(const ContactRecord& record, QStringView homeCountry = kDefaultHomeCountry);

// A contact left out of a run of labels: even 8-point type on every free line of its label
// cannot print its address whole, and a cut address is a wrong one.
struct LeftOutLabel final {
    QString name;
    QString line;  // the line that does not fit
    bool operator==(const LeftOutLabel&) const = default;
};

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

// The contacts among `addresses` whose address `stock` cannot print whole, measured with `measure`;
// they are taken out of `addresses`.
QList<LeftOutLabel> leaveOutUnfitting(std::vector<LabelAddress>& addresses, const ListLabelStyle& style,
                                      const LabelStock& stock, QStringView deviceName, const TextMeasure& measure);

Message emptyListMessage();

// "Ann Lee left out: the address does not fit the label"
QString leftOutText(const LeftOutLabel& label);
// The question before printing the others, every contact left out in a list: Yes prints them.
Message leftOutQuestion(const QList<LeftOutLabel>& leftOut);
// When no label is left to print.
Message nothingFitsMessage(const QList<LeftOutLabel>& leftOut);

// List labels ready for the print action or the preview.
struct ListLabelJob final {
    std::function<void(PrintSurface&)> run;  // drives the surface; touches nothing else
    QList<QRectF> outlines;                  // the stock's labels
    QList<Overflow> overflows;               // lines that do not fit their labels
    QList<LeftOutLabel> leftOut;             // contacts that get no label
    QString shiftNote;                       // a correction that moves text onto other labels
    int labels = 0;                          // the labels it prints
};

// The job of the labels of a mailing (readMailing): the "BULKLIST" correction from the parameter
// file, and every label measured with the printer's fonts. When there is no label to print or lines
// would fall below the sheet, the message is shown and the outcome returned instead. A contact
// whose address does not fit its label whole is left out of the job and named in `leftOut`.
std::expected<ListLabelJob, PrintOutcome> listLabelJob(Platform& platform, std::vector<LabelAddress> addresses,
                                                       const QString& parameterFile, bool bold, bool italic,
                                                       int firstPosition, const LabelStock& stock);

// "Print labels": the job of listLabelJob, the print dialog, then one job per copy. The first
// sheet's labels before `firstPosition` (a partly used sheet) are left blank.
// Contacts left out and lines that do not fit their labels are named before the print dialog: by
// `goAhead` when given (false stops the run), else by the window's "Print the others" and "Print
// anyway" questions. `printedLabels` receives the number of labels each copy printed.
PrintOutcome printListLabels(Platform& platform, const std::vector<LabelAddress>& addresses,
                             const QString& parameterFile, bool bold, bool italic, int firstPosition = 1,
                             const LabelStock& stock = labelStocks().front(),
                             const std::function<bool(const ListLabelJob&)>& goAhead = {},
                             int* printedLabels = nullptr);

}  // namespace pw
