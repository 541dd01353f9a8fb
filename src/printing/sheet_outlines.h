#pragma once

#include <QList>
#include <QRectF>

namespace pw {

// Where the stock lies on the printed page, in inches from the paper's top-left corner, so that a
// preview can draw it under the text. The jobs place text by columns and rows from a printable
// area that starts 1/4 inch from the paper's top and left edges.

// The 30 labels of an Avery 5160 sheet, 3 across and 10 down, on Letter portrait.
QList<QRectF> labelSheetOutlines();
// The 80 labels of an Avery 5167 sheet, 4 across and 20 down, on Letter portrait.
QList<QRectF> returnAddressOutlines();
// The height of the landscape Letter page the envelope layouts are made for, in inches.
inline constexpr double kLandscapeLetterInches = 8.5;

// An envelope of size code 1-6 on a landscape page `pageHeight` inches high: fed with its address
// side up against the page's left and bottom edges, as the envelope layouts expect; empty for
// another code.
QRectF envelopeOutline(int sizeCode, double pageHeight = kLandscapeLetterInches);

}  // namespace pw
