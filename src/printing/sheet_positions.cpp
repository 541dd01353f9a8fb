#include "printing/sheet_positions.h"

#include "platform/platform.h"

#include <QRegularExpression>

#include <algorithm>

namespace pw {
namespace {

const QString kApplication = QStringLiteral("Postwick");
const QString kSection = QStringLiteral("UsedLabelPositions");

bool isPosition(int p)
{
    return p >= 1 && p <= kSheetPositions;
}

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

QList<int> positionsFromText(QStringView text)
{
    static const QRegularExpression item(QStringLiteral("(\\d+)(?:\\s*-\\s*(\\d+))?"));
    QList<int> positions;
    for (const QRegularExpressionMatch& m : item.globalMatch(text)) {
        const int from = m.captured(1).toInt();
        const int to = m.captured(2).isEmpty() ? from : m.captured(2).toInt();
        for (int p = std::max(from, 1); p <= std::min(to, kSheetPositions); ++p)
            positions.append(p);
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

QList<int> rangePositions(int start, int count)
{
    QList<int> positions;
    for (int p = start; p < start + count && p <= kSheetPositions; ++p) {
        if (isPosition(p))
            positions.append(p);
    }
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

QList<int> usedPositions(Platform& platform, const QString& kind)
{
    return positionsFromText(platform.readSetting(kApplication, kSection, kind));
}

void setUsedPositions(Platform& platform, const QString& kind, const QList<int>& used)
{
    platform.writeSetting(kApplication, kSection, kind, positionsText(used));
}

int firstFreePosition(const QList<int>& used)
{
    for (int p = 1; p <= kSheetPositions; ++p) {
        if (!used.contains(p))
            return p;
    }
    return 0;
}

int firstFreeOrNewSheet(Platform& platform, const QString& kind)
{
    return std::max(firstFreePosition(usedPositions(platform, kind)), 1);
}

void rememberPrintedRun(Platform& platform, const QString& kind, int start, qsizetype count)
{
    if (count <= 0)
        return;
    const int lastPrinted = static_cast<int>((start - 1 + count - 1) % kSheetPositions) + 1;
    setUsedPositions(platform, kind, rangePositions(1, lastPrinted));
}

}  // namespace pw
