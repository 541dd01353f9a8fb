#pragma once

#include "data/file_error.h"

#include <QString>

#include <array>
#include <optional>

namespace pw {

class Platform;

// The four print kinds that carry a margin correction, in the order of the Margins menu's keys.
enum class MarginKind { OnTheFly, Envelope, ReturnAddress, SearchResult };

// The record key of a print kind in the parameter file: "ONTHEFLY", "ENVELOPE", "RETURNAD", "BULKLIST".
QString marginKey(MarginKind kind);

// A correction: character columns to the right (negative: left) and text rows down (negative: up).
struct MarginPair final {
    int left = 0;
    int top = 0;
    bool operator==(const MarginPair&) const = default;
};

// The corrections of every print kind, as read in one pass over the parameter file.
struct MarginSettings final {
    std::array<MarginPair, 4> pairs{};
    // The file is there but empty, holds no record of a known kind, or its last record is cut
    // before its values: it is read as no corrections, and the user is told.
    bool unreadable = false;
    MarginPair pair(MarginKind kind) const { return pairs[static_cast<int>(kind)]; }
};

// "<file>: margin corrections could not be read: printing without them", for a file read as unreadable.
QString unreadableCorrectionsText(const QString& path);

// The corrections for a print from a window: a file that cannot be read, or holds a value that is
// not a number, is the printer problem and no print; one read as unreadable is said the first time
// in the program's run, and the print goes on without corrections.
std::optional<MarginSettings> correctionsForPrint(Platform& platform, const QString& path);

inline constexpr int kMarginRecordSize = 18;

// Reads every kind's pair from the parameter file at `path`, opened read-only; an absent file reads
// as an empty one and is not created. A later record with the same key overrides an earlier one; a
// kind without a record reads 0 and 0. A stored value of a kind that is not a number (blanks alone
// read as 0) fails with kErrTypeMismatch.
Expected<MarginSettings> readMarginSettings(const QString& path);

// What an adjustment did to the file.
struct MarginAdjustment final {
    int recordsChanged = 0;  // an added record counts
    // Set when a new value does not fit its 3-character field; then nothing was written.
    QString valueTooLong;
};

// Adds `left` and `top` (when given) to the stored values of every record of `kind`. Bytes 8, 12,
// 16 and 17 of each record keep what they held. A kind without a record gets one at the end, laid
// out as the delivered file's, holding the amounts (0 for the one not given); an absent file is
// created for it. A stored value of the kind that is not a number fails with kErrTypeMismatch
// before anything is written.
Expected<MarginAdjustment> adjustMargins(const QString& path, MarginKind kind, std::optional<double> left,
                                         std::optional<double> top);

// The list labels' layout now holds the row that the delivered parameter file took off with a
// "BULKLIST" top of -1. Once per user, a file that still holds exactly the delivered pair, 0 and
// -1, gets 0 and 0 in its place, so that the labels land where they did; a pair the user set
// otherwise is a printer's offset and stays. Tried again at the next start when the file cannot
// be read or written.
void moveListLabelRowIntoLayout(Platform& platform, const QString& path);

// Text that reads as a decimal number: optional sign, digits, optional decimal point, blanks around.
bool isDecimalEntry(const QString& text);

}  // namespace pw
