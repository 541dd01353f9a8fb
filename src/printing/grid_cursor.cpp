#include "printing/grid_cursor.h"

#include <algorithm>
#include <cmath>

namespace pw {
namespace {

// A tab to the column the position is already on stays on this row despite rounding.
constexpr double kTolerance = 0.01;

}  // namespace

void GridCursor::print(const QList<PrintItem>& items, bool endLine, const TypeFace& type, GridTarget& target)
{
    const GridMetrics grid = measure_.grid(type);
    for (const PrintItem& item : items) {
        switch (item.kind) {
        case PrintItem::Kind::Tab: {
            const double column = (std::max(item.count, 1) - 1) * grid.column;
            if (x_ > column + kTolerance)
                nextRow(grid);
            x_ = column;
            break;
        }
        case PrintItem::Kind::Spaces:
            // A space is one column wide, so that centring counts in the same columns as the tabs.
            x_ += std::max(item.count, 0) * grid.column;
            break;
        case PrintItem::Kind::Text:
            if (!item.text.isEmpty() && !placeText(item.text, grid, type, target))
                return;
            break;
        }
    }
    if (endLine) {
        nextRow(grid);
        x_ = 0;
    }
}

bool GridCursor::placeText(const QString& text, const GridMetrics& grid, const TypeFace& type, GridTarget& target)
{
    if (!takeWantedPage(target))
        return false;
    // Rows that ran past the page have used it up, blank or not.
    if (y_ > 0) {
        const double area = target.paperHeight() - 2 * kGridInsetInches * measure_.unitsPerInch();
        if (y_ + grid.row > area + kTolerance) {
            if (!target.feedPage())
                return false;
            ++page_;
            y_ = 0;
            row_ = 1;
        }
    }
    const int column = grid.column > 0 ? static_cast<int>(std::lround(x_ / grid.column)) + 1 : 1;
    GridPlace place{x_, y_, y_ + grid.ascent, page_, row_, column, type, text.size(), 0};
    if (frame_.isEmpty()) {
        place.width = measure_.width(type, text);
    } else {
        const double room = (frame_.right() - kFrameEdgeInches - kGridInsetInches) * measure_.unitsPerInch() - x_;
        // Shaping is costly: a text whose plain advances clearly fit is not shaped to be measured.
        constexpr double kKerningAllowance = 1.02;
        place.width = measure_.quickWidth(type, text);
        if (place.width * kKerningAllowance > room) {
            place.width = measure_.width(type, text);
            if (place.width > room + kTolerance)
                fitInto(text, room, place);
        }
    }
    target.place(text, place);
    pageUsed_ = true;
    x_ += place.width;
    return true;
}

void GridCursor::fitInto(const QString& text, double room, GridPlace& place) const
{
    room = std::max(room, 0.0);
    // Width grows with the size: try the size that should just fit, in half points, then smaller.
    const double asked = place.type.points;
    const double smallest = std::min(asked, kSmallestPoints);
    double points = std::clamp(std::floor(asked * room / place.width * 2) / 2, smallest, asked);
    for (;;) {
        place.type.points = points;
        place.width = measure_.width(place.type, text);
        if (place.width <= room + kTolerance || points <= smallest)
            break;
        points = std::max(smallest, points - 0.5);
    }
    if (place.width <= room + kTolerance)
        return;
    // Even the smallest size is too wide: as many characters as end within the frame.
    qsizetype fits = 0;
    qsizetype over = text.size();
    while (over - fits > 1) {
        const qsizetype middle = (fits + over) / 2;
        if (measure_.width(place.type, text.left(middle)) <= room + kTolerance)
            fits = middle;
        else
            over = middle;
    }
    place.shown = fits;
    place.width = measure_.width(place.type, text.left(fits));
}

bool GridCursor::mark(GridTarget& target)
{
    if (!takeWantedPage(target))
        return false;
    pageUsed_ = true;
    return true;
}

bool GridCursor::takeWantedPage(GridTarget& target)
{
    // An asked-for page is fed only now, and not at all while the current page is still blank.
    if (!pageWanted_)
        return true;
    pageWanted_ = false;
    if (!pageUsed_)
        return true;
    if (!target.feedPage())
        return false;
    ++page_;
    pageUsed_ = false;
    return true;
}

void GridCursor::nextRow(const GridMetrics& grid)
{
    y_ += grid.row;
    ++row_;
}

void GridCursor::home(double inchesDown)
{
    x_ = 0;
    y_ = inchesDown * measure_.unitsPerInch();
    row_ = 1;
}

void GridCursor::newPage()
{
    pageWanted_ = true;
    home();
}

void GridCursor::reset()
{
    frame_ = {};
    pageWanted_ = false;
    pageUsed_ = false;
    page_ = 1;
    home();
}

}  // namespace pw
