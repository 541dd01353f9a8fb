#pragma once

#include "platform/platform.h"
#include "printing/label_sheet.h"
#include "printing/margin_settings.h"
#include "printing/sheet_outlines.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pw {

class PrintSurface;

// The label positions typed on the main window, kept from one entry to the next.
struct PositionRange final {
    QString text;   // the entry after cleaning, as shown after "Label Position "
    QString start;  // first position to print
    QString end;    // last position, for a range
    qint16 count = 0;
};

enum class RangeParse { Ok, EndBeforeStart, TooLong };

// Sets start, end and count from the range text by its length, not by splitting at the dash:
// 1 or 2 characters are one position, 3 are "s-e", 4 "s-ee", 5 "ss-ee". An empty text sets only the
// start. An end before the start, or a text of six or more characters, sets nothing.
RangeParse parseRange(PositionRange& range);

// Asks for label positions until an answer passes the checks, telling the user what is wrong with
// each one that does not; Cancel gives an empty range text. The range holds the accepted answer.
// The box offers `offered`, the first free label of the sheet in the printer.
void askLabelPositions(Platform& platform, PositionRange& range, int offered = 1);

// The message of the first check an accepted entry fails, or none. Parses the range on the way.
std::optional<Message> positionEntryProblem(PositionRange& range);

// Takes the start afresh from the range text and parses it again, as every print does; the
// message when the range does not parse.
std::optional<Message> reparsePositionRange(PositionRange& range);

enum class Media { None, Labels, Envelope };
enum class Alignment { None, Left, Centred };

// The first reason the typed lines cannot be printed yet: no text, no media, no envelope size, no
// alignment; none when they can.
std::optional<Message> onTheFlyFormProblem(const QStringList& lines, Media media, int envelopeSizeCode,
                                           Alignment alignment);

// One print job of typed labels.
struct OnTheFlyLabels final {
    QStringList lines;  // the five lines, Line 1 first
    bool centred = false;
    bool bold = false;
    bool italic = false;
    bool portrait = true;
    double start = 0;  // first label position
    int count = 0;
    // Positions picked on the sheet's picture, printed in this order in place of start and count.
    QList<int> positions;
    LabelPlace fallback;     // the place for a position that has none of its own
    MarginPair correction;   // the "ONTHEFLY" pair
    // Another stock than the 30-label sheet, whose positions go by its own labels; none for that sheet.
    const LabelStock* stock = nullptr;
};

// Prints the labels on the current page from `start` on, each measured from the top of the page.
// The job does not end here: the print action ends it.
void printOnTheFlyLabels(PrintSurface& surface, const OnTheFlyLabels& labels);

}  // namespace pw
