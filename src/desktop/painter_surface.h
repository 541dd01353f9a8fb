#pragma once

#include "desktop/font_measure.h"
#include "printing/grid_cursor.h"
#include "printing/print_surface.h"

#include <QPageSize>
#include <QPainter>
#include <QRectF>

#include <optional>

class QPrinter;

namespace pw {

// The print surface on a real printer or a PDF writer. Columns, rows and baselines come from the
// grid of the font the layout asks for, so text lands where the layout's numbers put it whichever
// installed font draws the glyphs; text advances by the width of the font that draws it. The grid
// starts 1/4 inch from the paper's top and left edges on every printer, whatever margins its driver
// reports; the grid cursor decides where each text goes and when a page is fed.
class PainterSurface final : public PrintSurface, private GridTarget {
public:
    explicit PainterSurface(QPrinter& printer);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    void setFontName(const QString& family) override { type_.family = family; }
    void setFontSize(double points) override { type_.points = points; }
    void setBold(bool on) override { type_.bold = on; }
    void setItalic(bool on) override { type_.italic = on; }
    void setOrientation(PageOrientation orientation) override;
    void setPaperSize(PaperSize size) override;
    QString deviceName() const override;
    bool takesPaper(QSizeF inches) const override;
    void setPaperInches(QSizeF inches) override;
    bool writesFile() const override;
    void print(const QList<PrintItem>& items, bool endLine) override;
    double paperHeightInches() const override;
    void homeAt(double inchesDown) override;
    void setFrame(const QRectF& inches) override { cursor_.setFrame(inches); }
    const TextMeasure& measure() const override { return measure_; }
    void newPage() override;
    Status endJob() override;
    void abandonJob() override;
    void drawLine(QPointF fromInches, QPointF toInches) override;
    void showNote(const QString& text) override { note_ = text; }
    void setCalibration(const PrinterCalibration& calibration) override { calibration_ = calibration; }

    // Makes this a preview's surface: where the stock lies on the paper, in inches, is drawn faintly
    // under the text of every page, the labels that lines overrun in red, and the labels already
    // used on the sheet in the printer shaded on the first page. Never for paper.
    void showStockForPreview(const QList<QRectF>& inches, const QList<QRectF>& overrun, const QList<QRectF>& used)
    {
        preview_ = true;
        outlines_ = inches;
        overrun_ = overrun;
        used_ = used;
    }

private:
    double paperHeight() const override;
    bool feedPage() override;
    void place(const QString& text, const GridPlace& at) override;
    bool beginJob();
    void drawOutlines(bool firstPage);
    // The grid's origin from the paper's top and left edges, in device pixels.
    double gridInset() const;
    void resetJob();

    QPrinter& printer_;
    QPainter painter_;
    TypeFace type_;
    FontMeasure measure_;
    GridCursor cursor_{measure_};
    std::optional<FileError> failure_;
    QList<QRectF> outlines_;
    QList<QRectF> overrun_;
    QList<QRectF> used_;
    QString note_;
    PrinterCalibration calibration_;
    bool preview_ = false;
};

// Makes `printer` write a letter-size PDF file whose printable area starts 0.25 inch in from every
// edge, as a typical office printer reports it.
void setUpPdfOutput(QPrinter& printer, const QString& path);

// The paper `printer` takes for a page `inches` wide and high, either way round: a size it lists
// within 1 mm of it, else that size when it takes any; none when it takes neither. A PDF file takes any.
std::optional<QPageSize> paperFor(const QPrinter& printer, QSizeF inches);

// False for a printer that lists the paper it takes and lists none within 1 mm of `inches` (US
// Letter unless said). PDF output takes any paper.
bool takesSheetPaper(QPrinter& printer, QSizeF inches = {8.5, 11});
// The words for a label sheet's paper a printer cannot take: "US Letter" and "Letter", or "A4" twice.
std::pair<QString, QString> sheetPaperNames(QSizeF inches);

// Asks the print system not to fit the page to the paper: labels are placed for the page as it is.
void printAtActualSize(QPrinter& printer);

}  // namespace pw
