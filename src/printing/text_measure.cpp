#include "printing/text_measure.h"

#include "printing/font_grid.h"

namespace pw {

GridMetrics TextMeasure::grid(const TypeFace& type) const
{
    const FontGrid* known = fontGrid(type.family, type.bold, type.italic);
    if (!known)
        return installedGrid(type);
    const double unitsPerEm = type.points * unitsPerInch() / 72.0;
    return {known->averageWidth * unitsPerEm, known->lineHeight * unitsPerEm, known->ascent * unitsPerEm};
}

double ColumnMeasure::width(const TypeFace& type, const QString& text) const
{
    return text.size() * grid(type).column;
}

GridMetrics ColumnMeasure::installedGrid(const TypeFace& type) const
{
    return grid({QStringLiteral("Courier New"), type.points, type.bold, type.italic});
}

const ColumnMeasure& columnMeasure()
{
    static const ColumnMeasure measure;
    return measure;
}

}  // namespace pw
