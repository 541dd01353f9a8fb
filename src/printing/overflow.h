#pragma once

#include "platform/platform.h"
#include "printing/envelopes.h"
#include "printing/onthefly_labels.h"
#include "printing/return_address.h"

#include <QList>
#include <QRectF>
#include <QString>

namespace pw {

// A line that runs past the right edge of its label or envelope in the type it prints in, measured
// with the same font metrics as the grid.
struct Overflow final {
    QString where;           // "Position 4, line 1", "Line 2"
    QString line;
    int charactersTooLong = 0;
    QRectF outline;          // the label or envelope it overruns, in inches from the paper's corner
    bool operator==(const Overflow&) const = default;
};

QList<Overflow> labelOverflows(const OnTheFlyLabels& labels, const QString& deviceName);
QList<Overflow> envelopeOverflows(const EnvelopeJob& envelope, int sizeCode);
QList<Overflow> returnAddressOverflows(const ReturnAddressSheet& sheet);

// How many characters of a line printed from grid column `column` (after `spaces` blank columns)
// reach past `rightEdgeInches`; 0 when it fits.
int charactersPast(const QString& line, int column, int spaces, double rightEdgeInches, const QString& font,
                   double points, bool bold, bool italic);

// The question before printing lines that do not fit: Yes is "Print anyway".
Message overflowQuestion(const QList<Overflow>& overflows);

}  // namespace pw
