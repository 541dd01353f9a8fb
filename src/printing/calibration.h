#pragma once

#include "printing/margin_settings.h"

#include <QPointF>
#include <QString>

#include <optional>

namespace pw {

class PrintSurface;

// The calibration sheet: two cross marks at known places of a Letter page, rulers along the top and
// the left side, and what to measure. A person measures with a ruler how far from the paper's left
// and top edges each cross's centre landed; the difference to where it belongs is the printer's
// own offset, which the margin corrections take back.
inline constexpr QPointF kCalibrationMarkA{1.0, 1.5};   // inches from the left and top edges
inline constexpr QPointF kCalibrationMarkB{7.5, 10.0};

// Prints the sheet on the current page; the print action ends the job.
void printCalibrationSheet(PrintSurface& surface);

// Where the two crosses landed, in inches from the paper's left and top edges.
struct MeasuredMarks final {
    QPointF a;
    QPointF b;
};

// How far the printer moved everything, right and down, in inches: the mean of both marks.
QPointF printerOffset(const MeasuredMarks& measured);

// The correction that takes `offsetInches` back for one print kind, in that kind's columns and rows,
// rounded halves to even and held to what its margin dialog accepts. `limited` says whether a
// value was held back.
struct KindCorrection final {
    MarginKind kind;
    MarginPair correction;
    bool limited = false;
    bool operator==(const KindCorrection&) const = default;
};
// Envelopes feed sideways on most printers, so a sheet's offset says nothing about them: none.
std::optional<KindCorrection> correctionFor(MarginKind kind, QPointF offsetInches);

// "3 mm", "0.12 in", "0.12\"" or a bare number in `defaultUnit` ("mm" or "in") as inches; none when
// it is no distance.
std::optional<double> inchesFromText(const QString& text, const QString& defaultUnit);

}  // namespace pw
