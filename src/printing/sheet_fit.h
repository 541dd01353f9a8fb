#pragma once

#include "data/message.h"
#include "printing/text_measure.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
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
    QSizeF paper{8.5, 11};  // the page it prints on, in inches, as the paper lies
};

// Runs `job` on a surface that prints nothing and measures with `measure`, on the printer
// `deviceName` (the places of some layouts depend on it): every text it would print, in print order.
QList<ProbedText> probeJob(const std::function<void(PrintSurface&)>& job, const TextMeasure& measure,
                           const QString& deviceName = {});

// Why a job of labels must not print: a line (`texts`, as probed) would run past the bottom of the
// area a printer prints on, and the printer would feed another sheet for it. Asked before the print
// dialog, so nothing is fed.
std::optional<Message> belowSheetProblem(const QList<ProbedText>& texts);

// The box a label's lines are judged in once a correction has moved them `shift` inches right and
// down: the label's own box, moved with them (a correction cancels the printer's own offset), but
// never past the paper's right edge at `paperWidth`.
QRectF movedFrame(const QRectF& label, QPointF shift, double paperWidth = 8.5);

// "the correction moves text 0.3 in left, onto the neighbouring labels": a correction that moves
// the text of every label of `outlines` further than the gap to its neighbours (where labels
// touch, half a label), named once for the job; empty when it does not.
QString correctionShiftNote(QPointF shift, const QList<QRectF>& outlines);

}  // namespace pw
