#include "printing/calibration.h"

#include "platform/platform.h"
#include "printing/font_grid.h"
#include "printing/grid_cursor.h"
#include "printing/print_surface.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace pw {
namespace {

constexpr double kMillimetresPerInch = 25.4;
// Courier New is a fixed pitch: at 12 points a column is 1/10 inch, at 6 points 1/20.
const QString kFont = QStringLiteral("Courier New");
constexpr double kCaptionPoints = 12;
constexpr double kTickNumberPoints = 6;
constexpr int kTicks = 24;  // hundredths either side of a cross
constexpr double kScaleDistance = 0.45;  // from the cross's centre to its scales' ticks
constexpr double kHundredth = 0.01;

const QString kSettingsApplication = QStringLiteral("Postwick");
const QString kSettingsSection = QStringLiteral("Calibration");

double columnInches(double points)
{
    return fontGrid(kFont, false, false)->averageWidth * points / 72.0;
}

// Prints `text` in `points` with its left edge as near `left` and its row's top at `top`, both in
// inches from the paper's edges.
void caption(PrintSurface& surface, double points, double left, double top, const QString& text)
{
    surface.setFontSize(points);
    surface.homeAt(top - kGridInsetInches);
    const int column = static_cast<int>(std::lround((left - kGridInsetInches) / columnInches(points))) + 1;
    surface.printLine({PrintItem::tab(column), PrintItem::textItem(text)});
}

// The scales of one cross: `side` +1 puts them below and right of it, -1 above and left. The tick
// numbered n is drawn n/100 inch before the cross's own distance, so that it lands there when the
// printer moves everything n/100 inch right (or down).
void scales(PrintSurface& surface, QPointF mark, int side)
{
    const double tickNumberWidth = columnInches(kTickNumberPoints);
    const double numberRow = rowInches(kFont, kTickNumberPoints);
    // A tick every 2/100 inch, as far apart as a fine ruler's: one halfway between two reads odd.
    for (int n = -kTicks; n <= kTicks; n += 2) {
        const double length = n % 10 == 0 ? 0.15 : 0.06;
        const double x = mark.x() - n * kHundredth;
        const double y = mark.y() - n * kHundredth;
        const double across = mark.y() + side * kScaleDistance;
        const double down = mark.x() + side * kScaleDistance;
        surface.drawLine({x, across}, {x, across + side * length});
        surface.drawLine({down, y}, {down + side * length, y});
        if (n % 10 != 0)
            continue;
        const QString number = QString::number(n);
        const double width = number.size() * tickNumberWidth;
        // The numbers across stand in two rows, or they would touch.
        const double beyond = kScaleDistance + 0.17 + (n % 20 == 0 ? 0 : numberRow);
        caption(surface, kTickNumberPoints, x - width / 2, side > 0 ? mark.y() + beyond : mark.y() - beyond - numberRow,
                number);
        const double aside = kScaleDistance + 0.17;
        caption(surface, kTickNumberPoints, side > 0 ? mark.x() + aside : mark.x() - aside - width, y - numberRow / 2,
                number);
    }
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

QString percent(double scale, const char* direction)
{
    const double off = (scale - 1) * 100;
    return QStringLiteral("%1% %2 %3")
        .arg(std::abs(off), 0, 'f', 1)
        .arg(off < 0 ? QStringLiteral("short") : QStringLiteral("long"))
        .arg(QString::fromLatin1(direction));
}

QString moved(double inches, const char* forward, const char* backward)
{
    return QStringLiteral("%1 in %2")
        .arg(std::abs(inches), 0, 'f', 2)
        .arg(QString::fromLatin1(inches < 0 ? backward : forward));
}

}  // namespace

QPointF PrinterCalibration::landing(QPointF p) const
{
    return {scale.x() * p.x() + offset.x(), scale.y() * p.y() + offset.y()};
}

QPointF PrinterCalibration::aim(QPointF p) const
{
    return {(p.x() - offset.x()) / scale.x(), (p.y() - offset.y()) / scale.y()};
}

bool PrinterCalibration::isPerfect() const
{
    return *this == PrinterCalibration{};
}

void printCalibrationSheet(PrintSurface& surface)
{
    surface.setOrientation(PageOrientation::Portrait);
    surface.setPaperSize(PaperSize::Letter);
    surface.setFontName(kFont);
    surface.setBold(false);
    surface.setItalic(false);

    cross(surface, kCalibrationMarkA);
    cross(surface, kCalibrationMarkB);
    scales(surface, kCalibrationMarkA, 1);
    scales(surface, kCalibrationMarkB, -1);

    caption(surface, kCaptionPoints, 2.55, 0.5, QStringLiteral("Postwick calibration sheet"));
    caption(surface, kCaptionPoints, 2.05, 1.3, place("A", kCalibrationMarkA));
    const char* const steps[] = {
        "Lay a ruler from the paper's left edge along the ticks under",
        "cross A: at 1 in it meets a tick (every 2/100 inch, numbered",
        "every 10).  That tick's number is how far the printer moved A",
        "right, in 1/100 inch (negative: left); halfway between two",
        "ticks is the odd number between them.  From the top edge, at",
        "1.5 in, the ticks beside A say how far it moved down.  Do the",
        "same for B, at 7.5 in from the left and 10 in from the top.",
        "",
        "Enter the four numbers in Margins > Calibrate from the sheet.",
        "Or measure how far each cross landed from where it belongs,",
        "in 1/100 inch or millimetres, and enter that.",
    };
    double top = 3.0;
    for (const char* step : steps) {
        if (*step != '\0')
            caption(surface, kCaptionPoints, 1.05, top, QString::fromLatin1(step));
        top += rowInches(kFont, kCaptionPoints);
    }
    caption(surface, kCaptionPoints, 1.05, 8.9, place("B", kCalibrationMarkB));
}

PrinterCalibration calibrationFromMarks(const MeasuredMarks& measured, const PrinterCalibration& printedWith)
{
    // Through its calibration the printer put each cross where the sheet says, plus what was
    // measured: that much of its error remains.
    const QPointF a = kCalibrationMarkA + measured.a;
    const QPointF b = kCalibrationMarkB + measured.b;
    const QPointF span = kCalibrationMarkB - kCalibrationMarkA;
    PrinterCalibration remaining;
    remaining.scale = {(b.x() - a.x()) / span.x(), (b.y() - a.y()) / span.y()};
    remaining.offset = {a.x() - remaining.scale.x() * kCalibrationMarkA.x(),
                        a.y() - remaining.scale.y() * kCalibrationMarkA.y()};
    // The printer itself: what remains, after the calibration it printed through.
    return {remaining.landing(printedWith.offset),
            {remaining.scale.x() * printedWith.scale.x(), remaining.scale.y() * printedWith.scale.y()}};
}

QString calibrationText(const PrinterCalibration& c)
{
    return QStringLiteral("%1 and %2, %3 and %4")
        .arg(moved(c.offset.x(), "right", "left"), moved(c.offset.y(), "down", "up"), percent(c.scale.x(), "across"),
             percent(c.scale.y(), "down"));
}

std::optional<PrinterCalibration> storedCalibration(Platform& platform, const QString& printer)
{
    if (printer.isEmpty())
        return std::nullopt;
    const QStringList values =
        platform.readSetting(kSettingsApplication, kSettingsSection, printer).split(u' ', Qt::SkipEmptyParts);
    if (values.size() != 4)
        return std::nullopt;
    double numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = values[i].toDouble(&ok);
        if (!ok || !std::isfinite(numbers[i]))
            return std::nullopt;
    }
    // A scale far from 1 is no printer's; such a value was not written by this program.
    if (numbers[2] < 0.9 || numbers[2] > 1.1 || numbers[3] < 0.9 || numbers[3] > 1.1)
        return std::nullopt;
    return PrinterCalibration{{numbers[0], numbers[1]}, {numbers[2], numbers[3]}};
}

void storeCalibration(Platform& platform, const QString& printer, const std::optional<PrinterCalibration>& calibration)
{
    QString value;
    if (calibration) {
        value = QStringList{QString::number(calibration->offset.x(), 'f', 4),
                            QString::number(calibration->offset.y(), 'f', 4),
                            QString::number(calibration->scale.x(), 'f', 5),
                            QString::number(calibration->scale.y(), 'f', 5)}
                    .join(u' ');
    }
    platform.writeSetting(kSettingsApplication, kSettingsSection, printer, value);
}

std::optional<PrinterCalibration> currentCalibration(Platform& platform)
{
    PrintSurface& printer = platform.printer();
    if (printer.writesFile())
        return std::nullopt;
    return storedCalibration(platform, printer.deviceName());
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
    if (unit == u"1/100 in")
        return value / 100;
    return value;
}

}  // namespace pw
