#include "desktop/font_measure.h"

#include "printing/font_grid.h"

#include <QPaintDevice>

namespace pw {

double FontMeasure::unitsPerInch() const
{
    return device_.logicalDpiY();
}

double FontMeasure::width(const TypeFace& type, const QString& text) const
{
    return drawn(type).metrics.horizontalAdvance(text);
}

double FontMeasure::quickWidth(const TypeFace& type, const QString& text) const
{
    Drawn& d = drawn(type);
    double sum = 0;
    for (const QChar c : text) {
        // A pair of surrogates has no advance of its own.
        if (c.isSurrogate())
            return d.metrics.horizontalAdvance(text);
        auto known = d.advances.constFind(c.unicode());
        if (known == d.advances.cend())
            known = d.advances.insert(c.unicode(), d.metrics.horizontalAdvance(c));
        sum += *known;
    }
    return sum;
}

QFont FontMeasure::font(const TypeFace& type) const
{
    return drawn(type).font;
}

GridMetrics FontMeasure::installedGrid(const TypeFace& type) const
{
    const QFontMetricsF& metrics = drawn(type).metrics;
    return {metrics.averageCharWidth(), metrics.lineSpacing(), metrics.ascent()};
}

FontMeasure::Drawn& FontMeasure::drawn(const TypeFace& type) const
{
    const int dpi = device_.logicalDpiY();
    if (last_ && last_->type == type && last_->dpi == dpi)
        return *last_;
    const FontGrid* known = fontGrid(type.family, type.bold, type.italic);
    QFont font(known ? known->standIn : type.family);
    font.setPointSizeF(type.points);
    font.setBold(type.bold);
    font.setItalic(type.italic);
    last_.emplace(Drawn{type, dpi, font, QFontMetricsF(font, &device_), {}});
    return *last_;
}

}  // namespace pw
