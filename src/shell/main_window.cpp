#include "shell/main_window.h"

#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "shell/app_files.h"
#include "shell/edit_menu.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pw {
namespace {

const QString kAppTitle = QStringLiteral("Postwick");

template <typename W, typename... Args>
W* named(const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)...);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

// Window coordinates are stored in twips, 1/1440 inch.
QString twips(int pixels, int dpi)
{
    return QString::number(qRound(pixels * 1440.0 / dpi));
}

}  // namespace

MainWindow::MainWindow(Platform& platform, QWidget* parent) : QMainWindow(parent), platform_(platform)
{
    setObjectName(QStringLiteral("frmLMaker"));
    setWindowTitle(kAppTitle);
    buildMenus();
    buildControls();

    for (QObject* command : {static_cast<QObject*>(mnuFileBdayOn_), static_cast<QObject*>(mnuFileBdayOff_)})
        setCommandAvailable(command);
    // Commands whose windows are not part of this build stay disabled.
    for (QAction* a : {mnuRetAddress_, mnuStates_, mnuFilePrint_, mnuAdd_, mnuEdit_, mnuFind_, mnuDelete_,
                       mnuSrchContacts_, mnuImport_, mnuExport_, mnuViewOne_, mnuViewAll_, mnuAdjustOTF_,
                       mnuAdjustSR_, mnuAdjustENV_, mnuAdjustRA_, mnuManual_, mnuAbout_})
        a->setEnabled(false);
    for (QPushButton* b : {cmdLMStart_, cmdLMClear_, cmdRetAddress_, cmdBDlist_, cmdAddContact_, cmdFindContact_,
                           cmdPeopleFind_, cmdZipFinder_})
        b->setEnabled(false);
    connectContactCommands();
    connectLabelEntry();
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* file = addMenu(bar, "mnuFile", QStringLiteral("&File"));
    mnuFileNew_ = addItem(file, "mnuFileNew", QStringLiteral("New"));
    mnuFileOpen_ = addItem(file, "mnuFileOpen", QStringLiteral("Open"));
    mnuFileClose_ = addItem(file, "mnuFileClose", QStringLiteral("Close"));
    file->addSeparator();
    mnuFileBdayOn_ = addItem(file, "mnuFileBdayOn", QStringLiteral("Enable Birthday Reminders"));
    mnuFileBdayOff_ = addItem(file, "mnuFileBdayOff", QStringLiteral("Disable Birthday Reminders"));
    file->addSeparator();
    mnuRetAddress_ = addItem(file, "mnuRetAddress", QStringLiteral("Return Address Labels"));
    mnuStates_ = addItem(file, "mnuStates", QStringLiteral("State Abbreviations"));
    file->addSeparator();
    mnuFilePrint_ = addItem(file, "mnuFilePrint", QStringLiteral("Print"));
    file->addSeparator();
    mnuFileExit_ = addItem(file, "mnuFileExit", QStringLiteral("Exit"));

    QMenu* edit = addMenu(bar, "mnuLMEdit", QStringLiteral("&Edit"));
    QAction* cut = addItem(edit, "mnuLMEditCut", QStringLiteral("Cut"));
    QAction* copy = addItem(edit, "mnuLMEditCopy", QStringLiteral("Copy"));
    QAction* paste = addItem(edit, "mnuLMEditPaste", QStringLiteral("Paste"));
    connectEditMenu(edit, cut, copy, paste, platform_);

    QMenu* contacts = addMenu(bar, "mnuContacts", QStringLiteral("&Contacts"));
    mnuAdd_ = addItem(contacts, "mnuAdd", QStringLiteral("Add Contact"));
    mnuEdit_ = addItem(contacts, "mnuEdit", QStringLiteral("Edit Contact"));
    mnuFind_ = addItem(contacts, "mnuFind", QStringLiteral("Find Contact"));
    mnuDelete_ = addItem(contacts, "mnuDelete", QStringLiteral("Delete Contact"));
    contacts->addSeparator();
    mnuSrchContacts_ = addItem(contacts, "mnuSrchContacts", QStringLiteral("Search Contacts"));
    contacts->addSeparator();
    mnuImport_ = addItem(contacts, "mnuImport", QStringLiteral("Import Contacts"));
    mnuExport_ = addItem(contacts, "mnuExport", QStringLiteral("Export Contacts"));

    QMenu* view = addMenu(bar, "mnuView", QStringLiteral("&View"));
    mnuViewOne_ = addItem(view, "mnuViewOne", QStringLiteral("One Contact"));
    mnuViewAll_ = addItem(view, "mnuViewAll", QStringLiteral("All Contacts"));

    QMenu* margins = addMenu(bar, "mnuMargins", QStringLiteral("&Margins"));
    mnuAdjustOTF_ = addItem(margins, "mnuAdjustOTF", QStringLiteral("On-The-Fly label"));
    mnuAdjustSR_ = addItem(margins, "mnuAdjustSR", QStringLiteral("Search-result labels"));
    mnuAdjustENV_ = addItem(margins, "mnuAdjustENV", QStringLiteral("Envelope"));
    mnuAdjustRA_ = addItem(margins, "mnuAdjustRA", QStringLiteral("Return Address labels"));

    QMenu* help = addMenu(bar, "mnuHelp", QStringLiteral("&Help"));
    mnuManual_ = addItem(help, "mnuManual", QStringLiteral("User Manual"));
    mnuAbout_ = addItem(help, "mnuAbout", QStringLiteral("About Postwick"));

    connect(mnuFileNew_, &QAction::triggered, this, &MainWindow::fileNew);
    connect(mnuFileOpen_, &QAction::triggered, this, &MainWindow::fileOpen);
    connect(mnuFileClose_, &QAction::triggered, this, &MainWindow::fileClose);
    connect(mnuFileExit_, &QAction::triggered, this, &MainWindow::close);
}

void MainWindow::buildControls()
{
    auto* central = new QWidget;
    auto* outer = new QVBoxLayout(central);

    auto* header = named<QLabel>("lblLMHeader", kAppTitle);
    QFont headerFont = header->font();
    headerFont.setPointSizeF(headerFont.pointSizeF() * 1.8);
    headerFont.setBold(true);
    header->setFont(headerFont);
    header->setAlignment(Qt::AlignCenter);
    lblLMInstruct_ = named<QLabel>("lblLMInstruct");
    lblLMInstruct_->setWordWrap(true);
    lblLMInstruct_->setAlignment(Qt::AlignCenter);
    outer->addWidget(header);
    outer->addWidget(lblLMInstruct_);

    // Upper half: the five label lines beside the command buttons.
    auto* upper = new QHBoxLayout;
    auto* lines = new QGridLayout;
    static const char* const lineLabels[5] = {"lblLMLine1", "lblLMLine2", "lblLMLine3", "lblLMLine4", "lblLMLine5"};
    // Line 3's name is spelled as the rest of the system knows it.
    static const char* const lineBoxes[5] = {"txtLMLine1", "txtLMLine2", "txtLMline3", "txtLMLine4", "txtLMLine5"};
    for (int i = 0; i < 5; ++i) {
        auto* label = named<QLabel>(lineLabels[i], QStringLiteral("Line #%1:").arg(i + 1));
        txtLMLine_[i] = named<QLineEdit>(lineBoxes[i]);
        txtLMLine_[i]->setMinimumWidth(320);
        label->setBuddy(txtLMLine_[i]);
        lines->addWidget(label, i, 0);
        lines->addWidget(txtLMLine_[i], i, 1);
    }
    upper->addLayout(lines, 1);

    auto* buttons = new QGridLayout;
    cmdLMStart_ = named<QPushButton>("cmdLMStart", QStringLiteral("Print"));
    cmdRetAddress_ = named<QPushButton>("cmdRetAddress", QStringLiteral("Print"));
    cmdRetAddress_->setToolTip(QStringLiteral("Prints 80 return address labels on Avery 5167 (1/2\" x 1 3/4\") labels"));
    cmdRetAddress_->hide();
    cmdLMClear_ = named<QPushButton>("cmdLMClear", QStringLiteral("Clear Form"));
    cmdLMExit_ = named<QPushButton>("cmdLMExit", QStringLiteral("Exit"));
    cmdBDlist_ = named<QPushButton>("cmdBDlist", QStringLiteral("View Birthdays"));
    cmdBDlist_->setToolTip(QStringLiteral("See birthdays for a selected month"));
    cmdAddContact_ = named<QPushButton>("cmdAddContact", QStringLiteral("Add Contact"));
    cmdAddContact_->setToolTip(QStringLiteral("Add a new contact to file"));
    cmdFindContact_ = named<QPushButton>("cmdFindContact", QStringLiteral("Find Contact"));
    cmdFindContact_->setToolTip(QStringLiteral("Retrieve a contact from file"));
    cmdPeopleFind_ = named<QPushButton>("cmdPeopleFind", QStringLiteral("People Finder"));
    cmdZipFinder_ = named<QPushButton>("cmdZipFinder", QStringLiteral("Zip Code Finder"));
    cmdZipFinder_->setToolTip(QStringLiteral("Look up Zip Code"));
    buttons->addWidget(cmdLMStart_, 0, 0);
    buttons->addWidget(cmdRetAddress_, 0, 0);
    buttons->addWidget(cmdLMClear_, 1, 0);
    buttons->addWidget(cmdLMExit_, 2, 0);
    buttons->addWidget(cmdAddContact_, 0, 1);
    buttons->addWidget(cmdFindContact_, 1, 1);
    buttons->addWidget(cmdBDlist_, 2, 1);
    buttons->addWidget(cmdPeopleFind_, 3, 1);
    buttons->addWidget(cmdZipFinder_, 4, 1);
    upper->addLayout(buttons);
    outer->addLayout(upper);

    // Lower half: media, orientation, alignment and type choices for the typed lines.
    auto* lower = new QHBoxLayout;
    auto* media = named<QGroupBox>("frLMMediaType", QStringLiteral("Media"));
    auto* mediaLayout = new QVBoxLayout(media);
    optLMLabel_ = named<QRadioButton>("optLMLabel", QStringLiteral("Label stock"));
    optLMEnvelope_ = named<QRadioButton>("optLMEnvelope", QStringLiteral("Envelope"));
    lblLMPosition_ = named<QLabel>("lblLMPosition");
    cboLMEnvelope_ = named<QComboBox>("cboLMEnvelope");
    cboLMEnvelope_->setPlaceholderText(QStringLiteral("Select Envelope Size"));
    lblLMEnvSize_ = named<QLabel>("lblLMEnvSize");
    for (QWidget* w : std::initializer_list<QWidget*>{optLMLabel_, lblLMPosition_, optLMEnvelope_, cboLMEnvelope_, lblLMEnvSize_})
        mediaLayout->addWidget(w);
    lower->addWidget(media);

    auto* orientation = named<QGroupBox>("frPortLand", QStringLiteral("Orientation"));
    auto* orientationLayout = new QVBoxLayout(orientation);
    optPortrait_ = named<QRadioButton>("optPortrait", QStringLiteral("Portrait"));
    optLandscape_ = named<QRadioButton>("optLandscape", QStringLiteral("Landscape"));
    orientationLayout->addWidget(optPortrait_);
    orientationLayout->addWidget(optLandscape_);
    lower->addWidget(orientation);

    auto* justification = named<QGroupBox>("frLMJust", QStringLiteral("Alignment"));
    auto* justificationLayout = new QVBoxLayout(justification);
    optLMLeftjust_ = named<QRadioButton>("optLMLeftjust", QStringLiteral("Left-Justified"));
    optLMCenter_ = named<QRadioButton>("optLMCenter", QStringLiteral("  Centered"));
    justificationLayout->addWidget(optLMLeftjust_);
    justificationLayout->addWidget(optLMCenter_);
    lower->addWidget(justification);

    frFeatures_ = named<QGroupBox>("frFeatures", QStringLiteral("Label type"));
    auto* featuresLayout = new QVBoxLayout(frFeatures_);
    chkLblBold_ = named<QCheckBox>("chkLblBold", QStringLiteral("Bold"));
    chkLblItalic_ = named<QCheckBox>("chkLblItalic", QStringLiteral("Italic"));
    featuresLayout->addWidget(chkLblBold_);
    featuresLayout->addWidget(chkLblItalic_);
    lower->addWidget(frFeatures_);

    auto* envelopeType = new QVBoxLayout;
    chkBold_ = named<QCheckBox>("chkBold", QStringLiteral("Bold"));
    chkBold_->setToolTip(QStringLiteral("If checked, will print envelope in bold"));
    chkLargeFont_ = named<QCheckBox>("chkLargeFont", QStringLiteral("Large Font"));
    chkLargeFont_->setToolTip(QStringLiteral("If checked, will print envelope in larger, italicized font"));
    envelopeType->addWidget(chkBold_);
    envelopeType->addWidget(chkLargeFont_);
    envelopeType->addStretch();
    lower->addLayout(envelopeType);
    outer->addLayout(lower);

    // Hidden fields: the label position's print column and row, and the current file.
    txtLMLeftPad_ = named<QLineEdit>("txtLMLeftPad");
    txtLMToppad_ = named<QLineEdit>("txtLMToppad");
    txtFileNam_ = named<QLineEdit>("txtFileNam");
    txtFileTitle_ = named<QLineEdit>("txtFileTitle");
    for (QLineEdit* hidden : {txtLMLeftPad_, txtLMToppad_, txtFileNam_, txtFileTitle_}) {
        hidden->setParent(central);
        hidden->hide();
    }

    setCentralWidget(central);
    connect(cmdLMExit_, &QPushButton::clicked, this, &MainWindow::close);
}

void MainWindow::setInitialEntryState()
{
    optPortrait_->setChecked(true);
    optLMLeftjust_->setChecked(true);
    txtLMLeftPad_->setText(QStringLiteral("2"));
    txtLMToppad_->setText(QStringLiteral("3"));
    cboLMEnvelope_->clear();
    cboLMEnvelope_->addItems({
        QStringLiteral("#10 Standard Business envelope (4 1/8 in x 9 1/2 in)"),
        QStringLiteral("#6 3/4 Small envelope (3 5/8 in x 6 1/2 in)"),
        QStringLiteral("#A2 Invitation envelope (4 3/8 in x 5 3/4 in)"),
        QStringLiteral("#A7 Announcement envelope (5 1/4 in x 7 1/4 in)"),
        QStringLiteral("#A8 Std Greeting Card envelope (5.5 in x 8 1/8 in)"),
        QStringLiteral("#A10 Lrg Greeting Card envelope (6 in x 9 1/2 in)"),
    });
    cboLMEnvelope_->setCurrentIndex(-1);
    cboLMEnvelope_->hide();
    txtLMLine_[0]->setFocus();
    chkBold_->setChecked(false);
    chkBold_->hide();
    frFeatures_->show();
    chkLblBold_->setChecked(false);
    chkLblItalic_->setChecked(false);
    chkLargeFont_->setChecked(false);
    chkLargeFont_->hide();
}

bool MainWindow::startUp()
{
    contacts_.close();
    show();
    lblLMInstruct_->setText(
        QStringLiteral("Postwick prints mailing labels (use Avery 5160 or 8160 labels) and envelopes.\n"
                       "Power tip: click 'Search Contacts' to print labels for a specific subset of your contacts."));
    setInitialEntryState();

    const QString folder = platform_.applicationFolder();
    if (auto prepared = prepareApplicationFolder(folder); !prepared) {
        reportFileFailure(prepared.error());
        return !shutDownDone_;
    }
    hideUninstallData(folder);
    const QString path = QDir(folder).filePath(QString::fromLatin1(kDefaultContactsFileName));
    const bool opened = openContactsFile(path, fileTitle(path));
    restoreUninstallData(folder);
    if (opened && updateBirthdayMenuState())
        runBirthdayReminders();
    return !shutDownDone_;
}

QString MainWindow::currentFilePath() const
{
    return txtFileNam_->text();
}

QString MainWindow::currentFileTitle() const
{
    return txtFileTitle_->text();
}

void MainWindow::setCommandAvailable(QObject* command, bool available)
{
    if (available)
        availableCommands_.insert(command);
    else
        availableCommands_.remove(command);
}

void MainWindow::setCommandEnabled(QObject* command, bool enabled)
{
    command->setProperty("enabled", enabled && availableCommands_.contains(command));
}

void MainWindow::setContactCommandsEnabled(bool enabled)
{
    for (QObject* command : std::initializer_list<QObject*>{cmdFindContact_, cmdAddContact_, mnuAdd_, mnuEdit_,
                                                            mnuDelete_, mnuFind_, mnuViewOne_, mnuViewAll_,
                                                            mnuSrchContacts_})
        setCommandEnabled(command, enabled);
}

bool MainWindow::openContactsFile(const QString& path, const QString& title)
{
    discardContactEditor();
    contacts_.close();
    if (auto opened = contacts_.open(path); !opened) {
        reportFileFailure(opened.error());
        return false;
    }
    txtFileNam_->setText(path);
    txtFileTitle_->setText(title);
    setContactCommandsEnabled(true);
    setCommandEnabled(mnuImport_, true);
    setCommandEnabled(mnuExport_, true);
    return true;
}

bool MainWindow::updateBirthdayMenuState()
{
    auto count = contacts_.recordCount();
    if (!count) {
        reportFileFailure(count.error());
        return false;
    }
    if (*count == 0) {
        setCommandEnabled(mnuFileBdayOn_, false);
        setCommandEnabled(mnuFileBdayOff_, false);
        return true;
    }
    auto first = contacts_.read(1);
    if (!first) {
        reportFileFailure(first.error());
        return false;
    }
    setCommandEnabled(mnuFileBdayOn_, !first->remindersOn());
    setCommandEnabled(mnuFileBdayOff_, first->remindersOn());
    return true;
}

bool MainWindow::runBirthdayReminders()
{
    return true;
}

bool MainWindow::chooseContactsFile(const QString& dialogTitle)
{
    const QString folder = platform_.applicationFolder();
    hideUninstallData(folder);
    const QString path = platform_.openFileDialog(
        {dialogTitle, folder, QStringLiteral("Data Files (*.DAT)|*.DAT")});
    restoreUninstallData(folder);
    if (path.isEmpty())
        return false;
    if (!openContactsFile(path, fileTitle(path)))
        return false;
    setWindowTitle(kAppTitle + QStringLiteral("  [") + currentFileTitle() + u']');
    return true;
}

void MainWindow::fileNew()
{
    if (!chooseContactsFile(QStringLiteral("New")))
        return;
    setCommandEnabled(mnuFileBdayOn_, false);
    setCommandEnabled(mnuFileBdayOff_, true);
}

void MainWindow::fileOpen()
{
    if (chooseContactsFile(QStringLiteral("Open")) && updateBirthdayMenuState())
        runBirthdayReminders();
}

void MainWindow::fileClose()
{
    discardContactEditor();
    contacts_.close();
    setWindowTitle(kAppTitle);
    setContactCommandsEnabled(false);
    setCommandEnabled(mnuFileBdayOn_, false);
    setCommandEnabled(mnuFileBdayOff_, false);
    txtFileNam_->clear();
    txtFileTitle_->clear();
}

bool MainWindow::reportFileFailure(const FileError& error)
{
    if (showErrorPrompt(platform_, error) == MessageResult::Retry) {
        fileClose();
        return true;
    }
    close();
    QCoreApplication::quit();
    return false;
}

void MainWindow::showSecondary(QWidget* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QObject::destroyed, this, [this] {
        if (shutDownDone_)
            return;
        show();
        activateWindow();
        txtLMLine_[0]->setFocus();
    });
    hide();
    window->show();
    window->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    shutDown();
    event->accept();
}

void MainWindow::shutDown()
{
    if (shutDownDone_)
        return;
    shutDownDone_ = true;
    fileClose();
    restoreUninstallData(platform_.applicationFolder());
    const QWidgetList others = QApplication::topLevelWidgets();
    for (auto it = others.rbegin(); it != others.rend(); ++it) {
        if (*it != this && (*it)->isWindow() && (*it)->isVisible())
            (*it)->close();
    }
    if (!isMinimized()) {
        const QRect frame = frameGeometry();
        const int dpiX = logicalDpiX();
        const int dpiY = logicalDpiY();
        const QString app = kAppTitle;
        const QString section = QStringLiteral("Settings");
        platform_.writeSetting(app, section, QStringLiteral("MainLeft"), twips(frame.left(), dpiX));
        platform_.writeSetting(app, section, QStringLiteral("MainTop"), twips(frame.top(), dpiY));
        platform_.writeSetting(app, section, QStringLiteral("MainWidth"), twips(frame.width(), dpiX));
        platform_.writeSetting(app, section, QStringLiteral("MainHeight"), twips(frame.height(), dpiY));
    }
    QCoreApplication::quit();
}

}  // namespace pw
