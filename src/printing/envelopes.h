#pragma once

#include "printing/label_sheet.h"
#include "printing/margin_settings.h"

#include <QStringList>

#include <optional>

namespace pw {

class PrintSurface;

// The six envelope sizes of the main window's list, in list order: size code 1 is the first entry.
inline constexpr int kEnvelopeSizeCount = 6;
QStringList envelopeSizeNames();
// The print column and row where the address goes on an envelope of size `code` (1-6).
std::optional<LabelPlace> envelopePlace(int code);

// One envelope's print job.
struct EnvelopeJob final {
    QStringList lines;  // the five lines, Line 1 first
    bool centred = false;
    bool bold = false;       // the envelope Bold box
    bool largeFont = false;  // Trebuchet MS 14 italic instead of Verdana 11
    LabelPlace place;        // the size's print column and row
    MarginPair correction;   // the "ENVELOPE" pair
    int sizeCode = 0;        // 1-6: the envelope the lines must fit; none: no frame
};

// Prints one envelope in landscape: a blank line, the rows down to the address in the envelope
// font, then the five lines, all measured from the page's bottom edge, where the envelope lies. The font, size and printer-model corrections are applied here; the
// job does not end here: the print action ends it.
void printEnvelope(PrintSurface& surface, const EnvelopeJob& envelope);

}  // namespace pw
