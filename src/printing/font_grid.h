#pragma once

#include <QString>

namespace pw {

// The grid of a font the layouts ask for, from that font's own published metrics, in em: a column
// is the average character width, a row the line height, and text sits on a baseline one ascent
// below the top of its row. The glyphs are drawn with the installed stand-in family.
struct FontGrid final {
    double averageWidth;
    double lineHeight;
    double ascent;
    QString standIn;
};

// The grid of `family` in the given style, from a table that lives as long as the program; null for
// a family the layouts do not use.
const FontGrid* fontGrid(const QString& family, bool bold, bool italic);

// One row of `family` at `points`, in inches: how far a line of the layouts moves down the paper.
double rowInches(const QString& family, double points);

}  // namespace pw
