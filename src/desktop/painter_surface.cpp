#include "desktop/painter_surface.h"

#include "printing/pdf_actual_size.h"

#include <QFont>
#include <QMarginsF>
#include <QPageSize>
#include <QPen>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace pw {
namespace {

// Paper listed within this of a size, either way, is that size.
constexpr double kWithinMillimetres = 1.0;

}  // namespace

PainterSurface::PainterSurface(QPrinter& printer) : printer_(printer), measure_(printer) {}

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

bool PainterSurface::takesPaper(QSizeF inches) const
{
    return paperFor(printer_, inches).has_value();
}

void PainterSurface::setPaperInches(QSizeF inches)
{
    if (const std::optional<QPageSize> paper = paperFor(printer_, inches))
        printer_.setPageSize(*paper);
}

QString PainterSurface::deviceName() const
{
    return printer_.printerName();
}

// What the print dialog's "Print to File" (or a command's -o) leaves behind: a PDF writer with a
// file name. A printer queue, even one that makes PDF files, is paper as far as labels go.
bool PainterSurface::writesFile() const
{
    return printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty();
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
    // The whole page is aimed where this printer puts it right; the painter keeps it for every page.
    const double dpi = printer_.resolution();
    const QPointF scale = calibration_.scale;
    painter_.setTransform(QTransform(1 / scale.x(), 0, 0, 1 / scale.y(), -calibration_.offset.x() * dpi / scale.x(),
                                     -calibration_.offset.y() * dpi / scale.y()));
    drawOutlines(true);
    return true;
}

// The grid starts 1/4 inch in, measured from the paper itself, so a printer that reports other
// margins (or none, as a PDF queue) prints every line on the same spot of the sheet; what a printer
// cannot reach it clips.
double PainterSurface::gridInset() const
{
    return kGridInsetInches * printer_.resolution();
}

void PainterSurface::drawOutlines(bool firstPage)
{
    if (outlines_.isEmpty() && overrun_.isEmpty())
        return;
    const double dpi = printer_.resolution();
    painter_.save();
    // How to feed the paper, in the top margin where nothing of the job prints.
    if (preview_ && !note_.isEmpty()) {
        QFont font = painter_.font();
        font.setPointSizeF(8);
        painter_.setFont(font);
        painter_.setPen(QColor(40, 90, 160));
        const double width = printer_.pageLayout().fullRect(QPageLayout::Inch).width();
        painter_.drawText(QRectF(dpi / 8, dpi / 16, (width - 0.25) * dpi, dpi * 3 / 8), Qt::TextWordWrap, note_);
    }
    // Only the sheet in the printer has used labels; the sheets after it are new.
    if (firstPage) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(QColor(0, 0, 0, 28));
        for (const QRectF& inches : used_)
            painter_.drawRoundedRect(QRectF(inches.topLeft() * dpi, inches.size() * dpi), dpi / 16, dpi / 16);
    }
    painter_.setPen(QPen(QColor(170, 190, 215), dpi / 96.0));
    painter_.setBrush(Qt::NoBrush);
    for (const QRectF& inches : outlines_)
        painter_.drawRoundedRect(QRectF(inches.topLeft() * dpi, inches.size() * dpi), dpi / 16, dpi / 16);
    painter_.setPen(QPen(QColor(220, 40, 40), dpi / 32.0));
    for (const QRectF& inches : overrun_)
        painter_.drawRoundedRect(QRectF(inches.topLeft() * dpi, inches.size() * dpi), dpi / 16, dpi / 16);
    painter_.restore();
}

double PainterSurface::paperHeight() const
{
    return printer_.pageLayout().fullRectPixels(printer_.resolution()).height();
}

bool PainterSurface::feedPage()
{
    if (!printer_.newPage()) {
        failure_ = printerFailure(QStringLiteral("The printer cannot start a new page"));
        return false;
    }
    drawOutlines(false);
    return true;
}

void PainterSurface::place(const QString& text, const GridPlace& at)
{
    painter_.setFont(measure_.font(at.type));
    painter_.drawText(QPointF(gridInset() + at.x, gridInset() + at.baseline), text.left(at.shown));
}

void PainterSurface::print(const QList<PrintItem>& items, bool endLine)
{
    if (!beginJob())
        return;
    cursor_.print(items, endLine, type_, *this);
}

double PainterSurface::paperHeightInches() const
{
    return printer_.pageLayout().fullRect(QPageLayout::Inch).height();
}

void PainterSurface::homeAt(double inchesDown)
{
    cursor_.home(inchesDown);
}

void PainterSurface::newPage()
{
    cursor_.newPage();
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
    if (!beginJob() || !cursor_.mark(*this))
        return;
    const double dpi = printer_.resolution();
    painter_.save();
    painter_.setPen(QPen(Qt::black, dpi / 150.0));
    painter_.drawLine(fromInches * dpi, toInches * dpi);
    painter_.restore();
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
    note_.clear();
    cursor_.reset();
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

std::optional<QPageSize> paperFor(const QPrinter& printer, QSizeF inches)
{
    const QSizeF portrait(std::min(inches.width(), inches.height()), std::max(inches.width(), inches.height()));
    const QPageSize exact(portrait, QPageSize::Inch, {}, QPageSize::ExactMatch);
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return exact;
    const QPrinterInfo info(printer);
    const QSizeF wanted = exact.size(QPageSize::Millimeter);
    for (const QPageSize& listed : info.supportedPageSizes()) {
        const QSizeF size = listed.size(QPageSize::Millimeter);
        for (const QSizeF& way : {size, size.transposed()}) {
            if (std::abs(way.width() - wanted.width()) <= kWithinMillimetres
                && std::abs(way.height() - wanted.height()) <= kWithinMillimetres)
                return listed;
        }
    }
    if (info.supportsCustomPageSizes())
        return exact;
    return std::nullopt;
}

bool takesSheetPaper(QPrinter& printer, QSizeF inches)
{
    if (printer.outputFormat() != QPrinter::NativeFormat)
        return true;
    const QList<QPageSize> sizes = QPrinterInfo(printer).supportedPageSizes();
    const QSizeF wanted = inches * 25.4;
    return sizes.isEmpty() || std::any_of(sizes.begin(), sizes.end(), [&](const QPageSize& size) {
               const QSizeF mm = size.size(QPageSize::Millimeter);
               return std::abs(mm.width() - wanted.width()) <= kWithinMillimetres
                      && std::abs(mm.height() - wanted.height()) <= kWithinMillimetres;
           });
}

std::pair<QString, QString> sheetPaperNames(QSizeF inches)
{
    if (std::abs(inches.width() - 8.5) < 0.01 && std::abs(inches.height() - 11) < 0.01)
        return {QStringLiteral("US Letter"), QStringLiteral("Letter")};
    return {QStringLiteral("A4"), QStringLiteral("A4")};
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
