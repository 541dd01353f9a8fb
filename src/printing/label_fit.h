#pragma once

#include "printing/text_measure.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace pw {

// One line of a label before it is fitted to its label.
struct LabelLine final {
    QString text;
    // Part of the address (street, suite, city, postcode, country): printed whole or not at all.
    bool address = false;
    // A suite or second street line: it goes back onto the line above when the label is short of rows.
    bool joinable = false;
};

// The room a label gives its lines.
struct LabelRoom final {
    TypeFace type;      // as asked
    double width = 0;   // from where the lines start to where ink must stop, in the measure's units
    int rows = 0;       // the lines of that type the label holds
};

// A label's lines as they are to be printed, each on its own row in the type asked for (the print
// surface still draws a line smaller, down to 8 points, where it needs to).
struct FittedLabel final {
    QStringList lines;
    // The first address line that even 8-point type on every free row cannot print whole; empty
    // when the whole address fits.
    QString changed;
};

// Fits a label's lines, in this order: each line on its own row while the label has rows for them
// (a suite joins its street only when it has not), smaller type down to 8 points, the rest of a
// line after a blank onto a free row, and only then a cut at the label's edge.
FittedLabel fitLabel(QList<LabelLine> lines, const LabelRoom& room, const TextMeasure& measure);

// The width from column `column` of `type` to 1/16 inch inside the right edge of `frame` (inches
// from the paper's corner), as the print surface measures it.
double roomInFrame(const QRectF& frame, int column, const TypeFace& type, const TextMeasure& measure);

// Whether printing only the first `shown` characters of `text` loses a digit or a unit or suite
// designator: the cut changes where the mail goes.
bool cutChangesAddress(QStringView text, qsizetype shown);

}  // namespace pw
