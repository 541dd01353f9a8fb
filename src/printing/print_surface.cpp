#include "printing/print_surface.h"

namespace pw {

void printBlankLines(PrintSurface& surface, int count)
{
    for (int i = 0; i < count; ++i)
        surface.print({});
}

FileError printerFailure(const QString& description)
{
    constexpr int kErrPrinter = 482;
    return {kErrPrinter, description};
}

}  // namespace pw
