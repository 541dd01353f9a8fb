#pragma once

#include "data/message.h"
#include "printing/text_measure.h"

#include <QList>
#include <QRectF>
#include <QString>

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

// A text as a job would print it.
struct ProbedText final {
    QString text;          // as the job asked for it
    qsizetype shown = 0;   // the characters printed: fewer when cut at the frame's edge
    double asked = 0;      // points asked for
    double drawn = 0;      // points printed: fewer when shrunk to fit the frame
    QRectF box;            // in inches from the paper's corner, one row high
    QRectF frame;          // the label or envelope it belongs to; empty for none
    int page = 1;
    int line = 1;          // the row within its frame, from 1
};

// Runs `job` on a surface that prints nothing and measures with `measure`: every text it would
// print, in print order.
QList<ProbedText> probeJob(const std::function<void(PrintSurface&)>& job, const TextMeasure& measure);

// Why a job of labels must not print: a line of its last row (`texts`, as probed) would start
// below the last of `labels` (in inches from the paper's corner), where there is no label and a
// printer would feed a sheet for it. Asked before the print dialog, so nothing is fed.
std::optional<Message> belowSheetProblem(const QList<ProbedText>& texts, const QList<QRectF>& labels);

}  // namespace pw
