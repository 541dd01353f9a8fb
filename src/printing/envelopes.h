#pragma once

#include "printing/label_sheet.h"
#include "printing/margin_settings.h"

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

namespace pw {

class Platform;
class PrintSurface;

// The six envelope sizes of the main window's list, in list order: size code 1 is the first entry.
inline constexpr int kEnvelopeSizeCount = 6;
QStringList envelopeSizeNames();
// The print column and row where the address goes on an envelope of size `code` (1-6).
std::optional<LabelPlace> envelopePlace(int code);
// The envelope of size `code` lying landscape, width and height in inches; empty for another code.
QSizeF envelopeInches(int code);

// The paper an envelope is printed on: a page of its own size, which the printer's driver feeds and
// places as that printer does; for a printer that takes no such paper, a landscape Letter page with
// the envelope against its left and bottom edges, or the #10 page the special models feed.
enum class EnvelopeFeed { OwnPage, Letter, Envelope10 };
EnvelopeFeed envelopeFeed(bool takesOwnPage, const QString& deviceName);
// Where the envelope of size `code` lies on the page of `feed`, in inches from the paper's corner.
QRectF envelopeOnPage(int code, EnvelopeFeed feed);
// The part of an envelope the address lines may take: all but a quarter inch at its right edge.
QRectF envelopeAddressFrame(const QRectF& outline);
// What the preview says when the envelope does not get a page of its own: which edges to feed it against.
QString envelopeFeedNote(EnvelopeFeed feed);

// One envelope's print job.
struct EnvelopeJob final {
    QStringList lines;  // the five lines, Line 1 first
    bool centred = false;
    bool bold = false;       // the envelope Bold box
    bool largeFont = false;  // Trebuchet MS 14 italic instead of Verdana 11
    LabelPlace place;        // the size's print column and row
    MarginPair correction;   // the "ENVELOPE" pair
    int sizeCode = 0;        // 1-6: the envelope the lines must fit; none: no frame
    QStringList returnAddress = {};  // up to three lines for the upper left corner; empty: none
};

// Prints one envelope in landscape on the paper the printer takes for it (see EnvelopeFeed): the
// return address in its corner, then a blank line, the rows down to the address in the envelope
// font and the five lines, all measured from the envelope's own edges and kept in the Postal
// Service's reading area. The font, size and printer-model corrections are applied here; the job
// does not end here: the print action ends it.
void printEnvelope(PrintSurface& surface, const EnvelopeJob& envelope);
// The same job laid out on the paper of `feed`, whatever the surface takes: the dry run's.
void printEnvelopeFed(PrintSurface& surface, const EnvelopeJob& envelope, EnvelopeFeed feed);

// The return address kept for envelopes, up to three lines: as last entered, else the lines of the
// last run of return-address labels.
QStringList envelopeReturnAddress(Platform& platform);
void setEnvelopeReturnAddress(Platform& platform, const QStringList& lines);
// Whether envelopes carry it: off until the person ticks it, then as last left.
bool printsEnvelopeReturnAddress(Platform& platform);
void setPrintsEnvelopeReturnAddress(Platform& platform, bool on);
// The lines of a run of return-address labels, offered for envelopes until one is entered there.
void rememberReturnLabelRun(Platform& platform, const QStringList& lines);

}  // namespace pw
