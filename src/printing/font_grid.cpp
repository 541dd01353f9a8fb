#include "printing/font_grid.h"

#include <array>

namespace pw {
namespace {

struct GridRow final {
    QStringView family;
    bool bold;
    bool italic;
    FontGrid grid;
};

// Font units / 2048. A style the table lacks takes the row of the same weight, else the regular
// row: Courier New has one width in every style, and the layouts ask for no other combinations.
const std::array<GridRow, 8> kGrids = {{
    {u"Verdana", false, false, {0.50830, 1.21533, 1.00537, QStringLiteral("DejaVu Sans")}},
    {u"Verdana", true, false, {0.56787, 1.21533, 1.00537, QStringLiteral("DejaVu Sans")}},
    {u"Trebuchet MS", false, false, {0.45361, 1.16113, 0.93896, QStringLiteral("Liberation Sans")}},
    {u"Trebuchet MS", false, true, {0.45850, 1.16113, 0.93896, QStringLiteral("Liberation Sans")}},
    {u"Trebuchet MS", true, true, {0.48145, 1.16113, 0.93896, QStringLiteral("Liberation Sans")}},
    {u"Courier New", false, false, {0.60010, 1.13281, 0.83252, QStringLiteral("Liberation Mono")}},
    // Three Microsoft Sans Serif lines and a Courier New one make exactly one 1/2-inch row of
    // return-address labels at 8 points, so the 20th row lands as true as the first.
    {u"Microsoft Sans Serif", false, false, {0.43994, 1.12240, 0.92188, QStringLiteral("Liberation Sans")}},
    {u"MS Sans Serif", false, false, {0.43994, 1.12240, 0.92188, QStringLiteral("Liberation Sans")}},
}};

}  // namespace

const FontGrid* fontGrid(const QString& family, bool bold, bool italic)
{
    const GridRow* sameWeight = nullptr;
    const GridRow* regular = nullptr;
    for (const GridRow& row : kGrids) {
        // Layouts name a family as the table spells it; other spellings take the slow comparison.
        if (family.size() != row.family.size()
            || (family != row.family && family.compare(row.family, Qt::CaseInsensitive) != 0))
            continue;
        if (row.bold == bold && row.italic == italic)
            return &row.grid;
        if (row.bold == bold && !sameWeight)
            sameWeight = &row;
        if (!row.bold && !row.italic)
            regular = &row;
    }
    if (sameWeight)
        return &sameWeight->grid;
    if (regular)
        return &regular->grid;
    return nullptr;
}

double rowInches(const QString& family, double points)
{
    // Every style of a family has the same line height.
    const FontGrid* grid = fontGrid(family, false, false);
    return grid ? grid->lineHeight * points / 72 : 0;
}

}  // namespace pw
