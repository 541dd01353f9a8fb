#include "shell/calibration_dialog.h"

#include "printing/margin_settings.h"
#include "support/scripted_platform.h"
#include "support/test_folder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

TEST(CalibrationDialogTest, ShowsTheCorrectionsBeforeStoringThemInTheParameterFile)
{
    test::TestFolder folder;
    const QString parameters = folder.file(u"PWKPARAM.TXT"_s);
    folder.write(u"PWKPARAM.TXT"_s, "ONTHEFLY 2   1  \r\nENVELOPE 5   5  \r\nRETURNAD 0   0  \r\nBULKLIST 0   -1 \r\n");
    test::ScriptedPlatform platform(folder.path());
    CalibrationDialog dialog(platform, parameters);
    const auto type = [&](const char* box, const QString& text) {
        dialog.findChild<QLineEdit*>(QString::fromLatin1(box))->setText(text);
    };
    auto* store = dialog.findChild<QPushButton*>(u"cmdCalStore"_s);
    auto* result = dialog.findChild<QLabel*>(u"lblCalResult"_s);
    type("txtCalALeft", u"26.4"_s);  // mm: 1 mm right
    type("txtCalATop", u"1.5 in"_s);
    type("txtCalBLeft", u"191.5 mm"_s);
    EXPECT_FALSE(store->isEnabled());
    EXPECT_EQ(result->text(), u"Enter the four distances.");
    type("txtCalBTop", u"10.3 in"_s);  // B 0.3 inch low: the mean is 0.15 inch down
    ASSERT_TRUE(store->isEnabled());
    EXPECT_EQ(result->text().toStdString(), u"The printer moves everything 0.039 in right and 0.150 in down.\n"
                              "On-The-Fly labels: 1 column left, 1 row up\n"
                              "Search-result labels: 1 column left, 1 row up\n"
                              "Return Address labels: 1 column left, 1 row up"_s.toStdString());
    dialog.findChild<QCheckBox*>(u"chkCalSR"_s)->setChecked(false);
    store->click();

    // The stored values become the worked-out ones; envelopes and unchosen kinds keep theirs.
    const Expected<MarginSettings> stored = readMarginSettings(parameters);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->pair(MarginKind::OnTheFly), (MarginPair{-1, -1}));
    EXPECT_EQ(stored->pair(MarginKind::ReturnAddress), (MarginPair{-1, -1}));
    EXPECT_EQ(stored->pair(MarginKind::Envelope), (MarginPair{5, 5}));
    EXPECT_EQ(stored->pair(MarginKind::SearchResult), (MarginPair{0, -1}));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, u"Margin adjustment completed");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace pw
