#include "printing/margin_settings.h"

#include "data/record_file.h"
#include "data/text_rules.h"

#include <QList>

#include <cmath>
#include <vector>

namespace pw {
namespace {

constexpr int kKeyWidth = 8;
constexpr int kLeftOffset = 9;
constexpr int kTopOffset = 13;
constexpr int kValueWidth = 3;
// Bytes 0-15 are the application's; 16 and 17 (the line end) are never written.
constexpr int kWrittenBytes = 16;
// Corrections are small whole numbers; anything beyond this cannot be a column or row offset.
constexpr double kLargestCorrection = 32767;
constexpr int kErrOverflow = 6;

QString recordKey(QByteArrayView record)
{
    return trimTrailingBlanks(fromCodePage(record.first(kKeyWidth)));
}

double storedValue(QByteArrayView record, int offset)
{
    return numericValue(fromCodePage(record.sliced(offset, kValueWidth)));
}

Expected<int> wholeCorrection(double value)
{
    if (!(std::abs(value) <= kLargestCorrection))
        return std::unexpected(FileError{kErrOverflow, QStringLiteral("Overflow")});
    return static_cast<int>(roundHalfEven(value));
}

// Opens the file (an absent one is created empty) and reads every record; the count rounds, so a
// last record short of its line end still counts, padded with blanks.
Expected<QList<QByteArray>> openAndReadRecords(RecordFile& file, const QString& path)
{
    if (auto s = file.open(path); !s)
        return std::unexpected(s.error());
    auto count = file.count();
    if (!count)
        return std::unexpected(count.error());
    QList<QByteArray> records;
    for (int n = 1; n <= *count; ++n) {
        auto record = file.readRecord(n);
        if (!record)
            return std::unexpected(record.error());
        records.append(*record);
    }
    return records;
}

}  // namespace

QString marginKey(MarginKind kind)
{
    switch (kind) {
    case MarginKind::OnTheFly: return QStringLiteral("ONTHEFLY");
    case MarginKind::Envelope: return QStringLiteral("ENVELOPE");
    case MarginKind::ReturnAddress: return QStringLiteral("RETURNAD");
    case MarginKind::SearchResult: return QStringLiteral("BULKLIST");
    }
    return {};
}

Expected<MarginSettings> readMarginSettings(const QString& path)
{
    RecordFile file(kMarginRecordSize);
    const auto records = openAndReadRecords(file, path);
    if (!records)
        return std::unexpected(records.error());
    MarginSettings settings;
    for (const QByteArray& record : *records) {
        const QString key = recordKey(record);
        for (int kind = 0; kind < 4; ++kind) {
            if (key != marginKey(static_cast<MarginKind>(kind)))
                continue;
            auto left = wholeCorrection(storedValue(record, kLeftOffset));
            auto top = wholeCorrection(storedValue(record, kTopOffset));
            if (!left)
                return std::unexpected(left.error());
            if (!top)
                return std::unexpected(top.error());
            settings.pairs[kind] = {*left, *top};
        }
    }
    return settings;
}

Expected<MarginAdjustment> adjustMargins(const QString& path, MarginKind kind, std::optional<double> left,
                                         std::optional<double> top)
{
    RecordFile file(kMarginRecordSize);
    auto records = openAndReadRecords(file, path);
    if (!records)
        return std::unexpected(records.error());

    // Every new record is worked out before any is written, so that a sum which does not fit its
    // field leaves the whole file as it was.
    MarginAdjustment result;
    std::vector<std::pair<int, QByteArray>> changed;
    const auto addTo = [&](QByteArray& record, int offset, std::optional<double> amount) {
        if (!amount)
            return;
        const QString sum = shortestDecimal(storedValue(record, offset) + *amount);
        if (sum.size() > kValueWidth)
            result.valueTooLong = sum;
        record.replace(offset, kValueWidth, fixedWidthBytes(sum, kValueWidth));
    };
    for (int n = 1; n <= records->size(); ++n) {
        QByteArray& record = (*records)[n - 1];
        if (recordKey(record) != marginKey(kind))
            continue;
        addTo(record, kLeftOffset, left);
        addTo(record, kTopOffset, top);
        if (!result.valueTooLong.isEmpty())
            return result;
        changed.emplace_back(n, record.first(kWrittenBytes));
    }
    for (const auto& [n, bytes] : changed) {
        if (auto s = file.writeRecord(n, bytes); !s)
            return std::unexpected(s.error());
        ++result.recordsChanged;
    }
    return result;
}

}  // namespace pw
