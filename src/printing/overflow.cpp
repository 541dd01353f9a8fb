#include "printing/overflow.h"

#include "printing/font_grid.h"
#include "printing/label_sheet.h"
#include "printing/sheet_outlines.h"

#include <cmath>

namespace pw {
namespace {

constexpr double kGridInsetInches = 0.25;  // where column 1 begins on every printer
constexpr double kEnvelopeMarginInches = 0.25;
constexpr int kListedAtMost = 15;

}  // namespace

int charactersPast(const QString& line, int column, int spaces, double rightEdgeInches, const QString& font,
                   double points, bool bold, bool italic)
{
    const FontGrid* grid = fontGrid(font, bold, italic);
    if (!grid || line.isEmpty())
        return 0;
    const double columnInches = grid->averageWidth * points / 72.0;
    const double start = kGridInsetInches + (std::max(column, 1) - 1 + std::max(spaces, 0)) * columnInches;
    const double past = start + line.size() * columnInches - rightEdgeInches;
    return past > 1e-9 ? static_cast<int>(std::ceil(past / columnInches - 1e-9)) : 0;
}

QList<Overflow> labelOverflows(const OnTheFlyLabels& labels, const QString& deviceName)
{
    QList<int> positions = labels.positions;
    if (positions.isEmpty()) {
        for (int p = static_cast<int>(labels.start); p < labels.start + labels.count && p <= 30; ++p)
            positions.append(p);
    }
    const QList<QRectF> outlines = labelSheetOutlines();
    QList<Overflow> found;
    for (int p : positions) {
        const std::optional<LabelPlace> place = LabelPositionTable::place(p, labels.bold, deviceName);
        if (!place)
            continue;
        const int column = place->column + labels.correction.left;
        for (qsizetype i = 0; i < labels.lines.size(); ++i) {
            const QString& line = labels.lines[i];
            const int tab = labels.centred && labels.bold ? column - 3 : column;
            const int spaces = labels.centred ? centringSpaces(line.size(), 18) : 0;
            const int past = charactersPast(line, tab, spaces, outlines[p - 1].right(), QStringLiteral("Verdana"),
                                            labels.portrait ? 9 : 11, labels.bold, labels.italic);
            if (past > 0)
                found.append({QStringLiteral("Position %1, line %2").arg(p).arg(i + 1), line, past, outlines[p - 1]});
        }
    }
    return found;
}

QList<Overflow> envelopeOverflows(const EnvelopeJob& envelope, int sizeCode)
{
    const QRectF outline = envelopeOutline(sizeCode);
    if (outline.isEmpty())
        return {};
    int column = envelope.place.column + envelope.correction.left - (envelope.largeFont ? 6 : 0);
    if (envelope.centred)
        column -= 6;
    const QString font = envelope.largeFont ? QStringLiteral("Trebuchet MS") : QStringLiteral("Verdana");
    QList<Overflow> found;
    for (qsizetype i = 0; i < envelope.lines.size(); ++i) {
        const QString& line = envelope.lines[i];
        const int spaces = envelope.centred ? centringSpaces(line.size(), 18) : 0;
        const int past = charactersPast(line, column, spaces, outline.right() - kEnvelopeMarginInches, font,
                                        envelope.largeFont ? 14 : 11, envelope.bold, envelope.largeFont);
        if (past > 0)
            found.append({QStringLiteral("Line %1").arg(i + 1), line, past, outline});
    }
    return found;
}

QList<Overflow> returnAddressOverflows(const ReturnAddressSheet& sheet)
{
    const QList<QRectF> outlines = returnAddressOutlines();
    QList<Overflow> found;
    for (qsizetype i = 0; i < sheet.lines.size(); ++i) {
        const QString& line = sheet.lines[i];
        const int spaces = sheet.centred ? centringSpaces(line.size(), 12) : 0;
        // The four labels of a row repeat the line; the one that overruns most speaks for all.
        int worst = 0;
        QRectF where;
        for (int label = 0; label < 4; ++label) {
            const int column = sheet.correction.left + 3 + 4 + label * 42;
            const int past = charactersPast(line, column, spaces, outlines[label].right(),
                                            QStringLiteral("Microsoft Sans Serif"), 8, false, sheet.italic);
            if (past > worst) {
                worst = past;
                where = outlines[label];
            }
        }
        if (worst > 0)
            found.append({QStringLiteral("Line %1").arg(i + 1), line, worst, where});
    }
    return found;
}

Message overflowQuestion(const QList<Overflow>& overflows)
{
    QStringList lines;
    for (qsizetype i = 0; i < overflows.size() && i < kListedAtMost; ++i) {
        const Overflow& o = overflows[i];
        lines.append(QStringLiteral("%1, \"%2\": %3 character%4 too long")
                         .arg(o.where, o.line)
                         .arg(o.charactersTooLong)
                         .arg(o.charactersTooLong == 1 ? QString() : QStringLiteral("s")));
    }
    if (overflows.size() > kListedAtMost)
        lines.append(QStringLiteral("and %1 more").arg(overflows.size() - kListedAtMost));
    return {QStringLiteral("These lines are wider than the label they print on, so they would run off its edge:\n\n%1\n\n"
                           "Print anyway?")
                .arg(lines.join(u'\n')),
            QStringLiteral("Lines too long"), MessageIcon::Warning, MessageButtons::PrintAnywayCancel};
}

}  // namespace pw
