#include "printing/label_fit.h"

#include "printing/grid_cursor.h"

#include <QRegularExpression>

#include <algorithm>

namespace pw {
namespace {

// As the print surface allows for rounding.
constexpr double kTolerance = 0.01;

bool fitsAt(const QString& text, double points, const LabelRoom& room, const TextMeasure& measure)
{
    TypeFace type = room.type;
    type.points = points;
    return measure.width(type, text) <= room.width + kTolerance;
}

// Where a line too wide even in the smallest type is broken: at the last blank whose head fits in
// the type asked for, else at the last whose head fits in the smallest type; -1 for none.
qsizetype breakAt(const QString& text, double smallest, const LabelRoom& room, const TextMeasure& measure)
{
    for (const double points : {room.type.points, smallest}) {
        for (qsizetype blank = text.lastIndexOf(u' '); blank > 0; blank = text.lastIndexOf(u' ', blank - 1)) {
            const QString head = text.left(blank).trimmed();
            if (!head.isEmpty() && fitsAt(head, points, room, measure))
                return blank;
        }
    }
    return -1;
}

// Joins joinable lines to the line above, the last first, until the lines fit the rows.
void joinForRows(QList<LabelLine>& lines, int rows)
{
    for (qsizetype i = lines.size() - 1; i > 0 && lines.size() > rows; --i) {
        if (!lines[i].joinable)
            continue;
        lines[i - 1].text += u' ' + lines[i].text;
        lines[i - 1].address = lines[i - 1].address || lines[i].address;
        lines.removeAt(i);
    }
}

}  // namespace

FittedLabel fitLabel(QList<LabelLine> lines, const LabelRoom& room, const TextMeasure& measure)
{
    joinForRows(lines, room.rows);
    const double smallest = std::min(room.type.points, kSmallestPoints);
    FittedLabel fitted;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const LabelLine line = lines[i];
        fitted.lines.append(line.text);
        // Smaller type, down to 8 points, is the surface's to draw.
        if (line.text.isEmpty() || fitsAt(line.text, smallest, room, measure))
            continue;
        const qsizetype blank = lines.size() < room.rows ? breakAt(line.text, smallest, room, measure) : -1;
        if (blank > 0) {
            fitted.lines.last() = line.text.left(blank).trimmed();
            lines.insert(i + 1, {line.text.mid(blank + 1).trimmed(), line.address, false});
            continue;
        }
        // Cut at the edge: a name loses letters, an address is no longer the address.
        if (!fitted.changed.isEmpty())
            continue;
        TypeFace type = room.type;
        type.points = smallest;
        qsizetype shown = 0;
        while (shown < line.text.size() && measure.width(type, line.text.left(shown + 1)) <= room.width + kTolerance)
            ++shown;
        if (line.address || cutChangesAddress(line.text, shown))
            fitted.changed = line.text;
    }
    return fitted;
}

double roomInFrame(const QRectF& frame, int column, const TypeFace& type, const TextMeasure& measure)
{
    const double x = (std::max(column, 1) - 1) * measure.grid(type).column;
    return (frame.right() - kFrameEdgeInches - kGridInsetInches) * measure.unitsPerInch() - x;
}

bool cutChangesAddress(QStringView text, qsizetype shown)
{
    // The word the cut runs through is lost with the rest: "14B" cut to "14" is another unit.
    shown = std::clamp<qsizetype>(shown, 0, text.size());
    const QStringView lost = text.mid(text.left(shown).lastIndexOf(u' ') + 1);
    if (std::any_of(lost.begin(), lost.end(), [](QChar c) { return c.isDigit() || c == u'#'; }))
        return true;
    static const QRegularExpression designator(
        QStringLiteral("\\b(apt|apartment|unit|ste|suite|bldg|building|fl|floor|rm|room|dept|lot|box|pmb|po|"
                       "flat|space|spc|trlr|ph)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return designator.match(lost.toString()).hasMatch();
}

}  // namespace pw
