#pragma once

#include "platform/platform.h"
#include "printing/margin_settings.h"
#include "printing/sheet_outlines.h"

#include <QStringList>

#include <optional>

namespace pw {

class PrintSurface;

// What the return-address action says before each page: which stock to load.
Message returnAddressStockMessage();

// Why the typed lines cannot go on return-address labels: nothing in lines 1-3 (the main window
// then switches to return-address mode), or something in lines 4-5 (the focus goes to line 4).
enum class ReturnLinesProblem { None, NoLines, TooManyLines };
ReturnLinesProblem returnLinesProblem(const QStringList& lines);
Message returnLinesMessage(ReturnLinesProblem problem);

// The question after each printed run, with Yes, No and Cancel: Yes prints another page.
Message anotherReturnPageQuestion();

// One sheet of return-address labels, each carrying lines 1 to 3.
struct ReturnAddressSheet final {
    QStringList lines;  // lines 1 to 3
    bool centred = false;
    bool italic = false;
    MarginPair correction;  // the "RETURNAD" pair; on the 80-label sheet only the sign of top counts
    const LabelStock* stock = nullptr;  // the 80-label sheet unless another is named
};

// Prints the sheet on the current page in Microsoft Sans Serif 8, each label from its own place on
// the rows of the stock; the print action ends the job.
void printReturnAddressPage(PrintSurface& surface, const ReturnAddressSheet& sheet);

}  // namespace pw
