#pragma once

#include "printing/print_surface.h"

#include <QFont>
#include <QPainter>
#include <QRectF>

#include <optional>

class QPrinter;

namespace pw {

// The print surface on a real printer or a PDF writer. Columns, rows and baselines come from the
// grid of the font the layout asks for, so text lands where the layout's numbers put it whichever
// installed font draws the glyphs. The grid starts 1/4 inch from the paper's top and left edges on
// every printer, whatever margins its driver reports. A line that would start below the grid's
// area (the paper less 1/4 inch on every side) starts a new
// page; blank rows only move the position. A new page asked for is started only when text is
// placed on it, so a job that ends with a new page feeds no blank sheet.
class PainterSurface final : public PrintSurface {
public:
    explicit PainterSurface(QPrinter& printer);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    void setFontName(const QString& family) override { family_ = family; }
    void setFontSize(double points) override { size_ = points; }
    void setBold(bool on) override { bold_ = on; }
    void setItalic(bool on) override { italic_ = on; }
    void setOrientation(PageOrientation orientation) override;
    void setPaperSize(PaperSize size) override;
    QString deviceName() const override;
    void print(const QList<PrintItem>& items, bool endLine) override;
    void home() override;
    void newPage() override;
    Status endJob() override;
    void abandonJob() override;
    void drawLine(QPointF fromInches, QPointF toInches) override;

    // Makes this a preview's surface: where the stock lies on the paper, in inches, is drawn faintly
    // under the text of every page, and the labels that lines overrun in red. Never for paper.
    void showStockForPreview(const QList<QRectF>& inches, const QList<QRectF>& overrun)
    {
        preview_ = true;
        outlines_ = inches;
        overrun_ = overrun;
    }

private:
    struct Grid {
        double column;
        double row;
        double ascent;
    };
    // The current font's grid and stand-in, in device pixels.
    Grid grid() const;
    QFont drawingFont() const;
    bool beginJob();
    bool feedPage();
    // Feeds the page newPage() asked for, once something is to be placed; false on a failure.
    bool takeWantedPage();
    void drawOutlines();
    // The grid's origin from the paper's top and left edges, in device pixels.
    double gridInset() const;
    void drawText(const QString& text);
    void resetJob();

    QPrinter& printer_;
    QPainter painter_;
    QString family_ = QStringLiteral("Courier New");
    double size_ = 10;
    bool bold_ = false;
    bool italic_ = false;
    // The current position in device pixels from the grid's top-left corner.
    double x_ = 0;
    double y_ = 0;
    bool pageWanted_ = false;  // newPage() was asked for and no text has been placed since
    bool pageUsed_ = false;    // text has been placed on the printer's current page
    std::optional<FileError> failure_;
    QList<QRectF> outlines_;
    QList<QRectF> overrun_;
    bool preview_ = false;
};

// Makes `printer` write a letter-size PDF file whose printable area starts 0.25 inch in from every
// edge, as a typical office printer reports it.
void setUpPdfOutput(QPrinter& printer, const QString& path);

// False for a printer that lists the paper it takes and does not list US Letter. PDF output takes
// any paper.
bool takesLetterPaper(QPrinter& printer);

// Asks the print system not to fit the page to the paper: labels are placed for the page as it is.
void printAtActualSize(QPrinter& printer);

}  // namespace pw
