#include "shell/main_window.h"

#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "printing/calibration.h"
#include "printing/mailing_address.h"
#include "printing/margin_adjustment.h"
#include "printing/print_action.h"
#include "program/app_files.h"
#include "program/recent_files.h"
#include "shell/calibration_dialog.h"
#include "shell/label_entry.h"
#include "widgets/edit_menu.h"
#include "widgets/enter_moves_on.h"
#include "widgets/lock_wait.h"
#include "widgets/named_widgets.h"
#include "widgets/secondary_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {
namespace {

const QString kHomeCountryPrompt =
    QStringLiteral("The country your mail is posted in.  Labels and envelopes for an address in any other "
                   "country end with that country's name.");

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
    useDesktopKeys(this, false);

    showLockWaits(platform_, session_.file());
    connect(&session_, &ContactsSession::reminderStateChanged, this, &MainWindow::showReminderState);
    connect(&session_, &ContactsSession::followed, this, &MainWindow::showFollowedFile);
    // The contact commands wait for a contacts file.
    for (QAction* a : {mnuAdd_, mnuEdit_, mnuFind_, mnuDelete_, mnuSrchContacts_, mnuImport_, mnuImportServer_,
                       mnuExport_, mnuViewOne_, mnuViewAll_})
        a->setEnabled(false);
    for (QPushButton* b : {cmdAddContact_, cmdFindContact_})
        b->setEnabled(false);
    connectContactCommands();
    connectBirthdayCommands();
    connectListCommands();
    connectTransferCommands();
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* file = addMenu(bar, "mnuFile", QStringLiteral("&File"));
    mnuFileNew_ = addItem(file, "mnuFileNew", QStringLiteral("&New"));
    mnuFileOpen_ = addItem(file, "mnuFileOpen", QStringLiteral("&Open"));
    buildRecentMenu(file);
    mnuFileClose_ = addItem(file, "mnuFileClose", QStringLiteral("&Close"));
    file->addSeparator();
    mnuFileBdayOn_ = addItem(file, "mnuFileBdayOn", QStringLiteral("&Enable Birthday Reminders"));
    mnuFileBdayOff_ = addItem(file, "mnuFileBdayOff", QStringLiteral("&Disable Birthday Reminders"));
    file->addSeparator();
    mnuRetAddress_ = addItem(file, "mnuRetAddress", QStringLiteral("&Return Address Labels"));
    mnuRetAddressPreview_ =
        addItem(file, "mnuRetAddressPreview", QStringLiteral("Return Address Labels Previe&w"));
    mnuStates_ = addItem(file, "mnuStates", QStringLiteral("&State Abbreviations"));
    file->addSeparator();
    mnuFilePrint_ = addItem(file, "mnuFilePrint", QStringLiteral("&Print"));
    mnuFilePreview_ = addItem(file, "mnuFilePreview", QStringLiteral("Print Pre&view"));
    file->addSeparator();
    mnuFileExit_ = addItem(file, "mnuFileExit", QStringLiteral("E&xit"));

    QMenu* edit = addMenu(bar, "mnuLMEdit", QStringLiteral("&Edit"));
    QAction* cut = addItem(edit, "mnuLMEditCut", QStringLiteral("Cu&t"));
    QAction* copy = addItem(edit, "mnuLMEditCopy", QStringLiteral("&Copy"));
    QAction* paste = addItem(edit, "mnuLMEditPaste", QStringLiteral("&Paste"));
    connectEditMenu(edit, cut, copy, paste, platform_);
    buildUndoItems(edit);

    QMenu* contacts = addMenu(bar, "mnuContacts", QStringLiteral("&Contacts"));
    mnuAdd_ = addItem(contacts, "mnuAdd", QStringLiteral("&Add Contact"));
    mnuEdit_ = addItem(contacts, "mnuEdit", QStringLiteral("&Edit Contact"));
    mnuFind_ = addItem(contacts, "mnuFind", QStringLiteral("&Find Contact"));
    mnuDelete_ = addItem(contacts, "mnuDelete", QStringLiteral("&Delete Contact"));
    contacts->addSeparator();
    mnuSrchContacts_ = addItem(contacts, "mnuSrchContacts", QStringLiteral("&Search Contacts"));
    contacts->addSeparator();
    mnuImport_ = addItem(contacts, "mnuImport", QStringLiteral("&Import Contacts"));
    mnuImportServer_ = addItem(contacts, "mnuImportServer", QStringLiteral("Import f&rom address-book server\u2026"));
    mnuExport_ = addItem(contacts, "mnuExport", QStringLiteral("E&xport Contacts"));
    contacts->addSeparator();
    // Where the mail is posted from: an address in any other country prints its country.
    QAction* home = addItem(contacts, "mnuHomeCountry", QStringLiteral("&Home Country\u2026"));
    connect(home, &QAction::triggered, this, [this] {
        const QString answer =
            platform_.inputBox(kHomeCountryPrompt, QStringLiteral("Home Country"), homeCountry(platform_));
        if (!answer.trimmed().isEmpty())
            setHomeCountry(platform_, answer);
    });

    QMenu* view = addMenu(bar, "mnuView", QStringLiteral("&View"));
    mnuViewOne_ = addItem(view, "mnuViewOne", QStringLiteral("&One Contact"));
    mnuViewAll_ = addItem(view, "mnuViewAll", QStringLiteral("&All Contacts"));

    QMenu* margins = addMenu(bar, "mnuMargins", QStringLiteral("&Margins"));
    struct MarginItem {
        const char* name;
        const char* caption;
        MarginKind kind;
    };
    for (const MarginItem& item : {MarginItem{"mnuAdjustOTF", "&On-The-Fly label", MarginKind::OnTheFly},
                                   MarginItem{"mnuAdjustSR", "&Search-result labels", MarginKind::SearchResult},
                                   MarginItem{"mnuAdjustENV", "&Envelope", MarginKind::Envelope},
                                   MarginItem{"mnuAdjustRA", "&Return Address labels", MarginKind::ReturnAddress}}) {
        QAction* adjust = addItem(margins, item.name, QString::fromLatin1(item.caption));
        connect(adjust, &QAction::triggered, this, [this, kind = item.kind] { adjustMarginsOf(kind); });
    }
    margins->addSeparator();
    QAction* calibrationSheet = addItem(margins, "mnuPrintCalibration", QStringLiteral("&Print calibration sheet\u2026"));
    QAction* calibrate = addItem(margins, "mnuCalibrate", QStringLiteral("&Calibrate from the sheet\u2026"));
    QAction* calibration = addItem(margins, "mnuCalibration", QStringLiteral("Printer calibration &in use\u2026"));
    connect(calibrationSheet, &QAction::triggered, this, [this] {
        printCopies(platform_, PrintDialogRequest{.printToFile = true, .labelSheet = true}, printCalibrationSheet);
    });
    connect(calibrate, &QAction::triggered, this, [this] {
        CalibrationDialog dialog(platform_, applicationFile(platform_, kParameterFileName), this);
        dialog.exec();
    });
    connect(calibration, &QAction::triggered, this, [this] { showPrinterCalibration(platform_); });

    QMenu* help = addMenu(bar, "mnuHelp", QStringLiteral("&Help"));
    mnuManual_ = addItem(help, "mnuManual", QStringLiteral("&User Manual"));
    mnuAbout_ = addItem(help, "mnuAbout", QStringLiteral("&About Postwick"));

    mnuFileNew_->setShortcut(QKeySequence::New);
    mnuFileOpen_->setShortcut(QKeySequence::Open);
    mnuFilePrint_->setShortcut(QKeySequence::Print);
    mnuFileExit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuManual_->setShortcut(QKeySequence::HelpContents);

    connect(mnuFileNew_, &QAction::triggered, this, &MainWindow::fileNew);
    connect(mnuFileOpen_, &QAction::triggered, this, &MainWindow::fileOpen);
    connect(mnuFileClose_, &QAction::triggered, this, &MainWindow::fileClose);
    connect(mnuFileExit_, &QAction::triggered, this, &MainWindow::close);
    connect(mnuStates_, &QAction::triggered, this,
            [this] { openDeliveredDocument(platform_, kStateAbbreviationsFileName); });
    connect(mnuManual_, &QAction::triggered, this, [this] { openDeliveredDocument(platform_, kUserManualFileName); });
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

    entry_ = new LabelEntry(platform_);
    connect(mnuFilePrint_, &QAction::triggered, entry_, &LabelEntry::print);
    connect(mnuFilePreview_, &QAction::triggered, entry_, &LabelEntry::preview);
    connect(mnuRetAddress_, &QAction::triggered, entry_, &LabelEntry::printReturnAddresses);
    connect(mnuRetAddressPreview_, &QAction::triggered, entry_, &LabelEntry::previewReturnAddresses);

    // The entry area beside its print commands and this window's own buttons.
    cmdLMExit_ = named<QPushButton>("cmdLMExit", QStringLiteral("E&xit"));
    cmdBDlist_ = namedWithTip<QPushButton>("cmdBDlist", QStringLiteral("View &Birthdays"),
                                           QStringLiteral("See birthdays for a selected month"));
    cmdAddContact_ = namedWithTip<QPushButton>("cmdAddContact", QStringLiteral("&Add Contact"),
                                               QStringLiteral("Add a new contact to file"));
    cmdFindContact_ = namedWithTip<QPushButton>("cmdFindContact", QStringLiteral("F&ind Contact"),
                                                QStringLiteral("Retrieve a contact from file"));
    auto* cmdPeopleFind = named<QPushButton>("cmdPeopleFind", QStringLiteral("Pe&ople Finder"));
    auto* cmdZipFinder = namedWithTip<QPushButton>("cmdZipFinder", QStringLiteral("&Zip Code Finder"),
                                                   QStringLiteral("Look up Zip Code"));
    auto* buttons = new QGridLayout;
    buttons->addWidget(entry_->commandPanel(), 0, 0, 2, 1, Qt::AlignTop);
    buttons->addWidget(cmdLMExit_, 2, 0);
    buttons->addWidget(cmdAddContact_, 0, 1);
    buttons->addWidget(cmdFindContact_, 1, 1);
    buttons->addWidget(cmdBDlist_, 2, 1);
    buttons->addWidget(cmdPeopleFind, 3, 1);
    buttons->addWidget(cmdZipFinder, 4, 1);
    buttons->setRowStretch(5, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(entry_, 1);
    body->addLayout(buttons);
    outer->addLayout(body);

    // Hidden fields: the current file.
    txtFileNam_ = named<QLineEdit>("txtFileNam");
    txtFileTitle_ = named<QLineEdit>("txtFileTitle");
    for (QLineEdit* hidden : {txtFileNam_, txtFileTitle_}) {
        hidden->setParent(central);
        hidden->hide();
    }

    setCentralWidget(central);
    connect(cmdLMExit_, &QPushButton::clicked, this, &MainWindow::close);
    connect(cmdPeopleFind, &QPushButton::clicked, this,
            [this] { openDocumentOrSay(platform_, QString::fromLatin1(kPeopleSearchAddress)); });
    connect(cmdZipFinder, &QPushButton::clicked, this,
            [this] { openDocumentOrSay(platform_, QString::fromLatin1(kZipCodeLookupAddress)); });
}

bool MainWindow::startUp(const QString& contactsPath)
{
    session_.close();
    showCurrentFile();
    show();
    lblLMInstruct_->setText(
        QStringLiteral("Postwick prints mailing labels (use Avery 5160 or 8160 labels) and envelopes.\n"
                       "Power tip: click 'Search Contacts' to print labels for a specific subset of your contacts."));
    entry_->reset();
    // Fixes the window's size once its texts are in; otherwise each return from a secondary window
    // would fit it anew to whichever controls happen to be visible.
    adjustSize();

    const QString folder = platform_.applicationFolder();
    if (auto prepared = prepareApplicationFolder(folder); !prepared) {
        reportFileFailure(prepared.error());
        return !shutDownDone_;
    }
    moveListLabelRowIntoLayout(platform_, QDir(folder).filePath(QString::fromLatin1(kParameterFileName)));
    hideUninstallData(folder);
    // Without a file named on the command line, the file open when the program last ended.
    const QString defaultPath = QDir(folder).filePath(QString::fromLatin1(kDefaultContactsFileName));
    const StartFile start =
        contactsPath.isEmpty() ? startContactsFile(platform_, defaultPath) : StartFile{contactsPath, {}};
    if (!start.whyDefault.isEmpty())
        platform_.message({start.whyDefault, QStringLiteral("Last file not found"), MessageIcon::Information});
    const Expected<bool> tried = openContactsFile(start.path, fileTitle(start.path));
    if (!tried)
        reportFileFailure(tried.error());
    const bool opened = tried && *tried;
    if (opened && (!contactsPath.isEmpty() || start.path != defaultPath || session_.readOnly()))
        setWindowTitle(currentFileWindowTitle());
    restoreUninstallData(folder);
    if (opened && updateBirthdayMenuState())
        runBirthdayReminders();
    return !shutDownDone_;
}

bool MainWindow::reportFileFailure(const FileError& error)
{
    // Another program still holds the file: the change is given up, the file and the window stay.
    if (error.number == kErrFileInUse) {
        platform_.message({error.description + QStringLiteral(".  Nothing was changed: try again once it has "
                                                              "finished with the file."),
                           QStringLiteral("Contacts file in use"), MessageIcon::Warning});
        return true;
    }
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
    if (auto* secondary = qobject_cast<SecondaryWindow*>(window))
        connect(secondary, &SecondaryWindow::exitRequested, this, &MainWindow::close);
    connect(window, &QObject::destroyed, this, [this] {
        if (shutDownDone_)
            return;
        comeBack();
        entry_->focusFirstLine();
    });
    hideBehind();
    window->show();
    window->activateWindow();
}

void MainWindow::hideBehind()
{
    if (isVisible())
        place_.remember(*this);
    hide();
}

void MainWindow::comeBack()
{
    if (!isVisible())
        place_.showAgain(*this);
    activateWindow();
}

void MainWindow::showLabelLines(const LabelLines& lines)
{
    comeBack();
    entry_->takeAddress(lines);
}

void MainWindow::adjustMarginsOf(MarginKind kind)
{
    if (auto s = runMarginAdjustment(platform_, kind, applicationFile(platform_, kParameterFileName)); !s)
        reportFileFailure(s.error());
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
    setLastContactsFile(platform_, session_.path());
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
