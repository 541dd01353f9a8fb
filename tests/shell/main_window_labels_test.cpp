#include "support/main_window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace pw::test {
namespace {

// A row of Verdana 9, and where a block of `lines` rows centred on a label of row `labelRow` (from
// 0) of the sheet starts below the grid's top, which is 1/4 inch from the paper's top.
constexpr double kRow = 1.21533 * 9 / 72;
double blockTop(int labelRow, int lines)
{
    return 0.5 + labelRow - 0.25 + (1 - lines * kRow) / 2;
}

class LabelWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startUp());
        QApplication::setActiveWindow(window.get());
    }

    QLineEdit* line(int n) const
    {
        static const char* const names[5] = {"txtLMLine1", "txtLMLine2", "txtLMline3", "txtLMLine4", "txtLMLine5"};
        return find<QLineEdit>(names[n - 1]);
    }

    // Chooses Label stock and answers the position prompt.
    void chooseLabelStock(const QString& positions)
    {
        platform.answerInput(positions);
        find<QRadioButton>("optLMLabel")->click();
    }

    QList<PlacedText> printed(int job = -1) const
    {
        const QList<RecordedJob>& jobs = platform.printerSurface.jobs;
        return jobs.isEmpty() ? QList<PlacedText>{} : jobs.at(job < 0 ? jobs.size() - 1 : job).texts;
    }
};

TEST_F(LabelWindowTest, TheTypicalEventPrintsSixLabelsAndKeepsTheRangeShown)
{
    // Enter moves on from line to line, as Tab does.
    for (const char* text : {"Ann Example", "12 Long Road", "Springfield IL 62701"}) {
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_EQ(line(1)->text(), u"Ann Example");
    EXPECT_EQ(line(2)->text(), u"12 Long Road");
    EXPECT_EQ(line(3)->text(), u"Springfield IL 62701");
    EXPECT_EQ(QApplication::focusWidget(), line(4));

    chooseLabelStock(QStringLiteral("4-9"));
    auto* position = find<QLabel>("lblLMPosition");
    EXPECT_EQ(position->text(), u"Label Position 4-9");
    EXPECT_TRUE(position->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("cmdLMStart"));

    platform.answerPrintDialog(PrintChoice{1});
    find<QPushButton>("cmdLMStart")->click();
    EXPECT_TRUE(platform.messages.isEmpty());
    ASSERT_EQ(platform.printDialogs.size(), 1);
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    const QList<PlacedText> texts = printed();
    ASSERT_EQ(texts.size(), 18);
    const int columns[3] = {2, 45, 89};
    for (int label = 0; label < 6; ++label) {
        for (int l = 0; l < 3; ++l) {
            const PlacedText& t = texts[label * 3 + l];
            EXPECT_EQ(t.column, columns[label % 3]) << label;
            EXPECT_NEAR(t.inchesDown, blockTop(label < 3 ? 1 : 2, 3) + l * kRow, 1e-9) << label;
            EXPECT_EQ(t.font, u"Verdana");
            EXPECT_EQ(t.size, 9);
        }
    }
    EXPECT_EQ(position->text(), u"Label Position 4-9");
    EXPECT_TRUE(position->isVisible());

    // File > Print prints the same positions again.
    platform.answerPrintDialog(PrintChoice{1});
    find<QAction>("mnuFilePrint")->trigger();
    ASSERT_EQ(platform.printerSurface.jobs.size(), 2);
    EXPECT_EQ(printed(1).first().row, texts.first().row);
    EXPECT_EQ(printed(1).last().column, 89);
}

TEST_F(LabelWindowTest, PrintChecksTheFormBeforeTheDialog)
{
    find<QPushButton>("cmdLMStart")->click();
    line(2)->setText(QStringLiteral(" "));
    find<QPushButton>("cmdLMStart")->click();
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(platform.messages[0].text, u"No information entered");
    EXPECT_EQ(platform.messages[1].text, u"Select Label stock or Envelope");
    EXPECT_EQ(platform.messages[1].title, u"Media Selection");

    // Cancel, 0 and a start below 1 all leave no media selected.
    for (const char* answer : {"", "0", "-5"}) {
        chooseLabelStock(QString::fromLatin1(answer));
        EXPECT_FALSE(find<QRadioButton>("optLMLabel")->isChecked()) << answer;
        EXPECT_FALSE(find<QLabel>("lblLMPosition")->isVisible()) << answer;
    }
    EXPECT_EQ(platform.messages.size(), 2);
    EXPECT_TRUE(platform.printDialogs.isEmpty());

    // A cancelled print dialog prints nothing and says nothing.
    chooseLabelStock(QStringLiteral("7"));
    find<QPushButton>("cmdLMStart")->click();
    EXPECT_EQ(platform.printDialogs.size(), 1);
    EXPECT_TRUE(platform.printerSurface.jobs.isEmpty());
    EXPECT_EQ(platform.messages.size(), 2);
}

TEST_F(LabelWindowTest, StylesAlignmentAndCopiesReachTheJob)
{
    line(1)->setText(QStringLiteral("Ann"));
    chooseLabelStock(QStringLiteral("5"));
    find<QCheckBox>("chkLblBold")->click();
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("cmdLMStart"));
    find<QRadioButton>("optLMCenter")->click();
    EXPECT_EQ(line(1)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(QApplication::focusWidget(), line(1));

    platform.answerPrintDialog(PrintChoice{2});
    find<QPushButton>("cmdLMStart")->click();
    ASSERT_EQ(platform.printerSurface.jobs.size(), 2);
    for (int job = 0; job < 2; ++job) {
        ASSERT_EQ(printed(job).size(), 1);
        EXPECT_EQ(printed(job)[0].column, 41 - 3 + 16);  // bold middle column, centred
        EXPECT_NEAR(printed(job)[0].inchesDown, blockTop(1, 1), 1e-9);
        EXPECT_TRUE(printed(job)[0].bold);
    }
}

TEST_F(LabelWindowTest, TheOnTheFlyCorrectionFromTheMarginsMenuMovesTheLabels)
{
    for (const char* answer : {"1", "-1"})
        platform.answerInput(QString::fromLatin1(answer));
    find<QAction>("mnuAdjustOTF")->trigger();
    EXPECT_EQ(platform.messages.last().text, u"D O N E !  Margin(s) for On-The-Fly labels adjusted successfully.");
    EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")).left(18), QByteArray("ONTHEFLY 1   -1 \r\n"));

    line(1)->setText(QStringLiteral("Ann"));
    chooseLabelStock(QStringLiteral("1"));
    platform.answerPrintDialog(PrintChoice{1});
    find<QPushButton>("cmdLMStart")->click();
    ASSERT_EQ(printed().size(), 1);
    EXPECT_EQ(printed()[0].column, 3);
    EXPECT_NEAR(printed()[0].inchesDown, blockTop(0, 1) - kRow, 1e-9);
}

TEST_F(LabelWindowTest, ParameterFileFailures)
{
    // While printing, the printer problem; in the Margins menu, the error prompt, whose Retry closes
    // the contacts file and whose Cancel ends the program.
    QFile::remove(folder.file(QStringLiteral("PWKPARAM.TXT")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("PWKPARAM.TXT")));
    find<QPushButton>("cmdLMStart")->click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].text, u"A printer problem exists.  Check printer.");
    EXPECT_EQ(platform.messages[0].title, u"Printer error");

    platform.answerMessage(MessageResult::Ok);
    platform.answerMessage(MessageResult::Retry);
    find<QAction>("mnuAdjustRA")->trigger();
    EXPECT_EQ(platform.messages.last().title, u"Error");
    EXPECT_TRUE(platform.messages.last().text.startsWith(u"An error has occurred. Error number 21 -- "));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->currentFilePath().isEmpty());

    platform.answerMessage(MessageResult::Ok);
    platform.answerMessage(MessageResult::Cancel);
    find<QAction>("mnuAdjustRA")->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(LabelWindowTest, ClearFormResetsTheEntry)
{
    line(1)->setText(QStringLiteral("Ann"));
    line(5)->setText(QStringLiteral("USA"));
    chooseLabelStock(QStringLiteral("30"));
    find<QCheckBox>("chkLblItalic")->click();
    find<QRadioButton>("optLMCenter")->click();
    find<QPushButton>("cmdLMClear")->click();

    EXPECT_TRUE(line(1)->text().isEmpty());
    EXPECT_TRUE(line(5)->text().isEmpty());
    EXPECT_FALSE(find<QRadioButton>("optLMLabel")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("optLMLabel")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>("optLMLeftjust")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("chkLblItalic")->isChecked());
    EXPECT_FALSE(find<QLabel>("lblLMPosition")->isVisible());
    EXPECT_EQ(find<QLineEdit>("txtLMLeftPad")->text(), u"2");
    EXPECT_EQ(find<QLineEdit>("txtLMToppad")->text(), u"3");
    EXPECT_EQ(QApplication::focusWidget(), line(1));
}

}  // namespace
}  // namespace pw::test
