#include "printing/calibration.h"
#include "printing/print_action.h"
#include "support/recording_surface.h"
#include "support/scripted_platform.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

// What a person reads off the sheet: how far the printer put each cross from its place.
MeasuredMarks measuredOn(const PrinterCalibration& printer, const PrinterCalibration& printedWith = {})
{
    const auto landed = [&](QPointF mark) { return printer.landing(printedWith.aim(mark)) - mark; };
    return {landed(kCalibrationMarkA), landed(kCalibrationMarkB)};
}

void expectNear(const PrinterCalibration& got, const PrinterCalibration& want)
{
    EXPECT_NEAR(got.offset.x(), want.offset.x(), 1e-9);
    EXPECT_NEAR(got.offset.y(), want.offset.y(), 1e-9);
    EXPECT_NEAR(got.scale.x(), want.scale.x(), 1e-9);
    EXPECT_NEAR(got.scale.y(), want.scale.y(), 1e-9);
}

TEST(Calibration, TwoMeasuredCrossesGiveThePrintersOffsetAndScale)
{
    // 1/16 inch low and 1% long down, 0.03 inch left and 0.5% short across.
    const PrinterCalibration printer{{-0.03, 0.0625}, {0.995, 1.01}};
    const MeasuredMarks fresh = measuredOn(printer);
    // Cross A, 1.5 in down, lands 0.0775 in low: the tick numbered 8 (in 1/100 inch) meets the ruler.
    EXPECT_NEAR(fresh.a.y() * 100, 7.75, 1e-9);
    expectNear(calibrationFromMarks(fresh), printer);
    // Through that calibration every point lands where it belongs.
    const PrinterCalibration calibrated = calibrationFromMarks(fresh);
    const QPointF corner(8.3125, 10.5);
    EXPECT_NEAR(printer.landing(calibrated.aim(corner)).x(), corner.x(), 1e-9);
    EXPECT_NEAR(printer.landing(calibrated.aim(corner)).y(), corner.y(), 1e-9);

    // A sheet printed through a calibration measures what remains: 0 when it is right, and a rough
    // one refined to the printer's own.
    expectNear(calibrationFromMarks(measuredOn(printer, printer), printer), printer);
    const PrinterCalibration rough{{0, 0.05}, {1, 1}};
    expectNear(calibrationFromMarks(measuredOn(printer, rough), rough), printer);

    EXPECT_EQ(calibrationText(printer), u"0.03 in left and 0.06 in down, 0.5% short across and 1.0% long down");
    EXPECT_NEAR(*inchesFromText(u"6"_s, u"1/100 in"_s), 0.06, 1e-9);
    EXPECT_NEAR(*inchesFromText(u"-1.5 mm"_s, u"1/100 in"_s), -1.5 / 25.4, 1e-9);
    EXPECT_NEAR(*inchesFromText(u"0.02 in"_s, u"mm"_s), 0.02, 1e-9);
    EXPECT_EQ(inchesFromText(u"about 3"_s, u"mm"_s), std::nullopt);
}

TEST(Calibration, EachPrinterKeepsItsOwnAndAPdfFileOrAnEnvelopeUsesNone)
{
    test::TestFolder folder;
    test::ScriptedPlatform platform(folder.path());
    const PrinterCalibration laser{{0.01, 0.0625}, {1, 1.01}};
    const PrinterCalibration inkjet{{-0.02, 0}, {0.998, 1}};
    storeCalibration(platform, u"Laser"_s, laser);
    storeCalibration(platform, u"Inkjet"_s, inkjet);
    expectNear(*storedCalibration(platform, u"Laser"_s), laser);
    expectNear(*storedCalibration(platform, u"Inkjet"_s), inkjet);
    EXPECT_EQ(storedCalibration(platform, u"Other"_s), std::nullopt);
    platform.writeSetting(u"Postwick"_s, u"Calibration"_s, u"Broken"_s, u"0 0 2 1"_s);
    EXPECT_EQ(storedCalibration(platform, u"Broken"_s), std::nullopt);

    // The print action hands the chosen printer's calibration to the surface, but not for a file
    // or an envelope.
    const auto printedWith = [&](const QString& device, bool toFile, bool envelope) {
        platform.printerSurface.device = device;
        platform.printerSurface.toFile = toFile;
        platform.answerPrintDialog(PrintChoice{});
        printCopies(platform, {.printToFile = true, .envelope = envelope},
                    [](PrintSurface& s) { s.printLine({PrintItem::textItem(u"x"_s)}); });
        return platform.printerSurface.jobs.last().calibration;
    };
    expectNear(printedWith(u"Laser"_s, false, false), laser);
    expectNear(printedWith(u"Inkjet"_s, false, false), inkjet);
    EXPECT_TRUE(printedWith(u"Laser"_s, true, false).isPerfect());
    EXPECT_TRUE(printedWith(u"Laser"_s, false, true).isPerfect());

    storeCalibration(platform, u"Laser"_s, std::nullopt);
    EXPECT_EQ(storedCalibration(platform, u"Laser"_s), std::nullopt);
}

}  // namespace
}  // namespace pw
