#include "printing/sheet_fit.h"

#include "printing/grid_cursor.h"
#include "printing/print_surface.h"

#include <algorithm>
#include <limits>

namespace pw {
namespace {

// Prints nothing: keeps where each text would go. Its paper never ends, so the cursor never feeds
// a sheet for a line that runs low; every page is measured from its own top.
class ProbeSurface final : public PrintSurface, private GridTarget {
public:
    explicit ProbeSurface(const TextMeasure& measure) : measure_(measure), cursor_(measure) {}

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
        texts.append({text, at.shown, type_.points, at.type.points, box, frame_, at.page, at.row - frameRow_ + 1});
    }

    const TextMeasure& measure_;
    TypeFace type_;
    GridCursor cursor_;
    QRectF frame_;
    int frameRow_ = 1;
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

QList<ProbedText> probeJob(const std::function<void(PrintSurface&)>& job, const TextMeasure& measure)
{
    ProbeSurface probe(measure);
    job(probe);
    return std::move(probe.texts);
}

std::optional<Message> belowSheetProblem(const QList<ProbedText>& texts, const QList<QRectF>& labels)
{
    // A line that only crosses the last label's bottom edge is named with the lines too long; one
    // that starts below it has no label at all.
    double sheetBottom = 0;
    for (const QRectF& label : labels)
        sheetBottom = std::max(sheetBottom, label.bottom());
    if (std::none_of(texts.begin(), texts.end(), [&](const ProbedText& t) { return t.box.top() >= sheetBottom; }))
        return std::nullopt;
    return Message{QStringLiteral("Lines of the last row of labels would print below the sheet, and a printer "
                                  "would feed another sheet for them.  Nothing was printed.  Lower the top "
                                  "correction in the Margins menu, then print again."),
                   QStringLiteral("Labels below the sheet"), MessageIcon::Warning};
}

}  // namespace pw
