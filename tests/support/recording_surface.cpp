#include "support/recording_surface.h"

#include <algorithm>

namespace pw::test {

const ColumnMeasure& columnMeasure()
{
    static const ColumnMeasure measure;
    return measure;
}

double paperHeightPoints(PaperSize paper, PageOrientation orientation)
{
    const bool envelope = paper == PaperSize::Envelope10;
    const double width = envelope ? 4.125 * 72 : 8.5 * 72;
    const double height = envelope ? 9.5 * 72 : 11 * 72;
    return orientation == PageOrientation::Landscape ? width : height;
}

void RecordingSurface::setOrientation(PageOrientation orientation)
{
    orientation_ = orientation;
    current_.orientations.append(orientation);
}

void RecordingSurface::setPaperSize(PaperSize paper)
{
    paper_ = paper == PaperSize::Envelope10 ? QSizeF(4.125, 9.5) : QSizeF(8.5, 11);
    current_.paperSizes.append(paper);
}

void RecordingSurface::setPaperInches(QSizeF inches)
{
    paper_ = QSizeF(std::min(inches.width(), inches.height()), std::max(inches.width(), inches.height()));
    current_.paperInches.append(inches);
}

double RecordingSurface::paperHeight() const
{
    return (orientation_ == PageOrientation::Landscape ? paper_.width() : paper_.height()) * 72;
}

void RecordingSurface::print(const QList<PrintItem>& items, bool endLine)
{
    started_ = true;
    if (items.isEmpty() && endLine)
        current_.blankRows.append({cursor_.page(), cursor_.row(), font, size});
    cursor_.print(items, endLine, {font, size, bold, italic}, *this);
}

void RecordingSurface::place(const QString& text, const GridPlace& at)
{
    current_.texts.append({at.page, at.row, at.column, text.left(at.shown), font, at.type.points, bold, italic, at.y / 72});
}

void RecordingSurface::drawLine(QPointF fromInches, QPointF toInches)
{
    started_ = true;
    cursor_.mark(*this);
    current_.lines.append(QLineF(fromInches, toInches));
}

void RecordingSurface::homeAt(double inchesDown)
{
    cursor_.home(inchesDown);
}

void RecordingSurface::newPage()
{
    started_ = true;
    cursor_.newPage();
}

Status RecordingSurface::endJob()
{
    if (failure) {
        const FileError error = *failure;
        failure.reset();
        return std::unexpected(error);
    }
    finishJob(started_);
    return {};
}

void RecordingSurface::abandonJob()
{
    current_.abandoned = true;
    finishJob(true);
}

void RecordingSurface::finishJob(bool keep)
{
    current_.pages = cursor_.page();
    current_.calibration = calibration_;
    if (keep)
        jobs.append(current_);
    current_ = {};
    started_ = false;
    cursor_.reset();
}

}  // namespace pw::test
