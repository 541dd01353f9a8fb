// Partly used label sheets: the picture of the sheet, the remembered used positions, the job.
#include "desktop/sheet_picker.h"
#include "list/list_contacts.h"
#include "printing/sheet_outlines.h"
#include "printing/sheet_positions.h"
#include "support/main_window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

class SheetPositionsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        writeContacts(folder.file(u"PWK_Contacts.DAT"_s), {person(u"Amy"_s, u"Cole"_s), person(u"Bob"_s, u"Bell"_s)});
        ASSERT_TRUE(startUp());
        find<QLineEdit>("txtLMLine1")->setText(u"Ann Example"_s);
    }
    QList<int> usedNow() { return usedPositions(platform, labelSheetStock()); }
    // Where line 1 of each label landed, in print order: its column and the row of labels, from 1.
    QList<std::pair<int, int>> placesPrinted() const
    {
        QList<std::pair<int, int>> places;
        for (const PlacedText& t : platform.printerSurface.jobs.last().texts)
            places.append({t.column, static_cast<int>(t.inchesDown + 0.25 - 0.5) + 1});
        return places;
    }
};

TEST(SheetPositionText, ReadsAndWritesSetsOfPositions)
{
    EXPECT_EQ(positionsText({9, 4, 5, 22, 23, 24, 25, 26, 27, 28, 29, 30}), u"4-5, 9, 22-30");
    EXPECT_EQ(positionsFromText(u"4-5, 9, 22-30"), (QList<int>{4, 5, 9, 22, 23, 24, 25, 26, 27, 28, 29, 30}));
    EXPECT_EQ(positionsFromText(u"0, 31, 29-40, x"), (QList<int>{29, 30}));
    EXPECT_EQ(rangeEntryFor({4, 5, 6}), u"4-6");
    EXPECT_EQ(rangeEntryFor({7}), u"7");
    EXPECT_EQ(rangeEntryFor({4, 6}), QString());
    EXPECT_EQ(rangePositions(28, 6), (QList<int>{28, 29, 30}));
    EXPECT_EQ(firstFreePosition({1, 2, 3, 5}), 4);
}

TEST_F(SheetPositionsTest, ScatteredPositionsPrintWhereTheyArePickedAndAreRememberedAsUsed)
{
    platform.answerSheet(SheetChoice{{4, 5, 9, 22, 30}, {1, 2, 3}});
    find<QPushButton>("cmdLMSheet")->click();
    ASSERT_EQ(platform.sheetsOffered.size(), 1);
    EXPECT_EQ(platform.sheetsOffered[0], (SheetChoice{{1}, {}}));
    EXPECT_TRUE(find<QRadioButton>("optLMLabel")->isChecked());
    EXPECT_EQ(find<QLabel>("lblLMPosition")->text(), u"Label Position 4-5, 9, 22, 30");
    EXPECT_EQ(usedNow(), (QList<int>{1, 2, 3}));

    platform.answerPrintDialog(PrintChoice{1});
    find<QPushButton>("cmdLMStart")->click();
    // Columns 2, 45, 89, each on the row of labels of its position.
    EXPECT_EQ(placesPrinted(), (QList<std::pair<int, int>>{{2, 2}, {45, 2}, {89, 3}, {2, 8}, {89, 10}}));
    EXPECT_EQ(usedNow(), (QList<int>{1, 2, 3, 4, 5, 9, 22, 30}));

    // Next time the picture offers the first free label; a run picked there prints as typed.
    platform.answerSheet(SheetChoice{{6, 7, 8}, usedNow()});
    find<QPushButton>("cmdLMSheet")->click();
    EXPECT_EQ(platform.sheetsOffered[1].toPrint, QList<int>{6});
    EXPECT_EQ(find<QLabel>("lblLMPosition")->text(), u"Label Position 6-8");
    platform.answerPrintDialog(PrintChoice{1});
    find<QPushButton>("cmdLMStart")->click();
    const auto picked = placesPrinted();
    platform.answerInput(u"6-8"_s);
    find<QRadioButton>("optLMLabel")->click();
    platform.answerPrintDialog(PrintChoice{1});
    find<QPushButton>("cmdLMStart")->click();
    EXPECT_EQ(placesPrinted(), picked);

    // Cancelling the picture changes nothing.
    find<QPushButton>("cmdLMSheet")->click();
    EXPECT_EQ(find<QLabel>("lblLMPosition")->text(), u"Label Position 6-8");
}

TEST_F(SheetPositionsTest, OneMemoryForThePictureTheBoxThePreviewAndTheList)
{
    // Labels 1-7 marked gone on the picture: the position box offers 8.
    platform.answerSheet(SheetChoice{{}, {1, 2, 3, 4, 5, 6, 7}});
    click("cmdLMSheet");
    platform.answerInput(u"6-9"_s);
    find<QRadioButton>("optLMLabel")->click();
    EXPECT_EQ(platform.inputs.last().defaultText, u"8");

    // The preview shades the used labels; its Print asks before spending two of them, No by default.
    platform.printFromPreview = true;
    platform.answerMessage(MessageResult::No);
    find<QAction>("mnuFilePreview")->trigger();
    EXPECT_EQ(platform.previewUsed.last(), labelSheetOutlines().mid(0, 7));
    const Message question{u"These labels of the sheet in the printer are marked used: 6-7.  Print on them anyway?"_s,
                           u"Labels already used"_s,
                           MessageIcon::Question,
                           MessageButtons::YesNo,
                           false,
                           MessageResult::No};
    EXPECT_EQ(platform.messages, QList{question});
    EXPECT_TRUE(platform.printDialogs.isEmpty());

    // Yes prints; into a file that spends no label, onto paper the labels are used from then on.
    platform.printerSurface.toFile = true;
    platform.answerMessage(MessageResult::Yes);
    platform.answerPrintDialog(PrintChoice{1});
    click("cmdLMStart");
    EXPECT_EQ(platform.printerSurface.jobs.size(), 1);
    EXPECT_EQ(usedNow(), (QList<int>{1, 2, 3, 4, 5, 6, 7}));
    platform.printerSurface.toFile = false;
    platform.answerMessage(MessageResult::Yes);
    platform.answerPrintDialog(PrintChoice{1});
    click("cmdLMStart");
    EXPECT_EQ(usedNow(), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));

    // The list's labels go on at 10, the left label of row 4, without a question, and the sheet
    // remembers them; from position 1 they ask first.
    openWith("mnuViewAll", "frmViewAll");
    click("cmdACGetReport");
    EXPECT_TRUE(find<QCheckBox>("chkFreeStart")->isChecked());
    const auto messagesBefore = platform.messages.size();
    platform.answerPrintDialog(PrintChoice{1});
    click("cmdPrintLabels");
    EXPECT_EQ(platform.messages.size(), messagesBefore);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 3);
    EXPECT_EQ(platform.printerSurface.jobs.last().texts[0].text, u"Amy Cole");
    EXPECT_EQ(platform.printerSurface.jobs.last().texts[0].column, 2);
    find<QCheckBox>("chkFreeStart")->setChecked(false);
    platform.answerMessage(MessageResult::No);
    click("cmdPrintLabels");
    EXPECT_EQ(platform.messages.last().text,
              u"These labels of the sheet in the printer are marked used: 1-2.  Print on them anyway?");
    EXPECT_EQ(platform.printerSurface.jobs.size(), 3);
    EXPECT_EQ(usedNow(), rangePositions(1, 11));
}

TEST(SheetMemory, ARunKeepsTheSheetsOtherUsedLabelsUntilItGoesOnToANewSheet)
{
    TestFolder folder;
    ScriptedPlatform platform(folder.path());
    const LabelStock& stock = labelSheetStock();
    setUsedPositions(platform, stock, {1, 2, 3, 10});
    rememberPrintedRun(platform, stock, 4, 3);
    EXPECT_EQ(usedPositions(platform, stock), (QList<int>{1, 2, 3, 4, 5, 6, 10}));
    rememberPrintedRun(platform, stock, 7, 30);  // 7 to 30, then 1 to 6 of a new sheet
    EXPECT_EQ(usedPositions(platform, stock), rangePositions(1, 6));
}

TEST(SheetPickerTest, ClicksChooseLabelsMarkUsedOnesAndANewSheetForgetsThem)
{
    SheetPicker picker(SheetChoice{{4}, {1, 2}});
    const auto click = [&](int p) { picker.findChild<QToolButton*>(u"cmdPos%1"_s.arg(p))->click(); };
    click(4);
    click(9);
    click(1);
    EXPECT_EQ(picker.choice(), (SheetChoice{{1, 9}, {2}}));
    picker.findChild<QRadioButton*>(u"optPickUsed"_s)->click();
    click(9);
    click(3);
    EXPECT_EQ(picker.choice(), (SheetChoice{{1}, {2, 3, 9}}));
    EXPECT_EQ(picker.findChild<QToolButton*>(u"cmdPos3"_s)->text(), u"3 used");
    picker.findChild<QPushButton*>(u"cmdNewSheet"_s)->click();
    EXPECT_EQ(picker.choice(), (SheetChoice{{1}, {}}));
}

TEST(SheetPickerTest, AnotherStocksPictureHasItsLabelsWhereTheyLieAndCanOnlyMarkThemUsed)
{
    const LabelStock& stock = *labelStockNamed(u"5164");
    SheetPicker picker(SheetChoice{{}, {1}}, {stock.name, stock.outlines(), false});
    EXPECT_EQ(picker.windowTitle(), u"Label sheet 5164");
    const auto label = [&](int p) { return picker.findChild<QToolButton*>(u"cmdPos%1"_s.arg(p)); };
    ASSERT_TRUE(label(6));
    EXPECT_FALSE(label(7));
    // Two across, three down, each a third of its size: 4 by 3 1/3 in.
    EXPECT_GT(label(2)->x(), label(1)->x() + 120);
    EXPECT_EQ(label(3)->y(), label(1)->y() + 107);
    EXPECT_TRUE(picker.findChild<QRadioButton*>(u"optPickPrint"_s)->isHidden());
    label(2)->click();
    label(1)->click();
    EXPECT_EQ(picker.choice(), (SheetChoice{{}, {2}}));
}

TEST(SheetPickerTest, AShiftClickOrADragMarksEveryLabelFromTheFirstToTheLast)
{
    SheetPicker picker(SheetChoice{}, {u"5160"_s, labelSheetOutlines(), false});
    picker.show();
    const auto label = [&](int p) { return picker.findChild<QToolButton*>(u"cmdPos%1"_s.arg(p)); };
    QTest::mouseClick(label(1), Qt::LeftButton);
    QTest::mouseClick(label(27), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(picker.choice().used, rangePositions(1, 27));
    // A Shift+click from a label just freed frees the run.
    QTest::mouseClick(label(27), Qt::LeftButton);
    QTest::mouseClick(label(20), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(picker.choice().used, rangePositions(1, 19));

    // Pressed on 28 and dragged to 30: 28 to 30 used; the next plain click marks one label.
    const QPoint over30 = label(28)->mapFromGlobal(label(30)->mapToGlobal(label(30)->rect().center()));
    QTest::mousePress(label(28), Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, over30, label(28)->mapToGlobal(over30), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(label(28), &move);
    QTest::mouseRelease(label(28), Qt::LeftButton, {}, over30);
    EXPECT_EQ(picker.choice().used, (rangePositions(1, 19) + QList<int>{28, 29, 30}));
    QTest::mouseClick(label(25), Qt::LeftButton);
    EXPECT_EQ(picker.choice().used, (rangePositions(1, 19) + QList<int>{25, 28, 29, 30}));
}

}  // namespace
}  // namespace pw::test
