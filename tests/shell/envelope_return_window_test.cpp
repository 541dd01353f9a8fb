// The envelope and return-address commands of the main window's entry area.
#include "support/main_window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

class EntryAreaTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startUp());
        QApplication::setActiveWindow(window.get());
    }
    void typeLines(const QStringList& lines)
    {
        static const char* const names[5] = {"txtLMLine1", "txtLMLine2", "txtLMline3", "txtLMLine4", "txtLMLine5"};
        for (int i = 0; i < 5; ++i)
            find<QLineEdit>(names[i])->setText(lines.value(i));
    }
    bool shown(const char* name) const { return !find<QWidget>(name)->isHidden(); }
    bool enabled(const char* name) const { return find<QWidget>(name)->isEnabled(); }
    QStringList titles() const
    {
        QStringList out;
        for (const Message& m : platform.messages)
            out.append(m.title);
        return out;
    }
};

TEST_F(EntryAreaTest, EnvelopeChoicesSizesAndPrint)
{
    typeLines({u"Ann Example"_s, u"12 Long Road"_s});
    find<QRadioButton>("optLMEnvelope")->click();
    EXPECT_TRUE(find<QRadioButton>("optLandscape")->isChecked());
    EXPECT_TRUE(shown("cboLMEnvelope") && shown("chkBold") && shown("chkLargeFont"));
    EXPECT_FALSE(shown("frFeatures"));
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("txtLMLine1"));

    find<QPushButton>("cmdLMStart")->click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0],
              (Message{u"Select Envelope size"_s, u"Envelope Size"_s, MessageIcon::Warning, MessageButtons::Ok, true}));

    auto* sizes = find<QComboBox>("cboLMEnvelope");
    sizes->setCurrentIndex(2);  // #A2, as a person picks it
    emit sizes->activated(2);
    EXPECT_EQ(find<QLineEdit>("txtLMLeftPad")->text(), u"28");
    EXPECT_EQ(find<QLineEdit>("txtLMToppad")->text(), u"30");
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("cmdLMStart"));
    find<QCheckBox>("chkLargeFont")->click();

    platform.answerPrintDialog(PrintChoice{3});
    find<QPushButton>("cmdLMStart")->click();
    ASSERT_EQ(platform.printerSurface.jobs.size(), 3);
    EXPECT_FALSE(platform.printDialogs.last().labelSheet);
    const PlacedText first = platform.printerSurface.jobs[2].texts[0];
    EXPECT_EQ(first.column, 28 - 6);
    EXPECT_EQ(first.row, 1 + 1 + 30 - 7);
    EXPECT_EQ(first.font, u"Trebuchet MS");

    // Label stock then Envelope again re-applies the size still chosen; Clear Form forgets it.
    platform.answerInput(u"5"_s);
    find<QRadioButton>("optLMLabel")->click();
    EXPECT_EQ(find<QLineEdit>("txtLMLeftPad")->text(), u"2");
    find<QRadioButton>("optLMEnvelope")->click();
    EXPECT_EQ(find<QLineEdit>("txtLMLeftPad")->text(), u"28");
    EXPECT_FALSE(find<QLabel>("lblLMPosition")->isVisible());
    find<QPushButton>("cmdLMClear")->click();
    EXPECT_FALSE(shown("cboLMEnvelope") || shown("chkBold") || shown("chkLargeFont"));
    EXPECT_EQ(find<QLineEdit>("txtLMLeftPad")->text(), u"2");
}

TEST_F(EntryAreaTest, TheEnvelopeReturnAddressStartsFromTheLastLabelRunAndPrintsWhileTicked)
{
    // A run of return-address labels leaves its lines for envelopes.
    typeLines({u"Ann Example"_s, u"12 Long Road"_s, u"Springfield"_s});
    platform.answerPrintDialog(PrintChoice{1});
    platform.answerMessage(MessageResult::Ok);
    platform.answerMessage(MessageResult::No);
    find<QAction>("mnuRetAddress")->trigger();

    typeLines({u"Bob Sample"_s, u"1 Main St"_s, u"Reno, NV 89501"_s});
    find<QRadioButton>("optLMEnvelope")->click();
    auto* sizes = find<QComboBox>("cboLMEnvelope");
    sizes->setCurrentIndex(0);
    emit sizes->activated(0);
    auto* tick = find<QCheckBox>("chkLMEnvReturn");
    EXPECT_TRUE(shown("chkLMEnvReturn") && shown("cmdLMEnvReturn"));
    EXPECT_FALSE(tick->isChecked());

    // Entered once: offered as the label run left it, kept, and ticked for printing.
    QString offered;
    QTimer::singleShot(0, [&] {
        offered = find<QLineEdit>("txtEnvReturn1")->text() + u'|' + find<QLineEdit>("txtEnvReturn3")->text();
        find<QLineEdit>("txtEnvReturn2")->setText(u"14 Long Road"_s);
        find<QDialog>("dlgEnvReturn")->accept();
    });
    find<QPushButton>("cmdLMEnvReturn")->click();
    EXPECT_EQ(offered, u"Ann Example|Springfield");
    EXPECT_TRUE(tick->isChecked());
    EXPECT_EQ(platform.settings.value(u"Postwick/Envelope/PrintReturnAddress"_s), u"1");

    platform.answerPrintDialog(PrintChoice{1});
    find<QPushButton>("cmdLMStart")->click();
    QStringList printed;
    for (const PlacedText& t : platform.printerSurface.jobs.last().texts)
        printed.append(QStringLiteral("%1 %2 %3").arg(t.text).arg(t.size).arg(t.row));
    EXPECT_EQ(printed, (QStringList{u"Ann Example 9 1"_s, u"14 Long Road 9 2"_s, u"Springfield 9 3"_s,
                                    u"Bob Sample 11 33"_s, u"1 Main St 11 34"_s, u"Reno, NV 89501 11 35"_s}));
    // 3/8 inch below the envelope's top edge, which is the page's.
    EXPECT_NEAR(platform.printerSurface.jobs.last().texts[0].inchesDown, 0.125, 1e-9);

    // Unticked, it is not printed, and stays so.
    tick->click();
    platform.answerPrintDialog(PrintChoice{1});
    find<QPushButton>("cmdLMStart")->click();
    EXPECT_EQ(platform.printerSurface.jobs.last().texts.size(), 3);
    EXPECT_EQ(platform.settings.value(u"Postwick/Envelope/PrintReturnAddress"_s), u"0");

    // A correction that lifts the address off the envelope is named first; Cancel prints nothing.
    folder.write(u"PWKPARAM.TXT"_s, "ENVELOPE 0   -20\r\n");
    platform.messages.clear();
    platform.answerMessage(MessageResult::Cancel);
    find<QPushButton>("cmdLMStart")->click();
    EXPECT_EQ(platform.printerSurface.jobs.size(), 3);
    EXPECT_EQ(platform.messages.value(0).text,
              u"The address would print 1.90 in above the envelope's top edge: raise the ENVELOPE top correction to "
              "-9 or more.\n\nPrint anyway?");
}

TEST_F(EntryAreaTest, ReturnAddressModeAndTheCompletedLoop)
{
    const QString stock = u"Load printer with Avery 5167, 8167, or 18167 label stock"_s;
    // Nothing typed: the instructions, then return-address mode.
    find<QAction>("mnuRetAddress")->trigger();
    EXPECT_EQ(titles(), (QStringList{stock, u"Instructions"_s}));
    EXPECT_TRUE(shown("cmdRetAddress"));
    EXPECT_FALSE(shown("cmdLMStart"));
    EXPECT_FALSE(enabled("optLMLabel") || enabled("optLMEnvelope") || enabled("chkLblBold") || enabled("chkLblItalic")
                 || enabled("cmdLMSheet"));

    // Line 4 filled: told to leave it blank, the focus in line 4, nothing printed.
    platform.messages.clear();
    typeLines({u"Ann"_s, {}, {}, u"too much"_s});
    find<QPushButton>("cmdRetAddress")->click();
    EXPECT_EQ(titles(), (QStringList{stock, u"Small label can fit only 3 lines"_s}));
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("txtLMLine4"));

    // Two copies, Yes for another page, then the dialog cancelled: the mode stays.
    platform.messages.clear();
    typeLines({u"Ann Example"_s, u"12 Long Road"_s, u"Springfield"_s});
    find<QRadioButton>("optLMCenter")->click();
    platform.answerPrintDialog(PrintChoice{2});
    platform.answerMessage(MessageResult::Ok);
    platform.answerMessage(MessageResult::Yes);
    find<QPushButton>("cmdRetAddress")->click();
    EXPECT_EQ(platform.printerSurface.jobs.size(), 2);
    EXPECT_EQ(platform.printerSurface.jobs[0].texts.size(), 240);
    EXPECT_EQ(titles(), (QStringList{stock, u"Completed"_s, stock}));
    EXPECT_EQ(platform.messages[1].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(platform.messages[1].defaultAnswer, MessageResult::No);  // Enter feeds no more labels
    EXPECT_TRUE(platform.printDialogs.last().labelSheet);
    EXPECT_EQ(platform.printDialogs.size(), 2);
    EXPECT_TRUE(shown("cmdLMStart"));
    EXPECT_FALSE(enabled("optLMLabel"));
    EXPECT_TRUE(find<QRadioButton>("optLMCenter")->isChecked());

    // No ends the loop and gives the label choices back, left-justified.
    platform.answerPrintDialog(PrintChoice{1});
    platform.answerMessage(MessageResult::Ok);
    platform.answerMessage(MessageResult::No);
    find<QAction>("mnuRetAddress")->trigger();
    EXPECT_EQ(platform.printerSurface.jobs.size(), 3);
    EXPECT_TRUE(enabled("optLMLabel") && enabled("optLMEnvelope") && enabled("chkLblBold") && enabled("chkLblItalic")
                && enabled("cmdLMSheet"));
    EXPECT_TRUE(find<QRadioButton>("optLMLeftjust")->isChecked());
    EXPECT_FALSE(shown("cmdRetAddress"));
}

TEST_F(EntryAreaTest, PrintPreviewShowsTheJobPrintWouldMakeOverTheStock)
{
    // The same checks as Print come first.
    find<QAction>("mnuFilePreview")->trigger();
    EXPECT_EQ(titles(), QStringList{u"Missing Data"_s});
    EXPECT_TRUE(platform.previewOutlines.isEmpty());

    typeLines({u"Ann Example"_s, u"12 Long Road"_s});
    platform.answerInput(u"4-6"_s);
    find<QRadioButton>("optLMLabel")->click();
    find<QAction>("mnuFilePreview")->trigger();
    ASSERT_EQ(platform.previewOutlines.size(), 1);
    EXPECT_EQ(platform.previewOutlines[0].size(), 30);
    EXPECT_EQ(platform.previewSurface.jobs.last().texts.size(), 6);
    EXPECT_TRUE(platform.printerSurface.jobs.isEmpty());

    // Print in the preview is the real print action: the dialog, then the very same labels.
    platform.printFromPreview = true;
    platform.answerPrintDialog(PrintChoice{1});
    find<QAction>("mnuFilePreview")->trigger();
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    const QList<PlacedText>& previewed = platform.previewSurface.jobs.last().texts;
    const QList<PlacedText>& printed = platform.printerSurface.jobs.last().texts;
    ASSERT_EQ(printed.size(), previewed.size());
    for (qsizetype i = 0; i < printed.size(); ++i)
        EXPECT_TRUE(printed[i].row == previewed[i].row && printed[i].column == previewed[i].column) << i;

    platform.printFromPreview = false;
    find<QRadioButton>("optLMEnvelope")->click();
    auto* sizes = find<QComboBox>("cboLMEnvelope");
    sizes->setCurrentIndex(0);
    emit sizes->activated(0);
    find<QAction>("mnuFilePreview")->trigger();
    ASSERT_EQ(platform.previewOutlines.last().size(), 1);
    EXPECT_EQ(platform.previewOutlines.last()[0].size(), QSizeF(9.5, 4.125));
}

TEST_F(EntryAreaTest, ReturnAddressLabelsHaveTheirOwnPreviewWhosePrintIsTheRealOne)
{
    // Typed lines for address labels: the preview is still of the sheet of 80 return-address labels.
    typeLines({u"Ann Example"_s, u"12 Long Road"_s, u"Springfield"_s});
    find<QAction>("mnuRetAddressPreview")->trigger();
    ASSERT_EQ(platform.previewOutlines.size(), 1);
    EXPECT_EQ(platform.previewOutlines[0].size(), 80);
    const QList<PlacedText> previewed = platform.previewSurface.jobs.last().texts;
    EXPECT_EQ(previewed.size(), 240);
    EXPECT_EQ(previewed[0].text, u"Ann Example");
    EXPECT_TRUE(platform.printDialogs.isEmpty());

    platform.printFromPreview = true;
    platform.answerMessage(MessageResult::Ok);
    platform.answerPrintDialog(PrintChoice{1});
    platform.answerMessage(MessageResult::No);
    find<QAction>("mnuRetAddressPreview")->trigger();
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    const QList<PlacedText>& printed = platform.printerSurface.jobs[0].texts;
    ASSERT_EQ(printed.size(), previewed.size());
    for (qsizetype i : {qsizetype{0}, previewed.size() - 1})
        EXPECT_TRUE(printed[i].row == previewed[i].row && printed[i].column == previewed[i].column) << i;
    EXPECT_EQ(titles(), (QStringList{u"Load printer with Avery 5167, 8167, or 18167 label stock"_s, u"Completed"_s}));
}

TEST_F(EntryAreaTest, LinesTooWideForTheLabelAreNamedBeforeTheDialogAndMarkedInThePreview)
{
    // One word: no free line or break makes room for it.
    typeLines({u"Alexandra-Montgomery-Whitfield-of-Springfield"_s, u"12 Long Road"_s});
    platform.answerInput(u"4-5"_s);
    find<QRadioButton>("optLMLabel")->click();
    platform.answerMessage(MessageResult::Cancel);
    find<QPushButton>("cmdLMStart")->click();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, u"Lines too long");
    EXPECT_TRUE(platform.messages[0].text.contains(u"Position 4, line 1 (and 1 more label), \"Alexandra"_s));
    EXPECT_TRUE(platform.printDialogs.isEmpty());

    platform.answerMessage(MessageResult::Yes);
    platform.answerPrintDialog(PrintChoice{1});
    find<QPushButton>("cmdLMStart")->click();
    EXPECT_EQ(platform.printerSurface.jobs.size(), 1);

    find<QAction>("mnuFilePreview")->trigger();
    ASSERT_EQ(platform.previewOverrun.size(), 1);
    EXPECT_EQ(platform.previewOverrun[0].size(), 2);
}

}  // namespace
}  // namespace pw::test
