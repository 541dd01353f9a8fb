#include "printing/sheet_fit.h"

#include "printing/grid_cursor.h"
#include "printing/print_surface.h"

#include <algorithm>
#include <limits>

namespace pw {
namespace {

const ColumnMeasure kMeasure;

// Prints nothing: keeps the lowest line's bottom. Its paper never ends, so the cursor never feeds a
// sheet for a line that runs low; every page is measured from its own top.
class ProbeSurface final : public PrintSurface, private GridTarget {
public:
    void setFontName(const QString& family) override { type_.family = family; }
    void setFontSize(double points) override { type_.points = points; }
    void setBold(bool on) override { type_.bold = on; }
    void setItalic(bool on) override { type_.italic = on; }
    void setOrientation(PageOrientation) override {}
    void setPaperSize(PaperSize) override {}
    QString deviceName() const override { return {}; }
    double paperHeightInches() const override { return 11; }
    void print(const QList<PrintItem>& items, bool endLine) override { cursor_.print(items, endLine, type_, *this); }
    void homeAt(double inchesDown) override { cursor_.home(inchesDown); }
    void newPage() override { cursor_.newPage(); }
    Status endJob() override { return {}; }
    void abandonJob() override {}

    double lowest = 0;

private:
    double paperHeight() const override { return std::numeric_limits<double>::max(); }
    bool feedPage() override { return true; }
    void place(const QString&, const GridPlace& at) override
    {
        const double bottom = kGridInsetInches + (at.y + kMeasure.grid(type_).row) / kMeasure.unitsPerInch();
        lowest = std::max(lowest, bottom);
    }

    TypeFace type_;
    GridCursor cursor_{kMeasure};
};

}  // namespace

double ColumnMeasure::width(const TypeFace& type, const QString& text) const
{
    return text.size() * grid(type).column;
}

GridMetrics ColumnMeasure::installedGrid(const TypeFace& type) const
{
    return grid({QStringLiteral("Courier New"), type.points, type.bold, type.italic});
}

double lowestLineInches(const std::function<void(PrintSurface&)>& job)
{
    ProbeSurface probe;
    job(probe);
    return probe.lowest;
}

std::optional<Message> belowSheetProblem(const std::function<void(PrintSurface&)>& job, const QList<QRectF>& labels)
{
    // A hair of tolerance for the rounding of rows that exactly fill a label.
    constexpr double kTolerance = 0.001;
    double sheetBottom = 0;
    for (const QRectF& label : labels)
        sheetBottom = std::max(sheetBottom, label.bottom());
    if (lowestLineInches(job) <= sheetBottom + kTolerance)
        return std::nullopt;
    return Message{QStringLiteral("Lines of the last row of labels would print below the sheet, and a printer "
                                  "would feed another sheet for them.  Nothing was printed.  Lower the top "
                                  "correction in the Margins menu, then print again."),
                   QStringLiteral("Labels below the sheet"), MessageIcon::Warning};
}

}  // namespace pw
