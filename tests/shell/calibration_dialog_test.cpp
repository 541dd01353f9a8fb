#include "printing/calibration.h"
#include "printing/margin_settings.h"
#include "shell/calibration_dialog.h"
#include "support/scripted_platform.h"
#include "support/test_folder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

TEST(CalibrationDialogTest, StoresThePrintersCalibrationAndOffersToZeroTheLabelCorrections)
{
    test::TestFolder folder;
    const QString parameters = folder.file(u"PWKPARAM.TXT"_s);
    folder.write(u"PWKPARAM.TXT"_s, "ONTHEFLY 2   1  \r\nENVELOPE 5   5  \r\nRETURNAD 0   0  \r\nBULKLIST 0   -1 \r\n");
    test::ScriptedPlatform platform(folder.path());
    platform.printerSurface.device = u"Laser"_s;
    CalibrationDialog dialog(platform, parameters);
    const auto type = [&](const char* box, const QString& text) {
        dialog.findChild<QLineEdit*>(QString::fromLatin1(box))->setText(text);
    };
    auto* store = dialog.findChild<QPushButton*>(u"cmdCalStore"_s);
    // A printer 1/16 inch low and 1% long down: A, 1.5 in down, 0.0775 in low; B, 10 in down,
    // 0.1625 in low.
    type("txtCalAAcross", u"0"_s);
    type("txtCalADown", u"7.75"_s);
    type("txtCalBAcross", u"0 mm"_s);
    EXPECT_FALSE(store->isEnabled());
    type("txtCalBDown", u"0.1625 in"_s);
    ASSERT_TRUE(store->isEnabled());
    EXPECT_EQ(dialog.findChild<QLabel*>(u"lblCalResult"_s)->text(),
              u"Laser prints everything 0.00 in right and 0.06 in down, 0.0% long across and 1.0% long down.");
    platform.answerMessage(MessageResult::Yes);
    store->click();

    const std::optional<PrinterCalibration> stored = storedCalibration(platform, u"Laser"_s);
    ASSERT_TRUE(stored);
    EXPECT_NEAR(stored->offset.y(), 0.0625, 1e-9);
    EXPECT_NEAR(stored->scale.y(), 1.01, 1e-9);
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].text,
              u"D O N E !  Laser is calibrated.  The label corrections in the Margins menu (On-The-Fly 2, 1; "
              u"Search-result 0, -1) would now move the labels a second time.  Set them to 0?");
    // Zeroed through the ordinary adjustment: the file keeps its records; envelopes keep theirs.
    EXPECT_EQ(folder.read(u"PWKPARAM.TXT"_s),
              QByteArray("ONTHEFLY 0   0  \r\nENVELOPE 5   5  \r\nRETURNAD 0   0  \r\nBULKLIST 0   0  \r\n"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    // A PDF file is not calibrated, and the Margins menu's entry shows and clears a printer's.
    platform.printerSurface.toFile = true;
    CalibrationDialog pdf(platform, parameters);
    EXPECT_FALSE(pdf.findChild<QPushButton*>(u"cmdCalStore"_s)->isEnabled());
    platform.printerSurface.toFile = false;
    platform.messages.clear();
    platform.answerMessage(MessageResult::Yes);
    showPrinterCalibration(platform);
    EXPECT_EQ(platform.messages[0].text, u"Laser is calibrated: it prints everything 0.00 in right and 0.06 in down, "
                                         u"0.0% long across and 1.0% long down, and Postwick takes that back.  Clear "
                                         u"its calibration?");
    EXPECT_EQ(storedCalibration(platform, u"Laser"_s), std::nullopt);
}

}  // namespace
}  // namespace pw
