#include "printing/sheet_outlines.h"

#include "printing/print_surface.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pw {
using namespace Qt::StringLiterals;
namespace {

QList<QRectF> grid(int across, int down, QPointF first, QSizeF label, QSizeF pitch)
{
    QList<QRectF> outlines;
    outlines.reserve(across * down);
    for (int row = 0; row < down; ++row) {
        for (int column = 0; column < across; ++column)
            outlines.append({QPointF(first.x() + column * pitch.width(), first.y() + row * pitch.height()), label});
    }
    return outlines;
}

}  // namespace

int LabelStock::labels() const
{
    int count = across * down;
    for (const LabelGrid& more : moreGrids)
        count += more.across * more.down;
    return count;
}

QList<QRectF> LabelStock::outlines() const
{
    QList<QRectF> outlines = grid(across, down, first, label, pitch);
    if (moreGrids.isEmpty())
        return outlines;
    for (const LabelGrid& more : moreGrids)
        outlines += grid(more.across, more.down, more.first, label, more.pitch);
    // Across then down over the whole sheet, whichever grid a label belongs to; labels whose tops
    // are within a hundredth of an inch are on one row.
    std::stable_sort(outlines.begin(), outlines.end(), [](const QRectF& a, const QRectF& b) {
        if (std::abs(a.top() - b.top()) > 0.01)
            return a.top() < b.top();
        return a.left() < b.left();
    });
    return outlines;
}

bool LabelStock::isLetter() const
{
    return std::abs(page.width() - kLetterInches.width()) < 0.01
           && std::abs(page.height() - kLetterInches.height()) < 0.01;
}

const QList<LabelStock>& labelStocks()
{
    // Inches from the paper's corner to the first label, label size, pitch across and down. Each
    // sheet's margins and pitches add up to 8 1/2 by 11 inches: the 30-label sheet 3/16 in at the
    // sides and 1/2 in at top and bottom; the two-across sheets 5/32 in at the sides with a 3/16 in
    // gutter, and 1/2 in at top and bottom but for the 14-label sheet's 5/6 in.
    constexpr double kSide = 0.15625;  // the two-across sheets' side margin and pitch across
    constexpr double kAcross = 4.1875;
    static const QList<LabelStock> all = {
        {u"5160"_s, u"5160: 30 labels, 2 5/8 x 1 in"_s, u"Sheet30"_s, 3, 10, {0.1875, 0.5}, {2.625, 1.0}, {2.75, 1.0}, kLetterInches, {}, {}},
        {u"5161"_s, u"5161: 20 labels, 4 x 1 in"_s, u"Sheet5161"_s, 2, 10, {kSide, 0.5}, {4.0, 1.0}, {kAcross, 1.0}, kLetterInches, {}, {}},
        {u"5162"_s, u"5162: 14 labels, 4 x 1 1/3 in"_s, u"Sheet5162"_s, 2, 7, {kSide, 5 / 6.}, {4, 4 / 3.}, {kAcross, 4 / 3.}, kLetterInches, {}, {}},
        {u"5163"_s, u"5163: 10 labels, 4 x 2 in"_s, u"Sheet5163"_s, 2, 5, {kSide, 0.5}, {4.0, 2.0}, {kAcross, 2.0}, kLetterInches, {}, {}},
        {u"5164"_s, u"5164: 6 labels, 4 x 3 1/3 in"_s, u"Sheet5164"_s, 2, 3, {kSide, 0.5}, {4, 10 / 3.}, {kAcross, 10 / 3.}, kLetterInches, {}, {}},
    };
    return all;
}

void setStockPaper(PrintSurface& surface, const LabelStock& stock)
{
    if (stock.isLetter())
        surface.setPaperSize(PaperSize::Letter);
    else
        surface.setPaperInches(stock.page);
}

const LabelStock* labelStockNamed(QStringView name)
{
    for (const LabelStock& stock : labelStocks()) {
        if (stock.name == name)
            return &stock;
    }
    return nullptr;
}

QList<QRectF> labelSheetOutlines()
{
    return labelStocks().front().outlines();
}

const LabelStock& returnAddressStock()
{
    static const LabelStock stock{u"5167"_s, u"5167: 80 labels, 1 3/4 x 1/2 in"_s, u"Sheet5167"_s, 4, 20, {0.3, 0.5},
                                  {1.75, 0.5}, {2.05, 0.5}, kLetterInches, {}, {}};
    return stock;
}

QList<QRectF> returnAddressOutlines()
{
    return returnAddressStock().outlines();
}

QRectF envelopeOutline(int sizeCode, double pageHeight)
{
    // Width and height of each size, landscape, in the order of the envelope list.
    static constexpr std::array<QSizeF, 6> kSizes = {{
        {9.5, 4.125}, {6.5, 3.625}, {5.75, 4.375}, {7.25, 5.25}, {8.125, 5.5}, {9.5, 6.0},
    }};
    if (sizeCode < 1 || sizeCode > 6)
        return {};
    const QSizeF size = kSizes[sizeCode - 1];
    return {QPointF(0, pageHeight - size.height()), size};
}

}  // namespace pw
