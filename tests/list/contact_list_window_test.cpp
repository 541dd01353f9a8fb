#include "list/contact_list_window.h"
#include "list/list_contacts.h"
#include "list/mailing_order.h"
#include "list/tab_stop_delegate.h"
#include "printing/sheet_positions.h"
#include "printing/stock_catalogue.h"
#include "support/main_window_fixture.h"
#include "support/qt_printers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <cstdio>

namespace pw::test {
namespace {
using namespace Qt::StringLiterals;

class ContactListTest : public MainWindowTest {
protected:
    void start(const std::vector<ContactRecord>& contacts)
    {
        writeContacts(folder.file(u"PWK_Contacts.DAT"_s), contacts);
        ASSERT_TRUE(startUp());
    }

    ContactListWindow* open(const char* command = "mnuViewAll")
    {
        return openWith<ContactListWindow>(command, "frmViewAll");
    }

    QListView* view() const { return find<QListView>("lstAllContacts"); }
    QStringList lines() const
    {
        QStringList texts;
        QAbstractItemModel* model = view()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, 0).data().toString();
        return texts;
    }
    void select(std::initializer_list<int> rows)
    {
        view()->clearSelection();
        for (int row : rows)
            view()->selectionModel()->select(view()->model()->index(row, 0), QItemSelectionModel::Select);
    }
    void edit(const char* item)
    {
        find<QMenu>("mnuVAEdit")->aboutToShow();
        find<QAction>(item)->trigger();
    }
};

std::vector<ContactRecord> threeContacts()
{
    return {person(u"zoe"_s, u"Adams"_s), person(u"Amy"_s, u"Cole"_s, u"Sparks"_s), person(u"Bob"_s, u"Bell"_s)};
}

TEST_F(ContactListTest, OpensChoosingThenListsSortedOnce)
{
    start(threeContacts());
    ContactListWindow* list = open("mnuSrchContacts");
    ASSERT_TRUE(list);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(list->windowTitle(), u"All Contacts  [PWK_Contacts]");
    EXPECT_TRUE(find<QGroupBox>("frSearch")->isVisible());
    EXPECT_TRUE(find<QRadioButton>("optSearchAll")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("optFnameSort")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("optStreetAdd")->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("cmdACGetReport"));
    EXPECT_FALSE(find<QPushButton>("cmdPrintLabels")->isEnabled());
    EXPECT_FALSE(find<QAction>("mnuPrint")->isEnabled());
    EXPECT_EQ(find<QPushButton>("cmdPrintLabels")->toolTip(), u"Print a label for each contact in list");
    EXPECT_EQ(view()->toolTip(), u"Double-click contact to view or edit details");

    find<QRadioButton>("optLnameSort")->click();
    find<QRadioButton>("optEmailAdd")->click();
    click("cmdACGetReport");
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[0].startsWith(u"Adams, zoe \tReno"));
    EXPECT_TRUE(shown[1].startsWith(u"Bell, Bob \t"));
    EXPECT_TRUE(shown[2].startsWith(u"Cole, Amy \tSparks"));
    EXPECT_EQ(view()->model()->index(2, 0).data(Qt::UserRole + 1).toInt(), 2);
    EXPECT_EQ(find<QLineEdit>("txtViewAllHeader")->text().simplified(), u"Name City ST Zip Home Cell Email Address");
    EXPECT_EQ(find<QLineEdit>("txtViewAllHeader")->font().pointSizeF(), 12);
    EXPECT_EQ(find<QLabel>("lblTotContacts")->text(), u"Contacts Found = 3");
    EXPECT_FALSE(find<QLabel>("lblSearchDisplay")->isVisible());
    for (const char* group : {"frSearch", "frSortOrder", "frShowStreet"})
        EXPECT_FALSE(find<QGroupBox>(group)->isVisible()) << group;
    EXPECT_FALSE(find<QPushButton>("cmdACGetReport")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("cmdPrintLabels")->isEnabled());
    EXPECT_TRUE(find<QAction>("mnuPrint")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("cmdViewAllClose"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(ContactListTest, OneSearchAskedAtOnceAndShownWithTheList)
{
    start(threeContacts());
    open();
    platform.answerInput(u"spa"_s);
    find<QRadioButton>("optSearchCity")->click();
    ASSERT_EQ(platform.inputs.size(), 1);
    EXPECT_EQ(platform.inputs[0], (ScriptedPlatform::InputCall{u"Search For: "_s, u"City Search"_s, QString()}));
    EXPECT_EQ(find<QLabel>("lblSearchDisplay")->text(), u"spa");
    EXPECT_TRUE(find<QLabel>("lblSearchDisplay")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("cmdACGetReport"));
    click("cmdACGetReport");
    ASSERT_EQ(lines().size(), 1);
    EXPECT_TRUE(lines()[0].startsWith(u"Amy Cole\t12 Main St"));
    EXPECT_EQ(find<QLabel>("lblSearchDisplay")->text(), u"City = spa");
    EXPECT_EQ(find<QLabel>("lblTotContacts")->text(), u"Contacts Found = 1");
}

TEST_F(ContactListTest, NothingFoundSaysSoAndLeavesGetReportEnabled)
{
    start({});
    open();
    platform.answerInput(u"x"_s);
    find<QRadioButton>("optSearchZip")->click();
    click("cmdACGetReport");
    const Message nothingFound{u"No contacts found."_s, u"Contact file empty."_s};
    EXPECT_EQ(platform.messages, QList{nothingFound});
    EXPECT_EQ(find<QLabel>("lblTotContacts")->text(), u"Contacts Found = 0");
    EXPECT_EQ(find<QLabel>("lblSearchDisplay")->text(), u"Zip = x");
    EXPECT_TRUE(find<QPushButton>("cmdACGetReport")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("cmdPrintLabels")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("cmdViewAllClose"));

    // Labels of an empty list: the message, and no print dialog.
    click("cmdPrintLabels");
    EXPECT_EQ(platform.messages.last().text, u"Empty list, no labels to print.");
    EXPECT_TRUE(platform.printDialogs.isEmpty());
}

TEST_F(ContactListTest, LinesPastedAfterAnEmptyResultAreSortedInWithWhatTheNextGetReportFinds)
{
    start({});
    open();
    click("cmdACGetReport");
    view()->setFocus();
    platform.setClipboardText(u"Bob pasted"_s);
    edit("mnuVAEditPaste");
    // Another program adds contacts to the file before the second press.
    writeContacts(folder.file(u"PWK_Contacts.DAT"_s), threeContacts());
    click("cmdACGetReport");
    const QStringList listed = lines();
    ASSERT_EQ(listed.size(), 4);
    EXPECT_TRUE(listed[0].startsWith(u"Amy Cole\t"));
    EXPECT_TRUE(listed[1].startsWith(u"Bob Bell\t"));
    EXPECT_EQ(listed[2], u"Bob pasted");
    EXPECT_TRUE(listed[3].startsWith(u"zoe Adams\t"));
    EXPECT_EQ(find<QLabel>("lblTotContacts")->text(), u"Contacts Found = 3");
}

TEST_F(ContactListTest, EditMenuCopiesCutsAndPastesWholeLines)
{
    start(threeContacts());
    open();
    click("cmdACGetReport");
    const QStringList before = lines();
    view()->setFocus();
    select({2, 0});
    QTest::keyClick(view(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.clipboardText(), u"\r\n"_s + before[0] + u"\r\n"_s + before[2]);
    edit("mnuVAEditCut");
    EXPECT_EQ(lines(), QStringList{before[1]});
    EXPECT_EQ(platform.clipboardText(), u"\r\n"_s + before[0] + u"\r\n"_s + before[2]);

    // Pasted pieces are sorted in, the empty one before the line break included.
    edit("mnuVAEditPaste");
    EXPECT_EQ(lines(), (QStringList{QString(), before[0], before[1], before[2]}));
    platform.setClipboardText(QString());
    edit("mnuVAEditPaste");
    EXPECT_EQ(lines().size(), 5);
    edit("mnuVAEditSelAll");
    EXPECT_EQ(view()->selectionModel()->selectedIndexes().size(), 5);

    // The header box is a text box: Cut and Copy only with a selection, on its text.
    auto* header = find<QLineEdit>("txtViewAllHeader");
    header->setFocus();
    header->setSelection(0, 4);
    edit("mnuVAEditCopy");
    EXPECT_EQ(platform.clipboardText(), u"Name");
    header->deselect();
    find<QMenu>("mnuVAEdit")->aboutToShow();
    EXPECT_FALSE(find<QAction>("mnuVAEditCopy")->isEnabled());
    edit("mnuVAEditSelAll");
    EXPECT_EQ(header->selectedText(), header->text());
    EXPECT_EQ(lines().size(), 5);
}

TEST_F(ContactListTest, ClosingGoesBackToTheMainWindow)
{
    start(threeContacts());
    // Close: the main window, its label Bold and Italic boxes cleared.
    find<QCheckBox>("chkLblBold")->setChecked(true);
    find<QCheckBox>("chkLblItalic")->setChecked(true);
    QPointer<ContactListWindow> list = open();
    QSignalSpy closedByButton(list.data(), &ContactListWindow::closed);
    click("cmdACGetReport");
    click("cmdViewAllClose");
    settle();
    EXPECT_TRUE(list.isNull());
    ASSERT_EQ(closedByButton.size(), 1);
    EXPECT_EQ(closedByButton[0][0].value<ListExit>(), ListExit::CloseButton);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(find<QCheckBox>("chkLblBold")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("chkLblItalic")->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>("txtLMLine1"));

    // Esc closes it as the frame does, leaving the label boxes alone.
    find<QCheckBox>("chkLblBold")->setChecked(true);
    list = open();
    QSignalSpy closedByFrame(list.data(), &ContactListWindow::closed);
    QTest::keyClick(list, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(list.isNull());
    // The frame's way back, which goes to the contact editor when it holds a record.
    ASSERT_EQ(closedByFrame.size(), 1);
    EXPECT_EQ(closedByFrame[0][0].value<ListExit>(), ListExit::Frame);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(find<QCheckBox>("chkLblBold")->isChecked());
}

TEST_F(ContactListTest, DoubleClickAsksForTheEditorWithTheLinesRecord)
{
    start(threeContacts());
    QPointer<ContactListWindow> list = open();
    QSignalSpy edits(list.data(), &ContactListWindow::editRequested);
    click("cmdACGetReport");

    // A pasted line has no record: the error prompt, and Retry leaves the window as it was.
    platform.setClipboardText(u"pasted"_s);
    view()->setFocus();
    edit("mnuVAEditPaste");
    const int pasted = static_cast<int>(lines().indexOf(u"pasted"_s));
    platform.answerMessage(MessageResult::Retry);
    view()->activated(view()->model()->index(pasted, 0));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].text, u"An error has occurred. Error number 63 -- Bad record number.  Try again, or notify author.");
    EXPECT_EQ(edits.size(), 0);
    EXPECT_FALSE(list.isNull());
    EXPECT_EQ(lines().size(), 4);
    QSignalSpy closed(list.data(), &ContactListWindow::closed);

    // "Bob Bell" is record 3.
    const QStringList shown = lines();
    const auto bob = std::find_if(shown.begin(), shown.end(), [](const QString& l) { return l.startsWith(u"Bob Bell"); });
    const int row = static_cast<int>(bob - shown.begin());
    settle();
    const QPoint at = view()->visualRect(view()->model()->index(row, 0)).center();
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, at);
    settle();
    ASSERT_EQ(edits.size(), 1);
    EXPECT_EQ(edits[0][0].toInt(), 3);
    EXPECT_TRUE(list.isNull());
    ASSERT_EQ(closed.size(), 1);
    EXPECT_EQ(closed[0][0].value<ListExit>(), ListExit::Editor);
    // The editor opens on that contact, ready to edit.
    auto* editor = find<QMainWindow>("frmEdDelViewContact");
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(find<QLineEdit>("txtACFName")->text(), u"Bob");
    EXPECT_TRUE(find<QLineEdit>("txtACFName")->isEnabled());
    editor->close();
    settle();
    EXPECT_TRUE(window->isVisible());

    // Cancel at the error prompt closes the list back to the main window.
    list = open();
    click("cmdACGetReport");
    platform.setClipboardText(u"pasted"_s);
    view()->setFocus();
    edit("mnuVAEditPaste");
    platform.answerMessage(MessageResult::Cancel);
    // Enter on the selected line opens it, as a double click does.
    view()->setCurrentIndex(view()->model()->index(static_cast<int>(lines().indexOf(u"pasted"_s)), 0));
    QTest::keyClick(view(), Qt::Key_Return);
    settle();
    EXPECT_TRUE(list.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(edits.size(), 1);
}

// Where each piece of a row, and each heading, begins: pixels across the window.
QList<int> pieceXs(QListView* view, int row)
{
    const auto* delegate = static_cast<TabStopDelegate*>(view->itemDelegate());
    const QModelIndex index = view->model()->index(row, 0);
    const int left = view->viewport()->mapTo(view->window(), view->visualRect(index).topLeft()).x();
    QList<int> xs;
    for (const TabStopDelegate::Piece& piece : delegate->layOut(index.data().toString(), QFontMetricsF(view->font())))
        xs << left + TabStopDelegate::kPadding + qRound(piece.x);
    return xs;
}

QList<int> headingXs(QLineEdit* header, AddressDisplay display)
{
    QList<int> xs;
    qsizetype at = 0;
    for (const QString& heading : listHeadings(display)) {
        at = header->text().indexOf(heading, at);
        if (at < 0)
            break;
        header->setCursorPosition(static_cast<int>(at));
        // The caret's rectangle is centred on it.
        const QRect caret = header->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        xs << header->mapTo(header->window(), QPoint(caret.x() + caret.width() / 2, 0)).x();
    }
    return xs;
}

TEST_F(ContactListTest, PiecesStandInTheirColumnsUnderTheirHeadings)
{
    ContactRecord wide = person(u"Wm"_s, u"Wadsworth"_s, u"Colorado Springs"_s);
    wide.MiddleInitial = u"W"_s;
    wide.HomePhone = u"(796) 555-1050"_s;
    ContactRecord longest = person(u"WWWWWWWWWWWWWW"_s, u"WWWWWWWWWWWWWWWWWW"_s);
    start({person(u"Ili"_s, u"Lil"_s, u"Ila"_s), wide, longest});
    open();
    const auto straight = [&](int rows, AddressDisplay display) {
        const QList<int> columns = pieceXs(view(), 0);
        for (int row = 1; row < rows; ++row)
            EXPECT_EQ(pieceXs(view(), row), columns) << row;
        // Each heading within half of its font's blank of its column.
        auto* header = find<QLineEdit>("txtViewAllHeader");
        const QList<int> headings = headingXs(header, display);
        const double blank = QFontMetricsF(header->font()).horizontalAdvance(u' ');
        ASSERT_EQ(headings.size(), 7) << header->text().toStdString();
        for (int at = 0; at < 7; ++at)
            EXPECT_NEAR(headings[at], columns[at], blank / 2 + 2) << header->text().toStdString();
        header->setCursorPosition(0);
    };
    click("cmdACGetReport");
    ASSERT_EQ(lines().size(), 3);
    straight(2, AddressDisplay::Street);
    // A name too long for its column pushes what follows on by a blank, never over it, as far as
    // the column that has room.
    const auto* delegate = static_cast<TabStopDelegate*>(view()->itemDelegate());
    const QFontMetricsF metrics(view()->font());
    const QList<TabStopDelegate::Piece> pushed = delegate->layOut(lines()[2], metrics);
    ASSERT_EQ(pushed[0].text, u"WWWWWWWWWWWWWW WWWWWWWWWWWWWWWWWW");
    EXPECT_DOUBLE_EQ(pushed[1].x, metrics.horizontalAdvance(pushed[0].text) + metrics.horizontalAdvance(u' '));
    EXPECT_EQ(pushed[1].text, u"12 Main St");
    EXPECT_EQ(pieceXs(view(), 2).mid(5), pieceXs(view(), 0).mid(5));

    // New search: back to the choices, the list and its totals gone, the sort and display kept.
    auto* newSearch = find<QPushButton>("cmdNewSearch");
    EXPECT_TRUE(newSearch->isVisible());
    find<QRadioButton>("optEmailAdd")->click();
    platform.answerInput(u"Ila"_s);
    find<QRadioButton>("optSearchCity")->click();
    newSearch->click();
    for (const char* group : {"frSearch", "frSortOrder", "frShowStreet"})
        EXPECT_TRUE(find<QGroupBox>(group)->isVisible()) << group;
    EXPECT_FALSE(newSearch->isVisible());
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(find<QLabel>("lblTotContacts")->text(), u"");
    EXPECT_FALSE(find<QLabel>("lblSearchDisplay")->isVisible());
    EXPECT_TRUE(find<QRadioButton>("optSearchAll")->isChecked());
    EXPECT_FALSE(find<QPushButton>("cmdPrintLabels")->isEnabled());
    EXPECT_FALSE(find<QAction>("mnuPrint")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("cmdACGetReport"));
    EXPECT_TRUE(find<QRadioButton>("optEmailAdd")->isChecked());
    click("cmdACGetReport");
    EXPECT_EQ(find<QLabel>("lblTotContacts")->text(), u"Contacts Found = 3");
    EXPECT_TRUE(find<QLineEdit>("txtViewAllHeader")->text().endsWith(u" Email Address"));
    straight(2, AddressDisplay::Email);
}

TEST_F(ContactListTest, PrintsTheListAsReportAndAsLabels)
{
    start(threeContacts());
    open();
    click("cmdACGetReport");
    find<QCheckBox>("chkLblBold")->setChecked(true);
    platform.answerPrintDialog(PrintChoice{1});
    click("cmdPrintLabels");
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    const QList<PlacedText> labels = platform.printerSurface.jobs[0].texts;
    EXPECT_EQ(labels[0].text, u"Amy Cole");
    const auto bob = std::find_if(labels.begin(), labels.end(), [](const PlacedText& t) { return t.text == u"Bob Bell"; });
    ASSERT_NE(bob, labels.end());
    EXPECT_EQ(bob->column, 41);
    EXPECT_TRUE(labels[0].bold);
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("cmdViewAllClose"));

    view()->setFocus();
    select({1});
    platform.answerPrintDialog(PrintChoice{1, true});
    find<QAction>("mnuPrint")->trigger();
    EXPECT_EQ(platform.printDialogs.last(), (PrintDialogRequest{true, true, 1, 1}));
    ASSERT_EQ(platform.printerSurface.jobs.size(), 2);
    ASSERT_EQ(platform.printerSurface.jobs[1].texts.size(), 1);
    EXPECT_EQ(platform.printerSurface.jobs[1].texts[0].text, lines()[1]);
}

TEST_F(ContactListTest, LabelsOfAFileReplacedSinceTheListWasMadeAreNotPrinted)
{
    start(threeContacts());
    open();
    click("cmdACGetReport");
    // A sync client puts a file of other people in place of the listed one.
    const QString path = folder.file(u"PWK_Contacts.DAT"_s);
    const QString other = folder.file(u"other.DAT"_s);
    writeContacts(other, {person(u"Cy"_s, u"Fox"_s), person(u"Di"_s, u"Gray"_s), person(u"Ed"_s, u"Hale"_s)});
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
    platform.answerPrintDialog(PrintChoice{1});
    click("cmdPrintLabels");
    EXPECT_TRUE(platform.printDialogs.isEmpty());
    EXPECT_TRUE(platform.printerSurface.jobs.isEmpty());
    EXPECT_EQ(platform.messages.last(), listReplacedMessage(path));
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), find<QPushButton>("cmdACGetReport"));

    // Get report again lists the file's contacts, and their labels print.
    click("cmdACGetReport");
    EXPECT_TRUE(lines().first().startsWith(u"Cy Fox\t"));
    click("cmdPrintLabels");
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    EXPECT_EQ(platform.printerSurface.jobs[0].texts[0].text, u"Cy Fox");
}

TEST_F(ContactListTest, LabelsGoOnTheChosenStockWithItsOwnSheetMemoryPictureAndPreview)
{
    start(threeContacts());
    open();
    click("cmdACGetReport");
    // A partly used 30-label sheet says nothing of a 10-label one.
    setUsedPositions(platform, labelSheetStock(), rangePositions(1, 7));
    auto* stocks = find<QComboBox>("cboLabelStock");
    EXPECT_EQ(stocks->currentText(), u"5160: 30 labels, 2 5/8 x 1 in");
    stocks->setCurrentIndex(stocks->findText(u"5163: 10 labels, 4 x 2 in"_s));
    const LabelStock& stock = *labelStockNamed(u"5163");

    // Its picture shows its ten labels to mark used; the list then goes on from the first free one.
    platform.answerSheet(SheetChoice{{}, {1, 2, 3}});
    click("cmdLabelSheet");
    EXPECT_EQ(platform.sheetPictures, (QList{SheetPicture{u"5163"_s, stock.outlines(), false}}));
    EXPECT_EQ(platform.sheetsOffered, (QList{SheetChoice{}}));
    EXPECT_TRUE(find<QCheckBox>("chkFreeStart")->isChecked());

    // The preview shows that sheet with the used labels shaded and Amy Cole on label 4, the right
    // one of the second row, a label 2 in high.
    click("cmdPreviewLabels");
    EXPECT_EQ(platform.previewOutlines, QList<QList<QRectF>>{stock.outlines()});
    EXPECT_EQ(platform.previewUsed, QList<QList<QRectF>>{stock.outlines().mid(0, 3)});
    const PlacedText shown = platform.previewSurface.jobs.last().texts[0];
    EXPECT_EQ(shown.text, u"Amy Cole");
    EXPECT_EQ(shown.column, 68);
    EXPECT_GT(0.25 + shown.inchesDown, 2.5);
    EXPECT_LT(0.25 + shown.inchesDown, 4.5);

    platform.answerPrintDialog(PrintChoice{1});
    click("cmdPrintLabels");
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    EXPECT_EQ(platform.printerSurface.jobs[0].texts[0].inchesDown, shown.inchesDown);
    EXPECT_EQ(usedPositions(platform, stock), rangePositions(1, 6));
    EXPECT_EQ(usedPositions(platform, labelSheetStock()), rangePositions(1, 7));

    // The next opening offers the same stock.
    click("cmdViewAllClose");
    open();
    EXPECT_EQ(find<QComboBox>("cboLabelStock")->currentText(), u"5163: 10 labels, 4 x 2 in");
}

TEST_F(ContactListTest, AnA4StockIsFoundByTypingItsPartAndItsUsedLabelsAreSkipped)
{
    const LabelStock* stock = findStock(installedStocks(), u"L7160").stock;
    if (!stock)
        GTEST_SKIP() << "the label template collection is not installed";
    start(threeContacts());
    open();
    click("cmdACGetReport");
    auto* stocks = find<QComboBox>("cboLabelStock");
    stocks->setFocus();
    stocks->lineEdit()->selectAll();
    QTest::keyClicks(stocks->lineEdit(), u"l7160"_s);
    QTest::keyClick(stocks->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(stocks->currentText(), u"Avery L7160: 21 labels, 2.5 x 1.5 in (63.5 x 38.1 mm), A4");

    // Its picture is the A4 sheet; the five labels marked used there are skipped by the next run.
    platform.answerSheet(SheetChoice{{}, {1, 2, 3, 4, 5}});
    click("cmdLabelSheet");
    ASSERT_EQ(platform.sheetPictures.size(), 1);
    EXPECT_EQ(platform.sheetPictures[0].page, kA4Inches);
    EXPECT_EQ(platform.sheetPictures[0].labels, stock->outlines());
    platform.answerPrintDialog(PrintChoice{1});
    click("cmdPrintLabels");
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    const auto& job = platform.printerSurface.jobs[0];
    EXPECT_EQ(job.paperInches, QList<QSizeF>{kA4Inches});
    // Amy Cole on label 6, the right one of the second row.
    EXPECT_EQ(job.texts[0].text, u"Amy Cole");
    const QRectF sixth = stock->outlines()[5];
    EXPECT_GT(0.25 + job.texts[0].inchesDown, sixth.top());
    EXPECT_LT(0.25 + job.texts[0].inchesDown, sixth.bottom());
    EXPECT_EQ(usedPositions(platform, *stock), rangePositions(1, 8));
    EXPECT_TRUE(usedPositions(platform, labelSheetStock()).isEmpty());
}

TEST_F(ContactListTest, LabelsPerHouseholdInZipOrderOfCompleteAddressesOnly)
{
    ContactRecord amy = person(u"Amy"_s, u"Cole"_s);
    amy.Street1 = u"3 Elm Rd"_s;
    amy.Zip = u"10001"_s;
    ContactRecord bob = person(u"Bob"_s, u"Bell"_s);
    bob.Street1.clear();
    ContactRecord bart = person(u"Bartholomew"_s, u"Worthington"_s);
    bart.Street1 = u"12 MAIN STREET"_s;
    start({person(u"Alexandra"_s, u"Montgomery"_s), amy, bob, bart});
    open();
    click("cmdACGetReport");
    EXPECT_EQ(find<QCheckBox>("chkHouseholds")->text(), u"One label per ho&usehold");
    for (const char* choice : {"chkHouseholds", "chkZipOrder", "chkCompleteOnly"})
        find<QCheckBox>(choice)->setChecked(true);

    // Who gets no label is said before the print dialog; the household's long name line wraps onto
    // the label's free line rather than being cut.
    platform.answerMessage(MessageResult::Ok, [&] { EXPECT_TRUE(platform.printDialogs.isEmpty()); });
    platform.answerPrintDialog(PrintChoice{1});
    click("cmdPrintLabels");
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0], leftOutMessage({u"Bob Bell"_s}));
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    QStringList printed;
    for (const PlacedText& t : platform.printerSurface.jobs[0].texts)
        printed << t.text;
    EXPECT_EQ(printed, (QStringList{u"Amy Cole"_s, u"3 Elm Rd"_s, u"Reno, NV  10001"_s,
                                    u"Alexandra Montgomery & Bartholomew"_s, u"Worthington"_s, u"12 Main St"_s,
                                    u"Reno, NV  89501"_s}));
}

}  // namespace
}  // namespace pw::test
