// Any answer to the label-position question: the cleaning, the checks and the range parser, as the
// main window asks it and as every print parses it again.
#include "fuzz_support.h"

#include "printing/onthefly_labels.h"
#include "support/scripted_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace pw;
    const QString answer = QString::fromUtf8(fuzz::bytesOf(data, size));
    test::ScriptedPlatform platform{QString()};
    platform.answerInput(answer);  // then the empty answer of Cancel, which always passes
    PositionRange range;
    askLabelPositions(platform, range);
    (void)reparsePositionRange(range);

    PositionRange raw{answer, answer, {}, 0};
    (void)parseRange(raw);
    PositionRange checked{answer, answer, {}, 0};
    (void)positionEntryProblem(checked);
    return 0;
}
