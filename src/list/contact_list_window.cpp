#include "list/contact_list_window.h"

#include "data/contacts_file.h"
#include "list/contact_line_model.h"
#include "list/contact_report.h"
#include "list/list_labels.h"
#include "list/mailing_order.h"
#include "list/tab_stop_delegate.h"
#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "printing/font_grid.h"
#include "printing/sheet_positions.h"
#include "program/app_files.h"
#include "widgets/named_widgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pw {
namespace {

// The list and its header were laid out for this face; the metric table gives its grid and its
// installed stand-in.
const QString kListFamily = QStringLiteral("MS Sans Serif");
constexpr double kListPoints = 9.75;

QFont listFont(bool bold, double points)
{
    const FontGrid* grid = fontGrid(kListFamily, bold, false);
    QFont font(grid ? grid->standIn : kListFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A quarter of the list font's average character width in the view's pixels.
double quarterWidth(const QWidget* view)
{
    const FontGrid* grid = fontGrid(kListFamily, false, false);
    const double pixelsPerEm = kListPoints * view->logicalDpiY() / 72.0;
    return (grid ? grid->averageWidth : 0.44) * pixelsPerEm / 4;
}

}  // namespace

ContactListWindow::ContactListWindow(Platform& platform, ContactsFile& contacts, const QString& fileTitle,
                                     LabelStyle labelStyle, QWidget* parent)
    : SecondaryWindow(platform, "frmViewAll", QStringLiteral("All Contacts"), fileTitle, parent), contacts_(contacts),
      fileTitle_(fileTitle), labelStyle_(std::move(labelStyle))
{
    buildMenus();

    cmdACGetReport_ = named<QPushButton>("cmdACGetReport", QStringLiteral("&Get report"));
    cmdPrintLabels_ = namedWithTip<QPushButton>("cmdPrintLabels", QStringLiteral("&Print labels"),
                                                QStringLiteral("Print a label for each contact in list"));
    cmdViewAllClose_ = named<QPushButton>("cmdViewAllClose", QStringLiteral("&Close"));
    cmdNewSearch_ = named<QPushButton>("cmdNewSearch", QStringLiteral("&New search"));
    cmdNewSearch_->hide();
    cmdPrintLabels_->setEnabled(false);
    chkFreeStart_ = namedWithTip<QCheckBox>("chkFreeStart", QStringLiteral("Start at the first free &label"),
                                            QStringLiteral("Leaves the labels already used on the sheet in the "
                                                           "printer blank"));
    chkHouseholds_ = namedWithTip<QCheckBox>("chkHouseholds", QStringLiteral("One label per ho&usehold"),
                                             QStringLiteral("Contacts at the same address share one label"));
    chkZipOrder_ = namedWithTip<QCheckBox>("chkZipOrder", QStringLiteral("Labels in &ZIP order"),
                                           QStringLiteral("By ZIP code, then name, for presorted mail; "
                                                          "addresses abroad after them, by country"));
    chkCompleteOnly_ = namedWithTip<QCheckBox>("chkCompleteOnly", QStringLiteral("Only co&mplete addresses"),
                                               QStringLiteral("No label for a contact without a street, or "
                                                              "with neither a city nor a ZIP code"));

    txtViewAllHeader_ = named<QLineEdit>("txtViewAllHeader");
    txtViewAllHeader_->setFont(listFont(true, kListPoints));

    model_ = new ContactLineModel(this);
    lstAllContacts_ = named<QListView>("lstAllContacts");
    lstAllContacts_->setToolTip(QStringLiteral("Double-click contact to view or edit details"));
    lstAllContacts_->setFont(listFont(false, kListPoints));
    lstAllContacts_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstAllContacts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstAllContacts_->setUniformItemSizes(true);
    lstAllContacts_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    delegate_ = new TabStopDelegate(quarterWidth(lstAllContacts_), lstAllContacts_);
    delegate_->setColumns(listColumns(AddressDisplay::Street));
    lstAllContacts_->setItemDelegate(delegate_);
    lstAllContacts_->setModel(model_);

    lblSearchDisplay_ = named<QLabel>("lblSearchDisplay");
    lblSearchDisplay_->hide();
    lblTotContacts_ = named<QLabel>("lblTotContacts");

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildChoices());
    layout->addWidget(txtViewAllHeader_);
    layout->addWidget(lstAllContacts_, 1);
    auto* status = new QHBoxLayout;
    status->addWidget(lblSearchDisplay_);
    status->addStretch();
    status->addWidget(lblTotContacts_);
    layout->addLayout(status);
    setCentralWidget(central);
    resize(1000, 680);

    connect(cmdACGetReport_, &QPushButton::clicked, this, &ContactListWindow::getReport);
    connect(cmdPrintLabels_, &QPushButton::clicked, this, &ContactListWindow::printLabels);
    connect(cmdViewAllClose_, &QPushButton::clicked, this, [this] { closeTo(ListExit::CloseButton); });
    connect(cmdNewSearch_, &QPushButton::clicked, this, &ContactListWindow::newSearch);
    // Enter on a line opens its contact, as a double click does (or a single one, where the desktop
    // opens items so).
    connect(lstAllContacts_, &QListView::activated, this, [this](const QModelIndex& index) { openContact(index.row()); });
    cmdACGetReport_->setFocus();
}

QWidget* ContactListWindow::buildChoices()
{
    frSearch_ = named<QGroupBox>("frSearch", QStringLiteral("Search"));
    auto* searchLayout = new QGridLayout(frSearch_);
    int at = 0;
    for (const SearchOption& option : searchOptions()) {
        auto* button = named<QRadioButton>(option.optionName, option.caption);
        searchLayout->addWidget(button, at % 5, at / 5);
        ++at;
        if (option.kind == SearchKind::All)
            optSearchAll_ = button;
        connect(button, &QRadioButton::toggled, this, [this, kind = option.kind](bool on) {
            if (on)
                chooseSearch(kind);
        });
    }

    frSortOrder_ = named<QGroupBox>("frSortOrder");
    auto* sortLayout = new QVBoxLayout(frSortOrder_);
    auto* optLnameSort = named<QRadioButton>("optLnameSort", QStringLiteral("Sort by last name"));
    optFnameSort_ = named<QRadioButton>("optFnameSort", QStringLiteral("Sort by first name"));
    sortLayout->addWidget(optLnameSort);
    sortLayout->addWidget(optFnameSort_);
    connect(optLnameSort, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseSortOrder(SortOrder::LastName);
    });
    connect(optFnameSort_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseSortOrder(SortOrder::FirstName);
    });

    frShowStreet_ = named<QGroupBox>("frShowStreet");
    auto* showLayout = new QVBoxLayout(frShowStreet_);
    auto* optStreetAdd = named<QRadioButton>("optStreetAdd", QStringLiteral("Show street address"));
    optEmailAdd_ = named<QRadioButton>("optEmailAdd", QStringLiteral("Show email address"));
    optStreetAdd->setChecked(true);
    showLayout->addWidget(optStreetAdd);
    showLayout->addWidget(optEmailAdd_);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdACGetReport_);
    buttons->addWidget(cmdNewSearch_);
    buttons->addWidget(cmdPrintLabels_);
    buttons->addLayout(buildLabelStockChoice());
    for (QCheckBox* choice : {chkHouseholds_, chkZipOrder_, chkCompleteOnly_})
        buttons->addWidget(choice);
    buttons->addWidget(cmdViewAllClose_);
    buttons->addStretch();

    auto* choices = new QWidget;
    auto* row = new QHBoxLayout(choices);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(frSearch_);
    auto* groups = new QVBoxLayout;
    groups->addWidget(frSortOrder_);
    groups->addWidget(frShowStreet_);
    groups->addStretch();
    row->addLayout(groups);
    row->addStretch();
    row->addLayout(buttons);
    return choices;
}

void ContactListWindow::buildMenus()
{
    QMenu* file = addMenu(menuBar(), "mnuFile", QStringLiteral("&File"));
    mnuPrint_ = addItem(file, "mnuPrint", QStringLiteral("&Print"));
    mnuPrint_->setShortcut(QKeySequence::Print);
    mnuPrint_->setEnabled(false);
    connect(mnuPrint_, &QAction::triggered, this, &ContactListWindow::printReport);

    const auto [edit, cut, copy, paste] =
        addEditMenu("mnuVAEdit", "mnuVAEditCut", "mnuVAEditCopy", "mnuVAEditPaste");
    QAction* selectAllItem = addItem(edit, "mnuVAEditSelAll", QStringLiteral("Select &All"));
    cut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    selectAllItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    // The header box is served like every text box; the list's lines here.
    connect(copy, &QAction::triggered, this, &ContactListWindow::copyLines);
    connect(cut, &QAction::triggered, this, &ContactListWindow::cutLines);
    connect(paste, &QAction::triggered, this, &ContactListWindow::pasteLines);
    connect(selectAllItem, &QAction::triggered, this, &ContactListWindow::selectAll);

    addHelpMenu("mnuVAHelp", "mnuVAManual", "mnuVAAbout");
}

void ContactListWindow::startSearch()
{
    frSearch_->show();
    optSearchAll_->setChecked(true);
    optFnameSort_->setChecked(true);
    cmdACGetReport_->setFocus();
}

void ContactListWindow::chooseSearch(SearchKind kind)
{
    search_.kind = kind;
    if (kind == SearchKind::All) {
        lblSearchDisplay_->hide();
        return;
    }
    search_.text = platform().inputBox(kSearchPrompt, searchOption(kind).inputTitle, {});
    lblSearchDisplay_->setText(search_.text);
    lblSearchDisplay_->show();
    focusAfterDialog(cmdACGetReport_);
}

void ContactListWindow::chooseSortOrder(SortOrder order)
{
    order_ = order;
    cmdACGetReport_->setFocus();
}

AddressDisplay ContactListWindow::display() const
{
    return optEmailAdd_->isChecked() ? AddressDisplay::Email : AddressDisplay::Street;
}

void ContactListWindow::getReport()
{
    const AddressDisplay shown = display();
    delegate_->setColumns(listColumns(shown));
    for (QGroupBox* group : {frSearch_, frSortOrder_, frShowStreet_})
        group->hide();
    cmdNewSearch_->show();
    QFont headerFont = txtViewAllHeader_->font();
    headerFont.setPointSizeF(12);
    txtViewAllHeader_->setFont(headerFont);
    showHeader(shown);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    Expected<std::vector<ContactLine>> found = contactLines(contacts_, search_, order_, shown);
    QApplication::restoreOverrideCursor();
    if (!found) {
        if (showErrorPrompt(platform(), found.error()) == MessageResult::Cancel)
            closeTo(ListExit::Failure);
        return;
    }
    listedAt_ = contacts_.follows();
    const auto matches = found->size();
    // Lines already listed stay: a second press follows only an empty result, and pasted lines
    // are sorted in with the new ones.
    std::vector<ContactLine> lines = std::move(*found);
    if (!model_->lines().empty()) {
        lines.insert(lines.begin(), model_->lines().begin(), model_->lines().end());
        sortLines(lines);
    }
    model_->setLines(std::move(lines));

    const QString label = searchLabel(search_);
    lblSearchDisplay_->setText(label);
    lblSearchDisplay_->setVisible(!label.isEmpty());
    cmdPrintLabels_->setEnabled(true);
    cmdPreviewLabels_->setEnabled(true);
    lblTotContacts_->setText(QStringLiteral("Contacts Found = ") + QString::number(matches));
    mnuPrint_->setEnabled(true);
    cmdViewAllClose_->setFocus();
    if (matches != 0) {
        cmdACGetReport_->setEnabled(false);
        return;
    }
    platform().message({QStringLiteral("No contacts found."), QStringLiteral("Contact file empty.")});
    focusAfterDialog(cmdViewAllClose_);
}

void ContactListWindow::showHeader(AddressDisplay shown)
{
    // The headings are placed by blanks in the header's own font, each over the column of its
    // pieces: the distance between the two text origins is measured on the laid-out window.
    txtViewAllHeader_->clear();
    txtViewAllHeader_->show();
    layout()->activate();
    centralWidget()->layout()->activate();
    // The caret's rectangle is centred on the caret, here at the text's origin.
    const QRect caret = txtViewAllHeader_->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int header = txtViewAllHeader_->mapTo(this, QPoint(caret.x() + caret.width() / 2, 0)).x();
    const int list = lstAllContacts_->viewport()->mapTo(this, QPoint(TabStopDelegate::kPadding, 0)).x();
    txtViewAllHeader_->setText(
        delegate_->headerLine(listHeadings(shown), QFontMetricsF(txtViewAllHeader_->font()), list - header));
    txtViewAllHeader_->setCursorPosition(0);
}

void ContactListWindow::newSearch()
{
    // Back to the choices as the window opened, the last choices of sort and display kept.
    model_->clear();
    txtViewAllHeader_->clear();
    lblTotContacts_->clear();
    lblSearchDisplay_->hide();
    for (QGroupBox* group : {frSearch_, frSortOrder_, frShowStreet_})
        group->show();
    cmdNewSearch_->hide();
    cmdPrintLabels_->setEnabled(false);
    cmdPreviewLabels_->setEnabled(false);
    mnuPrint_->setEnabled(false);
    cmdACGetReport_->setEnabled(true);
    optSearchAll_->setChecked(true);
    search_ = {};
    cmdACGetReport_->setFocus();
}

void ContactListWindow::openContact(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return;
    const int record = model_->line(row).record();
    // The record is read here so that a line without one, or a record gone from the file, is
    // reported in this window rather than in the editor.
    if (const Expected<ContactRecord> read = contacts_.read(record); !read) {
        if (showErrorPrompt(platform(), read.error()) == MessageResult::Cancel)
            closeTo(ListExit::Failure);
        return;
    }
    model_->clear();
    emit editRequested(record);
    closeTo(ListExit::Editor);
}

void ContactListWindow::printReport()
{
    ReportRequest request;
    request.lines.reserve(model_->rowCount());
    for (const ContactLine& line : model_->lines())
        request.lines.append(line.text().toString());
    for (int row : selectedRows())
        request.selectedLines.append(model_->line(row).text().toString());
    request.headerSelection = txtViewAllHeader_->selectedText();
    request.headerFocused = headerFocused();
    request.display = display();
    request.fileTitle = fileTitle_;
    printContactReport(platform(), request);
}

void ContactListWindow::printLabels()
{
    const auto [bold, italic] = labelStyle_ ? labelStyle_() : std::pair{false, false};
    const std::optional<Mailing> mailing = listedMailing();
    if (!mailing)
        return;
    if (mailing->damaged > 0)
        platform().message({ContactsFile::damagedSkippedText(mailing->damaged), QStringLiteral("Damaged records"),
                            MessageIcon::Information});
    if (!mailing->leftOut.isEmpty())
        platform().message(leftOutMessage(mailing->leftOut));
    const LabelStock& stock = chosenStock();
    const int start = firstLabel(stock);
    const auto labels = static_cast<int>(mailing->labels.size());
    const QList<int> used = usedAmong(platform(), stock, rangePositions(start, labels, stock.labels()));
    if (!used.isEmpty() && platform().message(usedPositionsQuestion(used)) != MessageResult::Yes) {
        focusAfterDialog(cmdViewAllClose_);
        return;
    }
    const QString parameters = applicationFile(platform(), kParameterFileName);
    int printed = 0;
    if (printListLabels(platform(), mailing->labels, parameters, bold, italic, start, stock, {}, &printed)
        == PrintOutcome::Printed)
        rememberPrintedRun(platform(), stock, start, printed);
    focusAfterDialog(cmdViewAllClose_);
}

void ContactListWindow::focusAfterDialog(QWidget* control)
{
    // A desktop without a window manager hands the keyboard back to no window when a dialog
    // closes; asking for it keeps Enter working on the button that has the focus.
    activateWindow();
    control->setFocus();
}

void ContactListWindow::closeTo(ListExit how)
{
    exit_ = how;
    close();
}

void ContactListWindow::closeEvent(QCloseEvent* event)
{
    model_->clear();
    emit closed(exit_);
    event->accept();
}

}  // namespace pw
