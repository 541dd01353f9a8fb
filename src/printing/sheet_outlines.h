#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringView>

namespace pw {

class PrintSurface;

// Where the stock lies on the printed page, in inches from the paper's top-left corner, so that a
// preview can draw it under the text. The jobs place text by columns and rows from a printable
// area that starts 1/4 inch from the paper's top and left edges.

// Labels in rows and columns: the corner of the first label and the pitch from one to the next.
struct LabelGrid final {
    int across = 0;
    int down = 0;
    QPointF first;
    QSizeF pitch;
    bool operator==(const LabelGrid&) const = default;
};

inline constexpr QSizeF kLetterInches{8.5, 11};
inline constexpr QSizeF kA4Inches{210 / 25.4, 297 / 25.4};

// A sheet of equal labels as the makers publish it, numbered left to right along each row, rows top
// to bottom: one grid of labels, or several side by side or one above the other.
struct LabelStock final {
    QString name;       // "5160", as the command line and the list window name it
    QString caption;    // what the list window shows for it
    QString memoryKey;  // the key of its sheet memory
    int across = 0;     // the first grid
    int down = 0;
    QPointF first;
    QSizeF label;
    QSizeF pitch;
    QSizeF page = kLetterInches;
    QList<LabelGrid> moreGrids;  // the sheet's other grids, if any
    QString part;                // the maker's number, when it is not the name

    int labels() const;
    // Its labels in their order.
    QList<QRectF> outlines() const;
    bool isLetter() const;
    bool operator==(const LabelStock& other) const { return name == other.name; }
};

// Asks the printer for the stock's paper: US Letter by its code, any other by its size.
void setStockPaper(PrintSurface& surface, const LabelStock& stock);

// The stocks list labels print on, the 30-label sheet first: it is the default and the only one
// labels typed on the main window take.
const QList<LabelStock>& labelStocks();
// The stock of that name; none for another.
const LabelStock* labelStockNamed(QStringView name);

// The 30 labels of a 5160 sheet, 3 across and 10 down, on Letter portrait.
QList<QRectF> labelSheetOutlines();
// The 80-label sheet of small return-address labels, 4 across and 20 down.
const LabelStock& returnAddressStock();
// The 80 labels of a 5167 sheet, 4 across and 20 down, on Letter portrait.
QList<QRectF> returnAddressOutlines();
// The height of the landscape Letter page the envelope layouts are made for, in inches.
inline constexpr double kLandscapeLetterInches = 8.5;

// An envelope of size code 1-6 on a landscape page `pageHeight` inches high: fed with its address
// side up against the page's left and bottom edges, as the envelope layouts expect; empty for
// another code.
QRectF envelopeOutline(int sizeCode, double pageHeight = kLandscapeLetterInches);

}  // namespace pw
