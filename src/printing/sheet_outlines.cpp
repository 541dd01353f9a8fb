#include "printing/sheet_outlines.h"

#include <array>

namespace pw {
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

QList<QRectF> labelSheetOutlines()
{
    return grid(3, 10, {0.1875, 0.5}, {2.625, 1.0}, {2.75, 1.0});
}

QList<QRectF> returnAddressOutlines()
{
    return grid(4, 20, {0.3, 0.5}, {1.75, 0.5}, {2.05, 0.5});
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
