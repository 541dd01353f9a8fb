#pragma once

#include "data/message.h"
#include "printing/text_measure.h"

#include <QList>
#include <QRectF>

#include <functional>
#include <optional>

namespace pw {

class PrintSurface;

// Widths on the layouts' own grid, in points: every character one column of its type wide. It is
// the same on every printer, so what it finds holds wherever the job prints.
class ColumnMeasure final : public TextMeasure {
public:
    double unitsPerInch() const override { return 72; }
    double width(const TypeFace& type, const QString& text) const override;

protected:
    GridMetrics installedGrid(const TypeFace& type) const override;
};

// The bottom of the lowest line a job prints on any of its pages, in inches from the paper's top
// edge, on the layouts' grid; the job is run on a surface that prints nothing.
double lowestLineInches(const std::function<void(PrintSurface&)>& job);

// Why a job of labels must not print: lines of its last row would fall below the last of `labels`
// (in inches from the paper's corner), where there is no label and a printer would feed a sheet
// for them. Asked before the print dialog, so nothing is fed.
std::optional<Message> belowSheetProblem(const std::function<void(PrintSurface&)>& job, const QList<QRectF>& labels);

}  // namespace pw
