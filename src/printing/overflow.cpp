#include "printing/overflow.h"

#include "printing/label_fit.h"

#include <QHash>

namespace pw {
namespace {

constexpr int kListedAtMost = 15;
// A line ending this little below its frame is the rounding of rows that exactly fill it.
constexpr double kBottomTolerance = 0.001;

enum class Fit { Fits, Shrunk, Cut, Below };

Fit fitOf(const ProbedText& t)
{
    if (t.shown < t.text.size())
        return Fit::Cut;
    if (t.drawn < t.asked)
        return Fit::Shrunk;
    if (t.box.bottom() > t.frame.bottom() + kBottomTolerance)
        return Fit::Below;
    return Fit::Fits;
}

QString outcomeOf(const ProbedText& t, bool envelope)
{
    if (t.shown < t.text.size())
        return QStringLiteral("too wide even at %1 points, cut to \"%2\"").arg(t.drawn).arg(t.text.left(t.shown));
    if (t.drawn < t.asked)
        return QStringLiteral("printed at %1 points instead of %2 to fit").arg(t.drawn).arg(t.asked);
    if (t.box.bottom() > t.frame.bottom() + kBottomTolerance)
        return envelope ? QStringLiteral("runs below the envelope") : QStringLiteral("runs below the label");
    return {};
}

// The label of `outlines` whose lines a frame holds: the one nearest it, as a correction moves
// the frame with the lines.
qsizetype labelOf(const QRectF& frame, const QList<QRectF>& outlines)
{
    qsizetype nearest = -1;
    double distance = 0;
    for (qsizetype i = 0; i < outlines.size(); ++i) {
        const QPointF d = outlines[i].topLeft() - frame.topLeft();
        const double squared = QPointF::dotProduct(d, d);
        if (nearest < 0 || squared < distance) {
            nearest = i;
            distance = squared;
        }
    }
    return nearest;
}

}  // namespace

QList<Overflow> overflowsOf(const QList<ProbedText>& texts, const QList<QRectF>& outlines)
{
    const bool envelope = outlines.size() == 1;
    QList<Overflow> found;
    // A sheet of the same lines (typed labels, return addresses) names each line once, with the
    // number of other labels it also overruns.
    QHash<QString, qsizetype> seen;
    for (const ProbedText& t : texts) {
        if (t.frame.isEmpty())
            continue;
        const Fit fit = fitOf(t);
        if (fit == Fit::Fits)
            continue;
        const QString key = QStringLiteral("%1|%2|").arg(t.line).arg(static_cast<int>(fit)) + t.text;
        if (auto same = seen.constFind(key); same != seen.cend()) {
            found[*same].alsoOn.append(outlines.value(labelOf(t.frame, outlines), t.frame));
            continue;
        }
        seen.insert(key, found.size());
        const QRectF outline = envelope ? t.frame : outlines.value(labelOf(t.frame, outlines), t.frame);
        QString where = QStringLiteral("Line %1").arg(t.line);
        if (!envelope) {
            where = QStringLiteral("Position %1, line %2").arg(labelOf(t.frame, outlines) + 1).arg(t.line);
            if (t.page > 1)
                where = QStringLiteral("Sheet %1, ").arg(t.page) + where;
        }
        found.append({where, t.text, outcomeOf(t, envelope), outline, {}});
    }
    for (Overflow& o : found) {
        if (const qsizetype others = o.alsoOn.size())
            o.where += QStringLiteral(" (and %1 more label%2)").arg(others).arg(others == 1 ? "" : "s");
    }
    return found;
}

std::optional<Message> changedAddressProblem(const QList<ProbedText>& texts)
{
    for (const ProbedText& t : texts) {
        if (t.frame.isEmpty() || t.shown >= t.text.size() || !cutChangesAddress(t.text, t.shown))
            continue;
        return Message{QStringLiteral("Line %1, \"%2\": the address does not fit the label, and a cut would "
                                      "change it.  Nothing was printed.  Shorten the line, then print again.")
                           .arg(t.line)
                           .arg(t.text),
                       QStringLiteral("Address does not fit"), MessageIcon::Warning};
    }
    return std::nullopt;
}

Message overflowQuestion(const QList<Overflow>& overflows)
{
    QStringList lines;
    for (qsizetype i = 0; i < overflows.size() && i < kListedAtMost; ++i) {
        const Overflow& o = overflows[i];
        lines.append(QStringLiteral("%1, \"%2\": %3").arg(o.where, o.line, o.outcome));
    }
    if (overflows.size() > kListedAtMost)
        lines.append(QStringLiteral("and %1 more").arg(overflows.size() - kListedAtMost));
    return {QStringLiteral("These lines do not fit the label or envelope they print on:\n\n%1\n\nPrint anyway?")
                .arg(lines.join(u'\n')),
            QStringLiteral("Lines too long"), MessageIcon::Warning, MessageButtons::PrintAnywayCancel};
}

Message correctionShiftQuestion(const QString& note)
{
    return {QStringLiteral("On every label, %1.\n\nPrint anyway?").arg(note),
            QStringLiteral("Correction beyond the label"), MessageIcon::Warning, MessageButtons::PrintAnywayCancel};
}

}  // namespace pw
