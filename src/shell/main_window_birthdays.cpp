// The main window's birthday commands: the reminders when a file becomes current, turning them on
// and off for the whole file, and the birthdays of a month; and its About window.
#include "shell/main_window.h"

#include "data/birthdays.h"
#include "platform/platform.h"
#include "shell/birthday_list_dialog.h"
#include "shell/label_entry.h"
#include "widgets/about_window.h"

#include <QAction>
#include <QPushButton>

namespace pw {

void MainWindow::connectBirthdayCommands()
{
    connect(mnuFileBdayOn_, &QAction::triggered, this, [this] { setFileReminders(true); });
    connect(mnuFileBdayOff_, &QAction::triggered, this, [this] { setFileReminders(false); });
    connect(cmdBDlist_, &QPushButton::clicked, this, &MainWindow::viewBirthdays);
    connect(mnuAbout_, &QAction::triggered, this, [this] { showAboutWindow(this); });
}

bool MainWindow::runBirthdayReminders()
{
    auto reminders = birthdayReminders(session_.file(), platform_.today());
    if (!reminders) {
        reportFileFailure(reminders.error());
        return false;
    }
    if (reminders->size() == 1) {
        platform_.message(reminders->first());
        return true;
    }
    if (reminders->isEmpty())
        return true;
    // Many reminders are one window to read, not a box to click away for each.
    BirthdayList list{QStringLiteral("Birthday reminders"), {}, 0};
    for (const Message& reminder : *reminders)
        list.lines.append(reminder.text + u'\n');
    auto* dialog = new BirthdayListDialog(platform_, list, this, "frmBirthdayReminders");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* off = dialog->addChoice("cmdBdayRemindersOff", QStringLiteral("&Disable Birthday Reminders"));
    connect(off, &QPushButton::clicked, this, [this, dialog] {
        dialog->accept();
        setFileReminders(false);
    });
    dialog->open();
    return true;
}

void MainWindow::setFileReminders(bool on)
{
    if (!followReplaced())
        return;
    if (auto s = session_.file().setBirthdayReminders(on); !s) {
        reportFileFailure(s.error());
        return;
    }
    if (on)
        platform_.message({QStringLiteral("Birthday Reminders have been turned on."),
                           QStringLiteral("Birthday reminders enabled"), MessageIcon::Information});
    else
        platform_.message({QStringLiteral("Birthday Reminders have been turned off."),
                           QStringLiteral("Birthday reminders disabled"), MessageIcon::Information});
    session_.setReminderState(on, true);
}

void MainWindow::viewBirthdays()
{
    QString entry;
    for (;;) {
        entry = platform_.inputBox(birthdayMonthPrompt(), QStringLiteral("View Birthdays"),
                                   QString::number(platform_.today().month()));
        if (entry.isEmpty()) {
            entry_->focusFirstLine();
            return;
        }
        const auto problem = monthEntryProblem(entry);
        if (!problem)
            break;
        platform_.message(*problem);
    }
    const int month = enteredMonth(entry);
    if (!followReplaced())
        return;
    const Expected<BirthdayList> found = birthdaysInMonth(session_.file(), month);
    if (!found) {
        reportFileFailure(found.error());
        return;
    }
    const BirthdayList& list = *found;
    if (list.lines.isEmpty()) {
        platform_.message({QStringLiteral("No birthdays in the month of ") + monthName(month),
                           list.title});
    } else if (list.fitsMessageBox()) {
        platform_.message({list.text(), list.title});
    } else {
        auto* dialog = new BirthdayListDialog(platform_, list, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::finished, this, [this] { entry_->focusFirstLine(); });
        dialog->open();
        return;
    }
    entry_->focusFirstLine();
}

}  // namespace pw
