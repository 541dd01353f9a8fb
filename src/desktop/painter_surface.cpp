#include "desktop/painter_surface.h"

#include "printing/font_grid.h"
#include "printing/pdf_actual_size.h"

#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageSize>
#include <QPen>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace pw {
namespace {

// A tab to the column the position is already on stays on this row despite rounding.
constexpr double kTolerance = 0.01;
// The layouts were made for a printable area that starts 1/4 inch from the paper's top and left
// edges, as a typical office printer's does. The grid starts there on every printer, measured from
// the paper itself, so a printer that reports other margins (or none, as a PDF queue) prints every
// line on the same spot of the sheet; what a printer cannot reach it clips.
constexpr double kGridInsetInches = 0.25;

}  // namespace

PainterSurface::PainterSurface(QPrinter& printer) : printer_(printer) {}

PainterSurface::~PainterSurface()
{
    abandonJob();
}

void PainterSurface::setOrientation(PageOrientation orientation)
{
    printer_.setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait);
}

void PainterSurface::setPaperSize(PaperSize size)
{
    printer_.setPageSize(QPageSize(size == PaperSize::Envelope10 ? QPageSize::Comm10E : QPageSize::Letter));
}

QString PainterSurface::deviceName() const
{
    return printer_.printerName();
}

QFont PainterSurface::drawingFont() const
{
    const std::optional<FontGrid> known = fontGrid(family_, bold_, italic_);
    QFont font(known ? known->standIn : family_);
    font.setPointSizeF(size_);
    font.setBold(bold_);
    font.setItalic(italic_);
    return font;
}

PainterSurface::Grid PainterSurface::grid() const
{
    const double pixelsPerEm = size_ * printer_.resolution() / 72.0;
    if (const std::optional<FontGrid> known = fontGrid(family_, bold_, italic_))
        return {known->averageWidth * pixelsPerEm, known->lineHeight * pixelsPerEm, known->ascent * pixelsPerEm};
    // A family the layouts do not use is measured as installed.
    const QFontMetricsF metrics(drawingFont(), &printer_);
    return {metrics.averageCharWidth(), metrics.lineSpacing(), metrics.ascent()};
}

bool PainterSurface::beginJob()
{
    if (failure_)
        return false;
    if (painter_.isActive())
        return true;
    printer_.setFullPage(true);
    if (!painter_.begin(&printer_)) {
        failure_ = printerFailure(QStringLiteral("The printer cannot start the job"));
        return false;
    }
    pageUsed_ = false;
    drawOutlines();
    return true;
}

double PainterSurface::gridInset() const
{
    return kGridInsetInches * printer_.resolution();
}

void PainterSurface::drawOutlines()
{
    if (outlines_.isEmpty() && overrun_.isEmpty())
        return;
    const double dpi = printer_.resolution();
    painter_.save();
    painter_.setPen(QPen(QColor(170, 190, 215), dpi / 96.0));
    painter_.setBrush(Qt::NoBrush);
    for (const QRectF& inches : outlines_)
        painter_.drawRoundedRect(QRectF(inches.topLeft() * dpi, inches.size() * dpi), dpi / 16, dpi / 16);
    painter_.setPen(QPen(QColor(220, 40, 40), dpi / 32.0));
    for (const QRectF& inches : overrun_)
        painter_.drawRoundedRect(QRectF(inches.topLeft() * dpi, inches.size() * dpi), dpi / 16, dpi / 16);
    painter_.restore();
}

bool PainterSurface::feedPage()
{
    if (!printer_.newPage()) {
        failure_ = printerFailure(QStringLiteral("The printer cannot start a new page"));
        return false;
    }
    pageUsed_ = false;
    drawOutlines();
    return true;
}

bool PainterSurface::takeWantedPage()
{
    // An asked-for page is fed only now, and not at all while the current page is still blank.
    if (!pageWanted_)
        return true;
    pageWanted_ = false;
    return !pageUsed_ || feedPage();
}

void PainterSurface::drawText(const QString& text)
{
    if (!takeWantedPage())
        return;
    // Rows that ran past the page have used it up, blank or not.
    const Grid g = grid();
    // The grid ends 1/4 inch above the paper's bottom edge, as it starts 1/4 inch below the top.
    const double pageHeight = printer_.pageLayout().fullRectPixels(printer_.resolution()).height() - 2 * gridInset();
    if (y_ > 0 && y_ + g.row > pageHeight + kTolerance) {
        if (!feedPage())
            return;
        y_ = 0;
    }
    const QFont font = drawingFont();
    painter_.setFont(font);
    painter_.drawText(QPointF(gridInset() + x_, gridInset() + y_ + g.ascent), text);
    pageUsed_ = true;
    x_ += QFontMetricsF(font, &printer_).horizontalAdvance(text);
}

void PainterSurface::print(const QList<PrintItem>& items, bool endLine)
{
    if (!beginJob())
        return;
    for (const PrintItem& item : items) {
        const Grid g = grid();
        switch (item.kind) {
        case PrintItem::Kind::Tab: {
            const double target = (std::max(item.count, 1) - 1) * g.column;
            if (x_ > target + kTolerance)
                y_ += g.row;
            x_ = target;
            break;
        }
        case PrintItem::Kind::Spaces:
            // A space is one column wide, so that centring counts in the same columns as the tabs.
            x_ += std::max(item.count, 0) * g.column;
            break;
        case PrintItem::Kind::Text:
            if (!item.text.isEmpty())
                drawText(item.text);
            break;
        }
    }
    if (endLine) {
        y_ += grid().row;
        x_ = 0;
    }
}

void PainterSurface::home()
{
    x_ = 0;
    y_ = 0;
}

void PainterSurface::newPage()
{
    pageWanted_ = true;
    home();
}

Status PainterSurface::endJob()
{
    const bool printed = painter_.isActive();
    if (printed && (!painter_.end() || printer_.printerState() == QPrinter::Error) && !failure_)
        failure_ = printerFailure(QStringLiteral("The printer did not take the job"));
    // A PDF file is printed later by whatever viewer opens it: it must say "actual size".
    if (printed && !failure_ && !preview_ && printer_.outputFormat() == QPrinter::PdfFormat
        && !printer_.outputFileName().isEmpty()) {
        if (auto marked = declareActualSize(printer_.outputFileName()); !marked)
            failure_ = marked.error();
    }
    const std::optional<FileError> failure = failure_;
    resetJob();
    if (failure)
        return std::unexpected(*failure);
    return {};
}

void PainterSurface::drawLine(QPointF fromInches, QPointF toInches)
{
    if (!beginJob())
        return;
    if (!takeWantedPage())
        return;
    const double dpi = printer_.resolution();
    painter_.save();
    painter_.setPen(QPen(Qt::black, dpi / 150.0));
    painter_.drawLine(fromInches * dpi, toInches * dpi);
    painter_.restore();
    pageUsed_ = true;
}

void PainterSurface::abandonJob()
{
    if (painter_.isActive()) {
        printer_.abort();
        painter_.end();
    }
    resetJob();
}

void PainterSurface::resetJob()
{
    failure_.reset();
    pageWanted_ = false;
    pageUsed_ = false;
    home();
}

void setUpPdfOutput(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
}

bool takesLetterPaper(QPrinter& printer)
{
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return true;
    const QList<QPageSize> sizes = QPrinterInfo(printer).supportedPageSizes();
    return sizes.isEmpty() || std::any_of(sizes.begin(), sizes.end(), [](const QPageSize& size) {
               return size.id() == QPageSize::Letter;
           });
}

void printAtActualSize(QPrinter& printer)
{
    // The print engine's key for CUPS job options, as name and value pairs.
    constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.printEngine())
        return;
    QStringList options = printer.printEngine()->property(kCupsOptions).toStringList();
    for (const char* name : {"fit-to-page", "print-scaling"}) {
        const qsizetype at = options.indexOf(QString::fromLatin1(name));
        if (at >= 0 && at % 2 == 0)
            options.remove(at, 2);
    }
    options << QStringLiteral("fit-to-page") << QStringLiteral("false") << QStringLiteral("print-scaling")
            << QStringLiteral("none");
    printer.printEngine()->setProperty(kCupsOptions, options);
}

}  // namespace pw
