#pragma once

#include "data/file_error.h"
#include "printing/calibration.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace pw {

class TextMeasure;

// One item of a print line: a tab to a column, a run of spaces, or text.
struct PrintItem final {
    enum class Kind { Tab, Spaces, Text };
    Kind kind = Kind::Text;
    int count = 0;  // the column of a tab, the number of spaces
    QString text;

    static PrintItem tab(int column) { return {Kind::Tab, column, {}}; }
    static PrintItem spaces(int count) { return {Kind::Spaces, count, {}}; }
    static PrintItem textItem(QString text) { return {Kind::Text, 0, std::move(text)}; }
    bool operator==(const PrintItem&) const = default;
};

// The platform's codes for orientation and paper size.
enum class PageOrientation { Portrait = 1, Landscape = 2 };
enum class PaperSize { Letter = 1, Envelope10 = 20 };

// The current printer as text: everything is placed in character columns and text rows of the
// current font, counted from the top-left corner of the printable area (column 1 of row 1).
// A column is the font's average character width, a row its line height.
//
// Output failures are kept, not thrown: after the first one the surface prints nothing more, and
// endJob() reports it. A job begins with the first output after the previous endJob().
class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    // Take effect for the text printed afterwards, including the width of columns and rows.
    virtual void setFontName(const QString& family) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool on) = 0;
    virtual void setItalic(bool on) = 0;
    virtual void setOrientation(PageOrientation orientation) = 0;
    virtual void setPaperSize(PaperSize size) = 0;
    virtual QString deviceName() const = 0;
    // Whether the printer takes paper `inches` wide and high (as it lies in the current orientation):
    // it lists a size within 1 mm of it, or takes any size. A surface that chooses no paper takes none.
    virtual bool takesPaper(QSizeF inches) const;
    // Asks for such paper, as the printer names it; the current page is then of that size.
    virtual void setPaperInches(QSizeF inches);
    // The current page's height in inches, as the paper lies in the current orientation.
    virtual double paperHeightInches() const = 0;
    // True when the jobs go into a file rather than onto paper: no label of a sheet is spent.
    virtual bool writesFile() const { return false; }

    // The label or envelope the texts that follow belong to, in inches from the paper's corner: a
    // text too wide for it is drawn smaller, down to 8 points, or cut at its right edge. An empty
    // frame, as every job starts with, leaves texts as they are.
    virtual void setFrame(const QRectF& inches) = 0;
    // How this surface measures the text it draws.
    virtual const TextMeasure& measure() const = 0;

    // Prints the items at the current position. A tab moves right to its column (below 1 means
    // column 1), or to that column of the next row when the position is already beyond it; spaces
    // skip that many columns (none for 0 or less); text prints however long. Ending the line moves
    // to column 1 of the next row.
    virtual void print(const QList<PrintItem>& items, bool endLine) = 0;
    // Prints the items and ends the line; with no items that prints a blank row.
    void printLine(const QList<PrintItem>& items);
    // Back to column 1, `inchesDown` below the top of the current page's grid (negative: above
    // it), where the next print line is row 1. A block placed from its own origin this way cannot be
    // moved by anything printed before it.
    virtual void homeAt(double inchesDown) = 0;
    // Back to the top-left corner of the current page.
    void home() { homeAt(0); }
    // Ends the current page; the next output goes to the top of a new one. A new page right before
    // the end of the job adds no blank page.
    virtual void newPage() = 0;
    // Hands the job to the printer; the result is the job's first failure, if any.
    virtual Status endJob() = 0;
    // Discards the job in progress.
    virtual void abandonJob() = 0;
    // A straight line between two points given in inches from the paper's top-left corner, for the
    // rulers and marks of the calibration sheet. A surface that draws no lines leaves it out.
    virtual void drawLine(QPointF fromInches, QPointF toInches);
    // A word for the person about to print, shown over a preview's pages and never printed: how to
    // feed the paper. A surface that shows no preview leaves it out.
    virtual void showNote(const QString& text);
    // The printer's own error, taken back from every page of the jobs that follow: each point is
    // drawn where this printer puts it on the paper where it belongs. A surface that is no paper
    // leaves it out.
    virtual void setCalibration(const PrinterCalibration& calibration);
};

// Prints `count` blank rows; none when count is 0 or less.
void printBlankLines(PrintSurface& surface, int count);

// The failure a surface reports when the printer cannot take the job.
FileError printerFailure(const QString& description);

}  // namespace pw
