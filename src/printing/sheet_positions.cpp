#include "printing/sheet_positions.h"

#include "platform/platform.h"
#include "printing/print_surface.h"

#include <QRegularExpression>

#include <algorithm>

namespace pw {
namespace {

const QString kApplication = QStringLiteral("Postwick");
const QString kSection = QStringLiteral("UsedLabelPositions");

}  // namespace

QString positionsText(const QList<int>& positions)
{
    QList<int> sorted = positions;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QStringList runs;
    for (qsizetype i = 0; i < sorted.size();) {
        qsizetype end = i;
        while (end + 1 < sorted.size() && sorted[end + 1] == sorted[end] + 1)
            ++end;
        runs.append(end == i ? QString::number(sorted[i])
                             : QStringLiteral("%1-%2").arg(sorted[i]).arg(sorted[end]));
        i = end + 1;
    }
    return runs.join(QStringLiteral(", "));
}

QList<int> positionsFromText(QStringView text, int last)
{
    static const QRegularExpression item(QStringLiteral("(\\d+)(?:\\s*-\\s*(\\d+))?"));
    QList<int> positions;
    for (const QRegularExpressionMatch& m : item.globalMatch(text)) {
        const int from = m.captured(1).toInt();
        const int to = m.captured(2).isEmpty() ? from : m.captured(2).toInt();
        for (int p = std::max(from, 1); p <= std::min(to, last); ++p)
            positions.append(p);
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

QList<int> rangePositions(int start, int count, int last)
{
    QList<int> positions;
    for (int p = std::max(start, 1); p < start + count && p <= last; ++p)
        positions.append(p);
    return positions;
}

QString rangeEntryFor(const QList<int>& positions)
{
    if (positions.isEmpty() || positions.last() - positions.first() + 1 != positions.size())
        return {};
    if (positions.size() == 1)
        return QString::number(positions.first());
    return QStringLiteral("%1-%2").arg(positions.first()).arg(positions.last());
}

const LabelStock& labelSheetStock()
{
    return labelStocks().front();
}

QList<int> usedPositions(Platform& platform, const LabelStock& stock)
{
    return positionsFromText(platform.readSetting(kApplication, kSection, stock.memoryKey), stock.labels());
}

void setUsedPositions(Platform& platform, const LabelStock& stock, const QList<int>& used)
{
    platform.writeSetting(kApplication, kSection, stock.memoryKey, positionsText(used));
}

int firstFreePosition(const QList<int>& used, int last)
{
    for (int p = 1; p <= last; ++p) {
        if (!used.contains(p))
            return p;
    }
    return 0;
}

int firstFreeOrNewSheet(Platform& platform, const LabelStock& stock)
{
    return std::max(firstFreePosition(usedPositions(platform, stock), stock.labels()), 1);
}

QList<int> usedAmong(Platform& platform, const LabelStock& stock, const QList<int>& positions)
{
    QList<int> used = usedPositions(platform, stock);
    used.removeIf([&positions](int p) { return !positions.contains(p); });
    return used;
}

Message usedPositionsQuestion(const QList<int>& used)
{
    return Message{QStringLiteral("These labels of the sheet in the printer are marked used: %1.  "
                                  "Print on them anyway?")
                       .arg(positionsText(used)),
                   QStringLiteral("Labels already used"),
                   MessageIcon::Question,
                   MessageButtons::YesNo,
                   false,
                   MessageResult::No};
}

void rememberPrinted(Platform& platform, const LabelStock& stock, const QList<int>& positions)
{
    if (positions.isEmpty() || platform.printer().writesFile())
        return;
    setUsedPositions(platform, stock, usedPositions(platform, stock) + positions);
}

void rememberPrintedRun(Platform& platform, const LabelStock& stock, int start, qsizetype count)
{
    if (count <= 0 || platform.printer().writesFile())
        return;
    const int last = stock.labels();
    const qsizetype end = start - 1 + count;  // the last position, counted on from the first sheet
    if (end <= last) {
        rememberPrinted(platform, stock, rangePositions(start, static_cast<int>(count), last));
        return;
    }
    setUsedPositions(platform, stock, rangePositions(1, static_cast<int>((end - 1) % last) + 1, last));
}

}  // namespace pw
