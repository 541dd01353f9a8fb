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

// The places of the label positions for labels typed on the main window.
struct LabelPositionTable final {
    // The place of `position`; none unless it is a whole number from 1 to 30. Bold type and the
    // special printer models move the middle and right columns.
    static std::optional<LabelPlace> place(double position, bool bold, QStringView deviceName);
};

// The printer models that print differently, matched as case-sensitive fragments of the device
// name. Each test point uses its own part of the list.
struct SpecialPrinterModels final {
    // Label columns: any of the four models.
    static bool movesLabelColumns(QStringView deviceName);
    // The paper size set by each job, and envelopes two rows higher: the first three only.
    static bool setsPaperSize(QStringView deviceName);
};

// Spaces that centre a line of `length` characters in a field of 2 x `halfWidth` columns:
// halfWidth - length / 2, rounded halves to even; the line length is not limited, so it can be
// negative (no spaces).
int centringSpaces(qsizetype length, int halfWidth);

}  // namespace pw
