#include "printing/margin_settings.h"

#include "data/record_file.h"
#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/print_action.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

#include <cerrno>
#include <utility>
#include <vector>

namespace pw {
namespace {

constexpr int kKeyWidth = 8;
constexpr int kLeftOffset = 9;
constexpr int kTopOffset = 13;
constexpr int kValueWidth = 3;
// Bytes 0-15 are the application's; 16 and 17 (the line end) are never written.
constexpr int kWrittenBytes = 16;

QString recordKey(QByteArrayView record)
{
    return trimTrailingBlanks(fromCodePage(record.first(kKeyWidth)));
}

// A stored value is a decimal number, left-aligned and blank-padded as in the delivered file. A
// field of blanks alone (a short record's, or one never filled) reads as 0.
Expected<double> storedValue(QByteArrayView record, int offset, const QString& path)
{
    const QString text = fromCodePage(record.sliced(offset, kValueWidth));
    if (!trimBlanks(text).isEmpty() && !isDecimalEntry(text))
        return std::unexpected(FileError{
            kErrTypeMismatch, QStringLiteral("Type mismatch: the %1 margin \"%2\" in %3 is not a number")
                                  .arg(recordKey(record), trimBlanks(text), QFileInfo(path).fileName())});
    return numericValue(text);
}

// Three characters of decimal text always make a whole number that fits.
Expected<int> wholeCorrection(Expected<double> value)
{
    if (!value)
        return std::unexpected(value.error());
    return static_cast<int>(roundHalfEven(*value));
}

// Reads every record of a file opened in `mode`; the count rounds, so a last record short of its
// line end still counts, padded with blanks.
Expected<QList<QByteArray>> openAndReadRecords(RecordFile& file, const QString& path, RecordFile::Mode mode)
{
    if (auto s = file.open(path, mode); !s)
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

// The bytes that complete a last record cut short, so that a record added after it starts on a
// record boundary: blanks where the values go, the line end where it belongs.
QByteArray completion(qint64 size)
{
    QByteArray gap;
    for (qint64 at = size; at % kMarginRecordSize != 0; ++at) {
        const qint64 inRecord = at % kMarginRecordSize;
        gap.append(inRecord == kWrittenBytes ? '\r' : inRecord == kWrittenBytes + 1 ? '\n' : ' ');
    }
    return gap;
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
    // Reading never writes, so a parameter file the user may not change still prints.
    RecordFile file(kMarginRecordSize);
    auto records = openAndReadRecords(file, path, RecordFile::Mode::ReadOnly);
    if (!records && records.error().number == ENOENT)
        records = QList<QByteArray>{};
    if (!records)
        return std::unexpected(records.error());
    MarginSettings settings;
    if (file.isOpen()) {  // an absent file is no corrections, as delivered before the first start
        const Expected<qint64> size = file.size();
        if (!size)
            return std::unexpected(size.error());
        // A last record cut before its values; a stray line end after the last record is no cut.
        const qint64 tail = *size % kMarginRecordSize;
        const auto partial = tail > 0 ? file.readAt(*size - tail, tail) : Expected<QByteArray>(QByteArray());
        if (!partial)
            return std::unexpected(partial.error());
        const bool cut = tail < kWrittenBytes && !partial->trimmed().isEmpty();
        settings.unreadable = *size == 0 || cut;
    }
    bool known = false;
    for (const QByteArray& record : *records) {
        const QString key = recordKey(record);
        for (int kind = 0; kind < 4; ++kind) {
            if (key != marginKey(static_cast<MarginKind>(kind)))
                continue;
            known = true;
            auto left = wholeCorrection(storedValue(record, kLeftOffset, path));
            auto top = wholeCorrection(storedValue(record, kTopOffset, path));
            if (!left)
                return std::unexpected(left.error());
            if (!top)
                return std::unexpected(top.error());
            settings.pairs[kind] = {*left, *top};
        }
    }
    settings.unreadable = settings.unreadable || (!records->isEmpty() && !known);
    return settings;
}

std::optional<MarginSettings> correctionsForPrint(Platform& platform, const QString& path)
{
    const Expected<MarginSettings> margins = readMarginSettings(path);
    if (!margins) {
        platform.message(printerProblem());
        return std::nullopt;
    }
    static bool told = false;
    if (margins->unreadable && !std::exchange(told, true))
        platform.message({unreadableCorrectionsText(path) + u'.', QStringLiteral("Margin corrections"),
                          MessageIcon::Warning});
    return *margins;
}

QString unreadableCorrectionsText(const QString& path)
{
    return QStringLiteral("%1: margin corrections could not be read: printing without them")
        .arg(QDir::toNativeSeparators(path));
}

Expected<MarginAdjustment> adjustMargins(const QString& path, MarginKind kind, std::optional<double> left,
                                         std::optional<double> top)
{
    RecordFile file(kMarginRecordSize);
    auto records = openAndReadRecords(file, path, RecordFile::Mode::ReadWrite);
    if (!records)
        return std::unexpected(records.error());
    if (!left && !top)
        return MarginAdjustment{};

    // Every new record is worked out before any is written, so that a value that is not a number,
    // or a sum which does not fit its field, leaves the whole file as it was.
    MarginAdjustment result;
    std::vector<std::pair<int, QByteArray>> changed;
    const auto addTo = [&](QByteArray& record, int offset, std::optional<double> amount) -> Status {
        auto stored = storedValue(record, offset, path);
        if (!stored)
            return std::unexpected(stored.error());
        if (!amount)
            return {};
        const QString sum = shortestDecimal(*stored + *amount);
        if (sum.size() > kValueWidth)
            result.valueTooLong = sum;
        record.replace(offset, kValueWidth, fixedWidthBytes(sum, kValueWidth));
        return {};
    };
    for (int n = 1; n <= records->size(); ++n) {
        QByteArray& record = (*records)[n - 1];
        if (recordKey(record) != marginKey(kind))
            continue;
        for (auto [offset, amount] : {std::pair{kLeftOffset, left}, std::pair{kTopOffset, top}}) {
            if (auto s = addTo(record, offset, amount); !s)
                return std::unexpected(s.error());
        }
        if (!result.valueTooLong.isEmpty())
            return result;
        changed.emplace_back(n, record.first(kWrittenBytes));
    }

    if (changed.empty()) {
        // The kind's own record, as the delivered file lays it out, starting from 0 and 0.
        const QByteArray zero = fixedWidthBytes(u"0", kValueWidth);
        QByteArray record = fixedWidthBytes(marginKey(kind), kKeyWidth) + ' ' + zero + ' ' + zero + "\r\n";
        (void)addTo(record, kLeftOffset, left);  // a stored 0 always reads
        (void)addTo(record, kTopOffset, top);
        if (!result.valueTooLong.isEmpty())
            return result;
        auto size = file.size();
        if (!size)
            return std::unexpected(size.error());
        if (auto s = file.writeAt(*size, completion(*size) + record); !s)
            return std::unexpected(s.error());
        if (auto s = file.sync(); !s)
            return std::unexpected(s.error());
        result.recordsChanged = 1;
        return result;
    }
    for (const auto& [n, bytes] : changed) {
        if (auto s = file.writeRecord(n, bytes); !s)
            return std::unexpected(s.error());
        ++result.recordsChanged;
    }
    // The adjustment is reported done only once it would survive a power cut.
    if (auto s = file.sync(); !s)
        return std::unexpected(s.error());
    return result;
}

void moveListLabelRowIntoLayout(Platform& platform, const QString& path)
{
    const QString application = QStringLiteral("Postwick");
    const QString section = QStringLiteral("Layout");
    const QString key = QStringLiteral("ListLabelRowInLayout");
    if (platform.readSetting(application, section, key) == u"1")
        return;
    const Expected<MarginSettings> settings = readMarginSettings(path);
    if (!settings)
        return;
    if (settings->pair(MarginKind::SearchResult) == MarginPair{0, -1}) {
        const Expected<MarginAdjustment> moved = adjustMargins(path, MarginKind::SearchResult, std::nullopt, 1);
        if (!moved || !moved->valueTooLong.isEmpty())
            return;
    }
    platform.writeSetting(application, section, key, QStringLiteral("1"));
}

bool isDecimalEntry(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral("^ *[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+) *$"));
    return decimal.match(text).hasMatch();
}

}  // namespace pw
