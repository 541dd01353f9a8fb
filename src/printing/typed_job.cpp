#include "printing/typed_job.h"

#include "printing/envelope_check.h"
#include "printing/envelopes.h"
#include "printing/onthefly_labels.h"
#include "printing/return_address.h"
#include "printing/sheet_fit.h"
#include "printing/sheet_outlines.h"
#include "printing/sheet_positions.h"

namespace pw {
namespace {

// Label sheets go through the print dialog on their own paper, at actual size; like envelopes, they
// may go to a PDF file instead.
PrintDialogRequest labelSheetDialog(const LabelStock* sheet)
{
    return {.printToFile = true, .labelSheet = true, .sheetPaper = sheet ? sheet->page : kLetterInches};
}

TypedJob labelsJob(const TypedJobRequest& request)
{
    OnTheFlyLabels labels;
    labels.lines = request.lines;
    labels.centred = request.centred;
    labels.bold = request.bold;
    labels.italic = request.italic;
    labels.portrait = request.portrait;
    labels.start = request.start;
    labels.count = request.count;
    labels.positions = request.positions;
    labels.fallback = request.place;
    labels.correction = request.corrections.pair(MarginKind::OnTheFly);
    labels.stock = request.sheet;
    const QList<QRectF> outlines = request.sheet ? request.sheet->outlines() : labelSheetOutlines();
    const QList<int> printed = !labels.positions.isEmpty()
                                   ? labels.positions
                                   : rangePositions(static_cast<int>(labels.start), labels.count,
                                                    static_cast<int>(outlines.size()));
    return {[labels](PrintSurface& surface) { printOnTheFlyLabels(surface, labels); },
            outlines,
            printed,
            {},
            labelSheetDialog(request.sheet),
            std::nullopt,
            {},
            {}};
}

EnvelopeJob envelopeOf(const TypedJobRequest& request)
{
    EnvelopeJob envelope;
    envelope.lines = request.lines;
    envelope.centred = request.centred;
    envelope.bold = request.bold;
    envelope.largeFont = request.largeFont;
    envelope.sizeCode = request.envelopeSize;
    envelope.place = request.place;
    envelope.correction = request.corrections.pair(MarginKind::Envelope);
    envelope.returnAddress = request.returnAddress;
    return envelope;
}

TypedJob envelopeJob(const TypedJobRequest& request)
{
    const EnvelopeJob envelope = envelopeOf(request);
    const EnvelopeFeed feed = envelopeFeed(request.envelopePaper, request.deviceName);
    return {[envelope](PrintSurface& surface) { printEnvelope(surface, envelope); },
            {envelopeOnPage(request.envelopeSize, feed)},
            {},
            {},
            {.printToFile = true, .envelope = true},
            std::nullopt,
            {},
            {}};
}

// Where the envelope's lines land on the paper the current printer takes for it, and what that
// means for the envelope.
QList<ProbedText> checkEnvelopeJob(const TypedJobRequest& request, const TextMeasure& measure, TypedJob& job)
{
    const EnvelopeJob envelope = envelopeOf(request);
    const EnvelopeFeed feed = envelopeFeed(request.envelopePaper, request.deviceName);
    QList<ProbedText> texts = probeJob([&](PrintSurface& surface) { printEnvelopeFed(surface, envelope, feed); },
                                       measure, request.deviceName);
    EnvelopeCheck check = checkEnvelope(envelope, feed, texts, measure);
    job.refusal = std::move(check.refusal);
    job.offEnvelope = std::move(check.offEnvelope);
    return texts;
}

TypedJob returnAddressJob(const TypedJobRequest& request)
{
    ReturnAddressSheet sheet;
    sheet.lines = request.lines.mid(0, 3);
    sheet.centred = request.centred;
    sheet.italic = request.italic;
    sheet.correction = request.corrections.pair(MarginKind::ReturnAddress);
    sheet.stock = request.sheet;
    return {[sheet](PrintSurface& surface) { printReturnAddressPage(surface, sheet); },
            request.sheet ? request.sheet->outlines() : returnAddressOutlines(),
            {},
            {},
            labelSheetDialog(request.sheet),
            std::nullopt,
            {},
            {}};
}

// How far the stock's correction moves the text of every label, in inches right and down.
QPointF correctionShift(const TypedJobRequest& request, const TextMeasure& measure)
{
    const auto inches = [&](const TypeFace& type, MarginPair pair, double rows) {
        const GridMetrics grid = measure.grid(type);
        return QPointF(pair.left * grid.column, rows * grid.row) / measure.unitsPerInch();
    };
    if (request.stock == TypedStock::ReturnAddresses) {
        // Only the sign of the row correction counts there.
        const MarginPair pair = request.corrections.pair(MarginKind::ReturnAddress);
        return inches({QStringLiteral("Microsoft Sans Serif"), 8, false, request.italic}, pair,
                      pair.top > 0   ? 1
                      : pair.top < 0 ? -1
                                     : 0);
    }
    const MarginPair pair = request.corrections.pair(MarginKind::OnTheFly);
    return inches({QStringLiteral("Verdana"), request.portrait ? 9.0 : 11.0, request.bold, request.italic}, pair,
                  pair.top);
}

TypedJob unmeasuredJob(const TypedJobRequest& request)
{
    switch (request.stock) {
    case TypedStock::Labels: return labelsJob(request);
    case TypedStock::Envelope: return envelopeJob(request);
    case TypedStock::ReturnAddresses: break;
    }
    return returnAddressJob(request);
}

}  // namespace

TypedJob buildTypedJob(const TypedJobRequest& request, const TextMeasure& measure)
{
    // One run of the job on a surface that prints nothing finds what does not fit, measured as the
    // printer's fonts draw it, before anything is printed.
    TypedJob job = unmeasuredJob(request);
    if (request.stock == TypedStock::Envelope) {
        job.overflows = overflowsOf(checkEnvelopeJob(request, measure, job), job.outlines);
        return job;
    }
    const QList<ProbedText> texts = probeJob(job.run, measure, request.deviceName);
    job.overflows = overflowsOf(texts, job.outlines);
    job.shiftNote = correctionShiftNote(correctionShift(request, measure), job.outlines);
    job.refusal = belowSheetProblem(texts);
    if (!job.refusal)
        job.refusal = changedAddressProblem(texts);
    return job;
}

QList<QRectF> overrunOutlines(const QList<Overflow>& overflows)
{
    QList<QRectF> outlines;
    for (const Overflow& overflow : overflows) {
        for (const QRectF& outline : QList{overflow.outline} + overflow.alsoOn) {
            if (!outlines.contains(outline))
                outlines.append(outline);
        }
    }
    return outlines;
}

}  // namespace pw
