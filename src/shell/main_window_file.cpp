// The main window's File commands: New, Open and Close, and how the window follows the file that is
// current (its title, the hidden fields, the commands a file enables and the reminder items).
#include "contacts_ui/contact_editor_window.h"
#include "data/birthdays.h"
#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "program/app_files.h"
#include "program/recent_files.h"
#include "shell/main_window.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <cerrno>

namespace pw {

void MainWindow::showCurrentFile()
{
    txtFileNam_->setText(session_.path());
    txtFileTitle_->setText(session_.title());
}

void MainWindow::setContactCommandsEnabled(bool enabled)
{
    for (QObject* command : std::initializer_list<QObject*>{cmdFindContact_, cmdAddContact_, mnuAdd_, mnuEdit_,
                                                            mnuDelete_, mnuFind_, mnuViewOne_, mnuViewAll_,
                                                            mnuSrchContacts_})
        command->setProperty("enabled", enabled);
}

Expected<bool> MainWindow::openContactsFile(const QString& path, const QString& title)
{
    // The file is checked before it replaces the current one, which stays open if it is refused.
    auto opened = session_.open(path, title);
    if (!opened)
        return std::unexpected(opened.error());
    if (opened->message)
        platform_.message(*opened->message);
    if (!opened->opened())
        return false;
    if (opened->warning)
        platform_.message(*opened->warning);
    discardContactEditor();
    showOpenedFile();
    rememberContactsFile(platform_, path);
    fillRecentMenu();
    return true;
}

void MainWindow::showOpenedFile()
{
    showCurrentFile();
    setContactCommandsEnabled(true);
    mnuImport_->setEnabled(true);
    mnuImportServer_->setEnabled(true);
    mnuExport_->setEnabled(true);
    // A file that may not be written is shown, listed, printed and exported, never changed.
    if (session_.readOnly()) {
        for (QObject* change :
             std::initializer_list<QObject*>{cmdAddContact_, mnuAdd_, mnuDelete_, mnuImport_, mnuImportServer_})
            change->setProperty("enabled", false);
    }
}

void MainWindow::showFollowedFile()
{
    // A hidden editor's record number belongs to the file that was replaced; an editor in front
    // checks its contact itself.
    if (contactEditor_ && contactEditor_->isHidden())
        discardContactEditor();
    showOpenedFile();
    if (windowTitle() != kAppTitle)
        setWindowTitle(currentFileWindowTitle());
    updateBirthdayMenuState();
}

bool MainWindow::updateBirthdayMenuState()
{
    auto count = session_.file().recordCount();
    if (!count) {
        reportFileFailure(count.error());
        return false;
    }
    const Expected<bool> on = remindersSetting(session_.file());
    if (!on) {
        reportFileFailure(on.error());
        return false;
    }
    // An empty file has no setting to switch.
    session_.setReminderState(*on, *count > 0);
    return true;
}

void MainWindow::showReminderState()
{
    const bool offered = session_.remindersOffered();
    mnuFileBdayOn_->setEnabled(offered && !session_.readOnly() && !session_.remindersOn());
    mnuFileBdayOff_->setEnabled(offered && !session_.readOnly() && session_.remindersOn());
}

bool MainWindow::chooseContactsFile(const QString& dialogTitle, bool createNew)
{
    const QString folder = platform_.applicationFolder();
    // Retry asks for a file again; Cancel ends the command. Either way a failure leaves the previous
    // file current.
    for (;;) {
        hideUninstallData(folder);
        QString path = platform_.openFileDialog(
            {dialogTitle, folder, QStringLiteral("Data Files (*.DAT)|*.DAT"), createNew});
        restoreUninstallData(folder);
        if (path.isEmpty())
            return false;
        if (createNew)
            path = withContactsExtension(path);
        // Only New makes a file: a mistyped name in Open would become an empty file titled like the real one.
        Expected<bool> opened = !createNew && !QFileInfo::exists(path)
                                    ? Expected<bool>(std::unexpected(FileError::fromErrno(ENOENT)))
                                    : openContactsFile(path, fileTitle(path));
        if (opened) {
            if (!*opened)
                return false;
            setWindowTitle(currentFileWindowTitle());
            return true;
        }
        if (showErrorPrompt(platform_, opened.error()) != MessageResult::Retry)
            return false;
    }
}

QString MainWindow::currentFileWindowTitle() const
{
    const QString shown = kAppTitle + QStringLiteral("  [") + currentFileTitle() + u']';
    return session_.readOnly() ? shown + QStringLiteral("  (read-only)") : shown;
}

void MainWindow::fileNew()
{
    if (!chooseContactsFile(QStringLiteral("New"), true))
        return;
    // A name that is already a file with contacts opens it, with its own reminder setting.
    const Expected<int> count = session_.file().recordCount();
    if (count && *count > 0)
        updateBirthdayMenuState();
    else
        session_.setReminderState(true, true);
}

void MainWindow::fileOpen()
{
    if (chooseContactsFile(QStringLiteral("Open"), false) && updateBirthdayMenuState())
        runBirthdayReminders();
}

void MainWindow::buildRecentMenu(QMenu* file)
{
    mnuFileRecent_ = file->addMenu(QStringLiteral("Open Recen&t"));
    mnuFileRecent_->setObjectName(QStringLiteral("mnuFileRecent"));
    mnuFileRecent_->menuAction()->setObjectName(QStringLiteral("mnuFileRecent"));
    // Another Postwick may have opened files since.
    connect(file, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
    fillRecentMenu();
}

void MainWindow::fillRecentMenu()
{
    mnuFileRecent_->clear();
    const QStringList files = recentContactsFiles(platform_);
    for (int i = 0; i < files.size(); ++i) {
        QString shown = QDir::toNativeSeparators(files[i]);
        QAction* item = mnuFileRecent_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(shown.replace(QStringLiteral("&"), QStringLiteral("&&"))));
        item->setObjectName(QStringLiteral("mnuFileRecent%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, path = files[i]] { openRecent(path); });
    }
    mnuFileRecent_->setEnabled(!files.isEmpty());
}

void MainWindow::openRecent(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        platform_.message({QStringLiteral("%1 is no longer there, so it was taken off the recent files.")
                               .arg(QDir::toNativeSeparators(path)),
                           QStringLiteral("File not found"), MessageIcon::Warning});
        forgetContactsFile(platform_, path);
        fillRecentMenu();
        return;
    }
    const Expected<bool> opened = openContactsFile(path, fileTitle(path));
    if (!opened) {
        // Either answer ends the command; the previous file stays current.
        showErrorPrompt(platform_, opened.error());
        return;
    }
    if (!*opened)
        return;
    setWindowTitle(currentFileWindowTitle());
    if (updateBirthdayMenuState())
        runBirthdayReminders();
}

void MainWindow::fileClose()
{
    discardContactEditor();
    session_.close();
    setWindowTitle(kAppTitle);
    setContactCommandsEnabled(false);
    session_.setReminderState(session_.remindersOn(), false);
    showCurrentFile();
}

}  // namespace pw
