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

}  // namespace pw
