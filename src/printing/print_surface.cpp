#include "printing/print_surface.h"

namespace pw {

void PrintSurface::printLine(const QList<PrintItem>& items)
{
    print(items, true);
}

void PrintSurface::drawLine(QPointF, QPointF) {}

void PrintSurface::setCalibration(const PrinterCalibration&) {}

bool PrintSurface::takesPaper(QSizeF) const
{
    return false;
}

void PrintSurface::setPaperInches(QSizeF) {}

void PrintSurface::showNote(const QString&) {}

void printBlankLines(PrintSurface& surface, int count)
{
    for (int i = 0; i < count; ++i)
        surface.printLine({});
}

FileError printerFailure(const QString& description)
{
    constexpr int kErrPrinter = 482;
    return {kErrPrinter, description};
}

}  // namespace pw
