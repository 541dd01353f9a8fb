#include "printing/envelope_check.h"

#include "printing/grid_cursor.h"
#include "printing/print_surface.h"

#include <algorithm>
#include <functional>

namespace pw {
namespace {

// The address keeps this far from every edge of the envelope.
constexpr double kClear = 0.125;
// Rounding of rows that exactly reach a limit.
constexpr double kTolerance = 0.001;
// How many rows or columns a correction is moved, at most, in search of one that fits.
constexpr int kSearch = 200;

// The address lines of a dry run: the texts in the address's frame.
QList<ProbedText> addressOf(const QList<ProbedText>& texts, const QRectF& outline)
{
    const QRectF frame = envelopeAddressFrame(outline);
    QList<ProbedText> address;
    for (const ProbedText& t : texts) {
        if (t.frame == frame)
            address.append(t);
    }
    return address;
}

// The first line that ends in the envelope's bottom quarter inch, where the printer's grid ends and
// it feeds another envelope; the envelope's bottom edge is the page's on every feed.
const ProbedText* fedTwice(const QList<ProbedText>& address, const QRectF& outline)
{
    const auto low = std::find_if(address.begin(), address.end(), [&](const ProbedText& t) {
        return t.box.bottom() > outline.bottom() - kGridInsetInches + kTolerance;
    });
    return low == address.end() ? nullptr : &*low;
}

double topOf(const QList<ProbedText>& address)
{
    return std::ranges::min(address, {}, [](const ProbedText& t) { return t.box.top(); }).box.top();
}

double leftOf(const QList<ProbedText>& address)
{
    return std::ranges::min(address, {}, [](const ProbedText& t) { return t.box.left(); }).box.left();
}

double rightOf(const QList<ProbedText>& address)
{
    return std::ranges::max(address, {}, [](const ProbedText& t) { return t.box.right(); }).box.right();
}

// "0.70 in above the envelope's top edge", or "only 0.05 in below" it while still on the envelope.
QString distance(double beyond, const QString& outside, const QString& inside, const QString& edge)
{
    const QString inches = QString::number(std::abs(beyond), 'f', 2);
    if (beyond > 0)
        return QStringLiteral("%1 in %2 the envelope's %3 edge").arg(inches, outside, edge);
    return QStringLiteral("only %1 in %2 the envelope's %3 edge").arg(inches, inside, edge);
}

// ": raise the ENVELOPE top correction", and to what, when a correction within reach fits.
QString advice(const QString& verb, const QString& which, std::optional<int> fitting, const QString& bound)
{
    QString text = QStringLiteral(": %1 the ENVELOPE %2 correction").arg(verb, which);
    if (fitting)
        text += QStringLiteral(" to %1 or %2").arg(*fitting).arg(bound);
    return text;
}

}  // namespace

EnvelopeCheck checkEnvelope(const EnvelopeJob& envelope, EnvelopeFeed feed, const QList<ProbedText>& texts,
                            const TextMeasure& measure)
{
    const QRectF outline = envelopeOnPage(envelope.sizeCode, feed);
    const QList<ProbedText> address = addressOf(texts, outline);
    if (address.isEmpty())
        return {};
    const auto onEnvelope = [&](const QList<ProbedText>& a) {
        return !fedTwice(a, outline) && topOf(a) >= outline.top() + kClear - kTolerance
               && leftOf(a) >= outline.left() + kClear - kTolerance
               && rightOf(a) <= outline.right() - kClear + kTolerance;
    };
    // The nearest correction that keeps the address on the envelope, moving one row or column at a time.
    const auto nearest = [&](bool top, int step) -> std::optional<int> {
        EnvelopeJob moved = envelope;
        int& value = top ? moved.correction.top : moved.correction.left;
        for (int i = 0; i < kSearch; ++i) {
            value += step;
            const QList<ProbedText> tried =
                probeJob([&](PrintSurface& surface) { printEnvelopeFed(surface, moved, feed); }, measure);
            if (onEnvelope(addressOf(tried, outline)))
                return value;
        }
        return std::nullopt;
    };

    EnvelopeCheck check;
    if (const ProbedText* low = fedTwice(address, outline)) {
        const std::optional<int> fitting = nearest(true, -1);
        check.refusal =
            Message{QStringLiteral(
                        "Line %1 of the address would print too near the envelope's bottom edge, and the printer "
                        "would feed a second envelope for it.  Nothing was printed.  Lower the ENVELOPE top "
                        "correction%2 in the Margins menu, then print again.")
                        .arg(low->line)
                        .arg(fitting ? QStringLiteral(" to %1 or less").arg(*fitting) : QString()),
                    QStringLiteral("Envelope fed twice"), MessageIcon::Warning};
        return check;
    }
    const QString lead = QStringLiteral("The address would print ");
    if (const double above = outline.top() + kClear - topOf(address); above > kTolerance)
        check.offEnvelope =
            lead + distance(above - kClear, QStringLiteral("above"), QStringLiteral("below"), QStringLiteral("top"))
            + advice(QStringLiteral("raise"), QStringLiteral("top"), nearest(true, 1), QStringLiteral("more"));
    else if (const double left = outline.left() + kClear - leftOf(address); left > kTolerance)
        check.offEnvelope =
            lead + distance(left - kClear, QStringLiteral("left of"), QStringLiteral("from"), QStringLiteral("left"))
            + advice(QStringLiteral("raise"), QStringLiteral("left"), nearest(false, 1), QStringLiteral("more"));
    else if (const double right = rightOf(address) - (outline.right() - kClear); right > kTolerance)
        check.offEnvelope =
            lead + distance(right - kClear, QStringLiteral("past"), QStringLiteral("from"), QStringLiteral("right"))
            + advice(QStringLiteral("lower"), QStringLiteral("left"), nearest(false, -1), QStringLiteral("less"));
    return check;
}

Message offEnvelopeQuestion(const QString& offEnvelope)
{
    return {offEnvelope + QStringLiteral(".\n\nPrint anyway?"), QStringLiteral("Address off the envelope"),
            MessageIcon::Warning, MessageButtons::PrintAnywayCancel};
}

}  // namespace pw
