#pragma once

#include "platform/platform.h"
#include "printing/sheet_fit.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

namespace pw {

// A line that does not fit the label or envelope it prints on, as the printer's own font measures
// it, and what printing does about it.
struct Overflow final {
    QString where;    // "Position 4, line 1", "Line 2"
    QString line;
    QString outcome;  // "printed at 8.5 points to fit", ...
    QRectF outline;   // the label or envelope, in inches from the paper's corner
    QList<QRectF> alsoOn;  // the other labels the same line overruns the same way
    bool operator==(const Overflow&) const = default;
};

// The lines of a probed job that were shrunk or cut to fit their frame, or run below its bottom
// edge. `outlines` are the job's labels, by position; a job of one outline names lines only.
QList<Overflow> overflowsOf(const QList<ProbedText>& texts, const QList<QRectF>& outlines);

// Why typed lines must not print: a line that even 8-point type on every free line of its label
// cannot print whole would lose a digit or a unit or suite designator, and a cut address is a
// wrong one.
std::optional<Message> changedAddressProblem(const QList<ProbedText>& texts);

// The question before printing lines that do not fit: Yes is "Print anyway".
Message overflowQuestion(const QList<Overflow>& overflows);

// The question before printing a job whose correction moves its text onto the neighbouring labels
// (`note` as correctionShiftNote gives it): Yes is "Print anyway".
Message correctionShiftQuestion(const QString& note);

}  // namespace pw
