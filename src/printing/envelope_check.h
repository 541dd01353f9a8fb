#pragma once

#include "data/message.h"
#include "printing/envelopes.h"
#include "printing/sheet_fit.h"

#include <QList>
#include <QString>

#include <optional>

namespace pw {

class TextMeasure;

// What the dry run of an envelope finds, judged where the address lands on the envelope after the
// ENVELOPE correction, 1/8 inch clear of every edge.
struct EnvelopeCheck final {
    // A line so low that the printer would feed a second envelope for it: nothing may print.
    std::optional<Message> refusal;
    // The address would leave the envelope or come too near an edge: said before printing, in one
    // sentence that names the correction that brings it back.
    QString offEnvelope;
};

// Judges `texts`, the dry run of `envelope` on the paper of `feed`, measured with `measure`.
EnvelopeCheck checkEnvelope(const EnvelopeJob& envelope, EnvelopeFeed feed, const QList<ProbedText>& texts,
                            const TextMeasure& measure);

// The question before printing an address that leaves its envelope: Yes is "Print anyway".
Message offEnvelopeQuestion(const QString& offEnvelope);

}  // namespace pw
