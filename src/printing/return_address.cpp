#include "printing/return_address.h"

#include "printing/font_grid.h"
#include "printing/grid_cursor.h"
#include "printing/label_fit.h"
#include "printing/label_sheet.h"
#include "printing/print_surface.h"
#include "printing/sheet_fit.h"
#include "printing/sheet_outlines.h"

#include <algorithm>
#include <cmath>

namespace pw {
namespace {

constexpr int kLabelLines = 3;
// Lines start on the first column at least this far inside their label: a city line of 28
// characters fits the 1 3/4-inch label at 8 points.
constexpr double kInsetInches = 1.0 / 16;

const QString kSheetFont = QStringLiteral("Microsoft Sans Serif");

Message warning(const char* text, const char* title)
{
    return {QString::fromLatin1(text), QString::fromLatin1(title), MessageIcon::Warning, MessageButtons::Ok, true};
}

}  // namespace

Message returnAddressStockMessage()
{
    return {QStringLiteral("Prints 80 return address labels on Avery 5167 [1/2 inch x 1 3/4 inch] labels"),
            QStringLiteral("Load printer with Avery 5167, 8167, or 18167 label stock"), MessageIcon::Information};
}

ReturnLinesProblem returnLinesProblem(const QStringList& lines)
{
    const auto filled = [&lines](int i) { return i < lines.size() && !lines[i].isEmpty(); };
    if (!filled(0) && !filled(1) && !filled(2))
        return ReturnLinesProblem::NoLines;
    if (filled(3) || filled(4))
        return ReturnLinesProblem::TooManyLines;
    return ReturnLinesProblem::None;
}

Message returnLinesMessage(ReturnLinesProblem problem)
{
    if (problem == ReturnLinesProblem::NoLines)
        return warning("Fill in Lines 1, 2, and 3, then press Print.", "Instructions");
    return warning("Leave Lines 4 and 5 blank", "Small label can fit only 3 lines");
}

Message anotherReturnPageQuestion()
{
    // Enter does not feed another 80 labels.
    return {QStringLiteral("Done!  Do you want to print another page of Return Address Labels?"),
            QStringLiteral("Completed"), MessageIcon::Question, MessageButtons::YesNoCancel, false, MessageResult::No};
}

void printReturnAddressPage(PrintSurface& surface, const ReturnAddressSheet& sheet)
{
    const LabelStock& stock = sheet.stock ? *sheet.stock : returnAddressStock();
    surface.setOrientation(PageOrientation::Portrait);
    setStockPaper(surface, stock);
    surface.setFontName(kSheetFont);
    surface.setFontSize(8);
    surface.setItalic(sheet.italic);
    surface.setBold(false);
    // Whole rows above the first label row by the sign of the correction, then half a row: on the
    // grid that starts 1/4 inch from the paper's top, that puts the three lines inside the first
    // row of labels, which begins 1/2 inch from the top, with room to spare above and below.
    const int top = sheet.correction.top;
    const double row = rowInches(kSheetFont, 8);
    const int rowsMoved = top > 0 ? 1 : top < 0 ? -1 : 0;
    const double firstRow = (2 + rowsMoved) * row + row / 2;

    // Every label is placed from its own origin, so a line too long for one label cannot move
    // another. The left correction moves the lines by columns from their place inside the label.
    const QList<QRectF> outlines = stock.outlines();
    const TypeFace type{kSheetFont, 8, false, sheet.italic};
    const double column = surface.measure().grid(type).column / surface.measure().unitsPerInch();
    // A centred line is centred between the lines' start and as far inside the label's other edge.
    const int halfWidth = static_cast<int>((stock.label.width() - 2 * kInsetInches) / column / 2);
    // Lines 1 to 3 through the last one typed; a line too wide goes on after a blank onto a free one.
    QList<LabelLine> typed;
    for (int i = 0; i < kLabelLines; ++i)
        typed.append({i < sheet.lines.size() ? sheet.lines[i] : QString()});
    while (!typed.isEmpty() && typed.last().text.isEmpty())
        typed.removeLast();
    // On another stock the lines are centred on each label, and the top correction moves them by
    // rows from there. The lines are fitted to each label's own box from their place in it; the
    // correction then moves them, and the box with them.
    const bool returnStock = stock.memoryKey == returnAddressStock().memoryKey;
    for (const QRectF& outline : outlines) {
        const double inside = outline.left() + kInsetInches - kGridInsetInches;
        const int placed = 1 + static_cast<int>(std::ceil(inside / column - 1e-9));
        const int tab = placed + sheet.correction.left;
        const LabelRoom room{type, roomInFrame(outline, placed, type, surface.measure()), kLabelLines};
        const QStringList lines = fitLabel(typed, room, surface.measure()).lines;
        double moved = rowsMoved * row;
        if (returnStock) {
            surface.homeAt(firstRow + outline.top() - stock.first.y());
        } else {
            const double centred = outline.top() - kGridInsetInches + (outline.height() - kLabelLines * row) / 2;
            const double home = std::max(0.0, centred + top * row);
            surface.homeAt(home);
            moved = home - centred;
        }
        // A tab to column 0 or less prints at column 1: the lines move only that far.
        surface.setFrame(movedFrame(outline, {(std::max(tab, 1) - placed) * column, moved}));
        for (int i = 0; i < kLabelLines; ++i) {
            const QString line = i < lines.size() ? lines[i] : QString();
            QList<PrintItem> items{PrintItem::tab(tab)};
            if (sheet.centred)
                items.append(PrintItem::spaces(centringSpaces(line.size(), halfWidth)));
            items.append(PrintItem::textItem(line));
            surface.printLine(items);
        }
    }
}

}  // namespace pw
