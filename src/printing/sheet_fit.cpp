#include "printing/sheet_fit.h"

#include "printing/grid_cursor.h"
#include "printing/print_surface.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace pw {
namespace {

// Prints nothing: keeps where each text would go. Its paper never ends, so the cursor never feeds
// a sheet for a line that runs low; every page is measured from its own top.
class ProbeSurface final : public PrintSurface, private GridTarget {
public:
    ProbeSurface(const TextMeasure& measure, QString deviceName)
        : measure_(measure), cursor_(measure), deviceName_(std::move(deviceName))
    { }

    void setFontName(const QString& family) override { type_.family = family; }
    void setFontSize(double points) override { type_.points = points; }
    void setBold(bool on) override { type_.bold = on; }
    void setItalic(bool on) override { type_.italic = on; }
    void setOrientation(PageOrientation orientation) override
    {
        landscape_ = orientation == PageOrientation::Landscape;
    }
    void setPaperSize(PaperSize size) override
    {
        paper_ = size == PaperSize::Envelope10 ? QSizeF(4.125, 9.5) : QSizeF(8.5, 11);
    }
    bool takesPaper(QSizeF) const override { return true; }
    void setPaperInches(QSizeF inches) override
    {
        paper_ = QSizeF(std::min(inches.width(), inches.height()), std::max(inches.width(), inches.height()));
    }
    QString deviceName() const override { return deviceName_; }
    double paperHeightInches() const override { return paperAsItLies().height(); }
    void print(const QList<PrintItem>& items, bool endLine) override { cursor_.print(items, endLine, type_, *this); }
    void homeAt(double inchesDown) override { cursor_.home(inchesDown); }
    void newPage() override { cursor_.newPage(); }
    void setFrame(const QRectF& inches) override
    {
        frame_ = inches;
        frameRow_ = cursor_.row();
        cursor_.setFrame(inches);
    }
    const TextMeasure& measure() const override { return measure_; }
    Status endJob() override { return {}; }
    void abandonJob() override {}

    QList<ProbedText> texts;

private:
    double paperHeight() const override { return std::numeric_limits<double>::max(); }
    bool feedPage() override { return true; }
    void place(const QString& text, const GridPlace& at) override
    {
        const double unit = measure_.unitsPerInch();
        const QRectF box(kGridInsetInches + at.x / unit, kGridInsetInches + at.y / unit, at.width / unit,
                         measure_.grid(type_).row / unit);
        texts.append({text, at.shown, type_.points, at.type.points, box, frame_, at.page, at.row - frameRow_ + 1,
                      paperAsItLies()});
    }
    QSizeF paperAsItLies() const { return landscape_ ? paper_.transposed() : paper_; }

    const TextMeasure& measure_;
    TypeFace type_;
    GridCursor cursor_;
    QRectF frame_;
    int frameRow_ = 1;
    QString deviceName_;
    QSizeF paper_{8.5, 11};
    bool landscape_ = false;
};

// How far a correction may move text across or down `outlines` before it reaches the neighbouring
// labels: the narrowest gap between two labels side by side (or one above the other), half a label
// where they touch; none without neighbours that way.
std::optional<double> roomToNeighbours(const QList<QRectF>& outlines, bool across)
{
    std::optional<double> gap;
    for (const QRectF& a : outlines) {
        for (const QRectF& b : outlines) {
            const bool beside = across ? a.top() < b.bottom() && b.top() < a.bottom() && b.left() >= a.right() - 1e-6
                                       : a.left() < b.right() && b.left() < a.right() && b.top() >= a.bottom() - 1e-6;
            if (!beside)
                continue;
            const double between = across ? b.left() - a.right() : b.top() - a.bottom();
            gap = std::min(gap.value_or(between), between);
        }
    }
    if (gap && *gap < 1e-6)
        gap = (across ? outlines.front().width() : outlines.front().height()) / 2;
    return gap;
}

QString inchesText(double inches)
{
    QString text = QString::number(std::abs(inches), 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text + QStringLiteral(" in");
}

}  // namespace

double ColumnMeasure::width(const TypeFace& type, const QString& text) const
{
    return text.size() * grid(type).column;
}

GridMetrics ColumnMeasure::installedGrid(const TypeFace& type) const
{
    return grid({QStringLiteral("Courier New"), type.points, type.bold, type.italic});
}

QList<ProbedText> probeJob(const std::function<void(PrintSurface&)>& job, const TextMeasure& measure,
                           const QString& deviceName)
{
    ProbeSurface probe(measure, deviceName);
    job(probe);
    return std::move(probe.texts);
}

std::optional<Message> belowSheetProblem(const QList<ProbedText>& texts)
{
    // Where the printer's cursor would feed a new page for it.
    constexpr double kTolerance = 0.001;
    if (std::none_of(texts.begin(), texts.end(), [&](const ProbedText& t) {
            return t.box.bottom() > t.paper.height() - kGridInsetInches + kTolerance;
        }))
        return std::nullopt;
    return Message{QStringLiteral("Lines of the last row of labels would print below the sheet, and a printer "
                                  "would feed another sheet for them.  Nothing was printed.  Lower the top "
                                  "correction in the Margins menu, then print again."),
                   QStringLiteral("Labels below the sheet"), MessageIcon::Warning};
}

QRectF movedFrame(const QRectF& label, QPointF shift, double paperWidth)
{
    QRectF moved = label.translated(shift);
    moved.setRight(std::min(moved.right(), paperWidth));
    return moved;
}

QString correctionShiftNote(QPointF shift, const QList<QRectF>& outlines)
{
    if (outlines.isEmpty())
        return {};
    constexpr double kTolerance = 1e-6;
    QStringList moves;
    const std::optional<double> across = roomToNeighbours(outlines, true);
    if (across && std::abs(shift.x()) > *across + kTolerance)
        moves.append(inchesText(shift.x()) + (shift.x() < 0 ? QStringLiteral(" left") : QStringLiteral(" right")));
    const std::optional<double> down = roomToNeighbours(outlines, false);
    if (down && std::abs(shift.y()) > *down + kTolerance)
        moves.append(inchesText(shift.y()) + (shift.y() < 0 ? QStringLiteral(" up") : QStringLiteral(" down")));
    if (moves.isEmpty())
        return {};
    return QStringLiteral("the correction moves text %1, onto the neighbouring labels").arg(moves.join(" and "));
}

}  // namespace pw
