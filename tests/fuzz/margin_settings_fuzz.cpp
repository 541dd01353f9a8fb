// Any bytes as the parameter file: the reader, then an adjustment of one kind on the same file.
#include "fuzz_support.h"

#include "printing/margin_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace pw;
    if (size == 0)
        return 0;
    const QString path = fuzz::writeScratch("PWKPARAM.TXT", fuzz::bytesOf(data + 1, size - 1));
    auto before = readMarginSettings(path);
    const auto kind = static_cast<MarginKind>(data[0] % 4);
    const double amount = (data[0] >> 2) % 9 - 4.0;
    auto adjusted = adjustMargins(path, kind, amount, data[0] & 0x80 ? std::optional<double>() : amount);
    auto after = readMarginSettings(path);
    // An adjustment that succeeded leaves a file the reader still reads.
    if (before && adjusted && adjusted->valueTooLong.isEmpty() && !after)
        __builtin_trap();
    return 0;
}
