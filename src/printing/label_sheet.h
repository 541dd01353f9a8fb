#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace pw {

// Where a label's block starts on the 30-position sheet (3 across, 10 down, numbered left to right
// along each row): the print column of its lines and the print row, the number of blank rows above
// its first line after the leading blank line. The neutral place is column 2, row 3.
struct LabelPlace final {
    int column = 2;
    int row = 3;
    bool operator==(const LabelPlace&) const = default;
};

// The place of label position `position` for typed labels; none unless it is a whole number from 1
// to 30. Bold type and the special printer models move the middle and right columns.
std::optional<LabelPlace> labelPlace(double position, bool bold, QStringView deviceName);

// The device name contains one of the printer models whose label columns differ (case-sensitive).
bool isSpecialLabelPrinter(QStringView deviceName);
// The device name contains one of the first three of them, whose paper size is set by each job and
// whose envelopes print two rows higher.
bool isPaperSizePrinter(QStringView deviceName);

// Spaces that centre a line of `length` characters in a field of 2 x `halfWidth` columns:
// halfWidth - length / 2, rounded halves to even; the line length is not limited, so it can be
// negative (no spaces).
int centringSpaces(qsizetype length, int halfWidth);

}  // namespace pw
