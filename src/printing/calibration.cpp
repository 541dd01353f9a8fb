#include "printing/calibration.h"

#include "data/text_rules.h"
#include "printing/font_grid.h"
#include "printing/print_surface.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <vector>

namespace pw {
namespace {

constexpr double kGridInsetInches = 0.25;
constexpr double kMillimetresPerInch = 25.4;
// Courier New 12 is one tenth of an inch a column, so captions land where their numbers say.
const QString kFont = QStringLiteral("Courier New");
constexpr double kSize = 12;
constexpr double kColumnInches = 0.1;

// The grid the kind prints in: its font's column width and row height in inches.
struct KindGrid final {
    const char* font;
    double points;
    int topLimit;  // the largest row correction its margin dialog takes; 0 for none
};

KindGrid gridOf(MarginKind kind)
{
    switch (kind) {
    case MarginKind::OnTheFly: return {"Verdana", 9, 0};
    case MarginKind::SearchResult: return {"Verdana", 9, 2};
    case MarginKind::ReturnAddress: return {"Microsoft Sans Serif", 8, 1};
    case MarginKind::Envelope: break;
    }
    return {"Verdana", 11, 0};
}

double rowInches()
{
    return fontGrid(kFont, false, false)->lineHeight * kSize / 72.0;
}

int rowAt(double yInches)
{
    return static_cast<int>(std::floor((yInches - kGridInsetInches) / rowInches()));
}

void cross(PrintSurface& surface, QPointF at)
{
    constexpr double arm = 0.3;
    surface.drawLine(at - QPointF(arm, 0), at + QPointF(arm, 0));
    surface.drawLine(at - QPointF(0, arm), at + QPointF(0, arm));
}

QString place(const char* mark, QPointF inches)
{
    return QString::fromLatin1(mark) + QStringLiteral(": %1 in (%2 mm) from left, %3 in (%4 mm) from top")
        .arg(inches.x(), 0, 'f', 2)
        .arg(inches.x() * kMillimetresPerInch, 0, 'f', 1)
        .arg(inches.y(), 0, 'f', 2)
        .arg(inches.y() * kMillimetresPerInch, 0, 'f', 1);
}

}  // namespace

void printCalibrationSheet(PrintSurface& surface)
{
    surface.setOrientation(PageOrientation::Portrait);
    surface.setPaperSize(PaperSize::Letter);
    surface.setFontName(kFont);
    surface.setFontSize(kSize);
    surface.setBold(false);
    surface.setItalic(false);

    // Rulers: ticks every tenth of an inch, longer at halves and whole inches.
    for (int tenth = 5; tenth <= 80; ++tenth) {
        const double x = tenth / 10.0;
        const double length = tenth % 10 == 0 ? 0.25 : tenth % 5 == 0 ? 0.15 : 0.08;
        surface.drawLine({x, 0.5}, {x, 0.5 + length});
    }
    for (int tenth = 10; tenth <= 105; ++tenth) {
        const double y = tenth / 10.0;
        const double length = tenth % 10 == 0 ? 0.25 : tenth % 5 == 0 ? 0.15 : 0.08;
        surface.drawLine({0.5, y}, {0.5 + length, y});
    }
    cross(surface, kCalibrationMarkA);
    cross(surface, kCalibrationMarkB);

    // Captions by row, top to bottom; each starts at its distance from the paper's left edge, which
    // falls on a column.
    struct Caption {
        int row;
        double x;
        QString text;
    };
    std::vector<Caption> captions;
    for (int inch = 1; inch <= 8; ++inch)
        captions.push_back({rowAt(0.82), inch - 0.05, QString::number(inch)});
    captions.push_back({rowAt(1.05), 2.05, QStringLiteral("Postwick calibration sheet")});
    captions.push_back({rowAt(1.3), 1.45, place("A", kCalibrationMarkA)});
    const char* const steps[] = {"Measure with a ruler from the paper's left and top edges",
                                 "to the centre of each cross.  Enter the four distances",
                                 "in Margins > Correct from calibration sheet.",
                                 "The ruler ticks are 1/10 inch apart."};
    for (int i = 0; i < 4; ++i)
        captions.push_back({rowAt(3.0) + i, 1.05, QString::fromLatin1(steps[i])});
    captions.push_back({rowAt(9.4), 1.05, place("B", kCalibrationMarkB)});

    int row = 0;
    for (std::size_t i = 0; i < captions.size();) {
        printBlankLines(surface, captions[i].row - row);
        row = captions[i].row;
        QList<PrintItem> items;
        for (; i < captions.size() && captions[i].row == row; ++i) {
            const int column = static_cast<int>(std::lround((captions[i].x - kGridInsetInches) / kColumnInches)) + 1;
            items << PrintItem::tab(column) << PrintItem::textItem(captions[i].text);
        }
        surface.printLine(items);
        ++row;
    }
}

QPointF printerOffset(const MeasuredMarks& measured)
{
    return ((measured.a - kCalibrationMarkA) + (measured.b - kCalibrationMarkB)) / 2.0;
}

std::optional<KindCorrection> correctionFor(MarginKind kind, QPointF offsetInches)
{
    if (kind == MarginKind::Envelope)
        return std::nullopt;
    const KindGrid grid = gridOf(kind);
    const FontGrid font = *fontGrid(QString::fromLatin1(grid.font), false, false);
    const double columnInches = font.averageWidth * grid.points / 72.0;
    const double rowHeight = font.lineHeight * grid.points / 72.0;
    KindCorrection result{kind, {static_cast<int>(roundHalfEven(-offsetInches.x() / columnInches)),
                                 static_cast<int>(roundHalfEven(-offsetInches.y() / rowHeight))}};
    if (grid.topLimit > 0 && std::abs(result.correction.top) > grid.topLimit) {
        result.correction.top = std::clamp(result.correction.top, -grid.topLimit, grid.topLimit);
        result.limited = true;
    }
    return result;
}

std::optional<double> inchesFromText(const QString& text, const QString& defaultUnit)
{
    static const QRegularExpression distance(
        QStringLiteral(R"(^\s*([+-]?(?:\d+(?:[.,]\d*)?|[.,]\d+))\s*(mm|cm|in|inch|inches|")?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = distance.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const double value = QString(m.captured(1)).replace(u',', u'.').toDouble();
    const QString unit = m.captured(2).isEmpty() ? defaultUnit : m.captured(2).toLower();
    if (unit == u"mm")
        return value / kMillimetresPerInch;
    if (unit == u"cm")
        return value * 10 / kMillimetresPerInch;
    return value;
}

}  // namespace pw
