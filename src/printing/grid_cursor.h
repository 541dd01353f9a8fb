#pragma once

#include "printing/print_surface.h"
#include "printing/text_measure.h"

#include <QList>
#include <QRectF>
#include <QString>

namespace pw {

// The layouts were made for a printable area that starts 1/4 inch from the paper's top and left
// edges, as a typical office printer's does; the grid starts there on every printer and ends 1/4
// inch above the paper's bottom edge.
inline constexpr double kGridInsetInches = 0.25;

// The smallest type a line is shrunk to so that it fits its label: the smallest the Postal Service
// accepts for addresses.
inline constexpr double kSmallestPoints = 8;

// Ink keeps this far off a frame's right edge, where a label is cut from its sheet.
inline constexpr double kFrameEdgeInches = 1.0 / 16;

// Where a text goes: in the measure's units from the grid's top-left corner, and as the page, row
// and column a person counts (rows from the top of the page or the last home).
struct GridPlace final {
    double x = 0;
    double y = 0;
    double baseline = 0;
    int page = 1;
    int row = 1;
    int column = 1;
    TypeFace type;          // as drawn: smaller than asked when the text was shrunk to fit its frame
    qsizetype shown = 0;    // the characters drawn: fewer than the text's when it was cut at the edge
    double width = 0;       // of what is drawn
};

// What a surface does with the cursor's decisions.
class GridTarget {
public:
    // The paper's height in the measure's units, as the printer has it now.
    virtual double paperHeight() const = 0;
    // Feeds the next sheet; false when the printer failed, and the rest of the line is dropped.
    virtual bool feedPage() = 0;
    virtual void place(const QString& text, const GridPlace& at) = 0;

protected:
    ~GridTarget() = default;
};

// The print position of a text surface and the rules that move it, for every surface alike: tabs
// and spaces move in the type's columns, text by its measured width, lines by the type's row. A
// text that would start below the grid's area starts a new page; blank rows only move the
// position. A new page asked for is fed only when something is placed on it, so a job that ends
// with a new page feeds no blank sheet.
class GridCursor final {
public:
    explicit GridCursor(const TextMeasure& measure) : measure_(measure) {}

    // Walks the items of a print line in `type` and ends the line when asked.
    void print(const QList<PrintItem>& items, bool endLine, const TypeFace& type, GridTarget& target);
    // The label or envelope the texts that follow belong to, in inches from the paper's corner: a
    // text that would run past its right edge (less 1/16 inch) is drawn smaller, down to
    // kSmallestPoints, and cut there when even that is too wide. An empty frame leaves every text as it is.
    void setFrame(const QRectF& inches) { frame_ = inches; }
    // Takes the page a mark at a fixed place goes on; false when feeding it failed.
    bool mark(GridTarget& target);
    // Column 1 of row 1, `inchesDown` below the grid's top.
    void home(double inchesDown = 0);
    void newPage();
    // A fresh job: page 1, nothing placed.
    void reset();

    // The page the job is on, counting only pages something was placed on.
    int page() const { return page_; }
    int row() const { return row_; }

private:
    bool takeWantedPage(GridTarget& target);
    bool placeText(const QString& text, const GridMetrics& grid, const TypeFace& type, GridTarget& target);
    void nextRow(const GridMetrics& grid);
    // Shrinks, then cuts, `place`'s text until it ends within `room`.
    void fitInto(const QString& text, double room, GridPlace& place) const;

    const TextMeasure& measure_;
    double x_ = 0;
    double y_ = 0;
    int row_ = 1;
    int page_ = 1;
    bool pageWanted_ = false;  // newPage() was asked for and nothing has been placed since
    bool pageUsed_ = false;    // something has been placed on the current page
    QRectF frame_;
};

}  // namespace pw
