#pragma once

#include <QPointF>
#include <QString>

#include <optional>

namespace pw {

class Platform;
class PrintSurface;

// How a printer puts a page on its paper: a point meant `p` inches from the paper's left and top
// edges lands at scale * p + offset, each direction on its own. A perfect printer has offset 0 and
// scale 1.
struct PrinterCalibration final {
    QPointF offset;  // inches right and down
    QPointF scale{1, 1};

    // Where a point meant at `p` lands.
    QPointF landing(QPointF p) const;
    // Where to aim so that the point lands at `p`.
    QPointF aim(QPointF p) const;
    bool isPerfect() const;
    bool operator==(const PrinterCalibration&) const = default;
};

// The calibration sheet: two crosses, near the top-left and the bottom-right of a Letter page, each
// with ticks 2/100 inch apart across and down, numbered in 1/100 inch. A ruler laid from the paper's edge meets at
// the cross's distance the tick numbered with how far the printer moved it, right and down.
inline constexpr QPointF kCalibrationMarkA{1.0, 1.5};  // inches from the left and top edges
inline constexpr QPointF kCalibrationMarkB{7.5, 10.0};

// Prints the sheet on the current page; the print action ends the job.
void printCalibrationSheet(PrintSurface& surface);

// How far each cross landed from where it belongs, in inches right and down.
struct MeasuredMarks final {
    QPointF a;
    QPointF b;
};

// The printer's calibration from the crosses of a sheet printed through `printedWith`, the
// calibration the printer had then: what is measured is what remains of its error.
PrinterCalibration calibrationFromMarks(const MeasuredMarks& measured, const PrinterCalibration& printedWith = {});

// "0.06 in right and 0.02 in up, 1.0% long across and 0.3% short down"
QString calibrationText(const PrinterCalibration& calibration);

// The calibration kept in the settings for the printer queue `printer`; none when it has none.
std::optional<PrinterCalibration> storedCalibration(Platform& platform, const QString& printer);
// Keeps `calibration` for `printer`; none clears it.
void storeCalibration(Platform& platform, const QString& printer, const std::optional<PrinterCalibration>& calibration);

// The calibration the current printer prints through: none for a PDF file, which is not paper.
std::optional<PrinterCalibration> currentCalibration(Platform& platform);

// "3 mm", "0.12 in", "0.12\"" or a bare number in `defaultUnit` ("mm", "in" or "1/100 in") as
// inches; none when it is no distance.
std::optional<double> inchesFromText(const QString& text, const QString& defaultUnit);

}  // namespace pw
