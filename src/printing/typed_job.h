#pragma once

#include "platform/platform.h"
#include "printing/label_sheet.h"
#include "printing/margin_settings.h"
#include "printing/overflow.h"
#include "printing/sheet_outlines.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace pw {

class PrintSurface;
class TextMeasure;

// What the typed lines are printed on.
enum class TypedStock { Labels, Envelope, ReturnAddresses };

// Everything a job of typed lines depends on, read from the main window's controls or from the
// command line before the job is built, so that both print the same job for the same choices.
struct TypedJobRequest final {
    TypedStock stock = TypedStock::Labels;
    QStringList lines;  // lines 1 to 5, Line 1 first; the return-address sheet takes the first three
    bool centred = false;
    // Labels: the label Bold and Italic boxes. Envelope: the envelope Bold box. Return addresses:
    // italic only.
    bool bold = false;
    bool italic = false;
    bool largeFont = false;  // envelope only
    int envelopeSize = 0;    // 1-6
    // Envelope: the printer takes paper of the envelope's own size; the return address, if any.
    bool envelopePaper = false;
    QStringList returnAddress;
    bool portrait = true;    // labels only
    // Labels: `count` positions from `start` on, or when `positions` is not empty, those positions
    // in their order.
    double start = 0;
    int count = 0;
    QList<int> positions;
    // Labels: the place of a position that has none of its own. Envelope: where the address goes.
    LabelPlace place;
    // Labels and return addresses: the sheet, when it is not the usual one (the 30-label sheet, the
    // 80-label return-address sheet).
    const LabelStock* sheet = nullptr;
    MarginSettings corrections;  // the stock's own pair is taken
    QString deviceName;          // the printer the places and overflows are taken for
};

// A job ready for the print action or the preview.
struct TypedJob final {
    std::function<void(PrintSurface&)> run;  // drives the surface; touches nothing else
    QList<QRectF> outlines;                  // where the stock lies on the page
    QList<int> positions;                    // the label positions it prints on
    QList<Overflow> overflows;               // lines wider than their label or envelope
    PrintDialogRequest dialog;               // what the print dialog must see to
    std::optional<Message> refusal;          // why it must not print at all: lines below the sheet
    QString offEnvelope;                     // why the address would leave its envelope, in one sentence
    QString shiftNote;                       // a correction that moves text onto other labels
};

// The job for a request that passed the form's checks, its lines measured with `measure`: the
// printer's own.
TypedJob buildTypedJob(const TypedJobRequest& request, const TextMeasure& measure);

// The outlines of the labels or envelope that lines overrun, once each, for the preview to mark.
QList<QRectF> overrunOutlines(const QList<Overflow>& overflows);

}  // namespace pw
