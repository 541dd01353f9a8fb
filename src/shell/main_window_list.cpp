// The main window's list commands: All Contacts and Search Contacts open the all-contacts window,
// and where that window hands over when it closes.
#include "shell/main_window.h"

#include "list/contact_list_window.h"
#include "shell/label_entry.h"

#include <QAction>
#include <QCheckBox>

namespace pw {

void MainWindow::connectListCommands()
{
    for (QAction* command : {mnuViewAll_, mnuSrchContacts_}) {
        setCommandAvailable(command);
        connect(command, &QAction::triggered, this, &MainWindow::openContactList);
    }
}

void MainWindow::openContactList()
{
    auto* list = new ContactListWindow(platform_, contacts_, currentFileTitle(), [this] {
        const auto* bold = entry_->findChild<QCheckBox*>(QStringLiteral("chkLblBold"));
        const auto* italic = entry_->findChild<QCheckBox*>(QStringLiteral("chkLblItalic"));
        return std::pair{bold && bold->isChecked(), italic && italic->isChecked()};
    });
    list->setAttribute(Qt::WA_DeleteOnClose);
    connect(list, &ContactListWindow::editRequested, this, &MainWindow::editContactFromList);
    connect(list, &ContactListWindow::closed, this, &MainWindow::returnFromList);
    hide();
    list->show();
    list->activateWindow();
    list->startSearch();
}

void MainWindow::returnFromList(ListExit how)
{
    if (shutDownDone_ || how == ListExit::Editor)
        return;
    if (how == ListExit::Frame && returnToContactEditor())
        return;
    show();
    activateWindow();
    entry_->focusFirstLine();
    if (how == ListExit::CloseButton) {
        for (const char* name : {"chkLblBold", "chkLblItalic"}) {
            if (auto* box = entry_->findChild<QCheckBox*>(QString::fromLatin1(name)))
                box->setChecked(false);
        }
    }
}

// The contact editor's entry point goes here: openContactEditor(record) shows the editor with the
// record and its find list refilled. Until the editor is part of the build, the main window takes
// its place in front.
void MainWindow::editContactFromList(int record)
{
    Q_UNUSED(record);
    show();
    activateWindow();
    entry_->focusFirstLine();
}

// The list closed by its frame goes back to the contact editor while the editor holds a record
// (its current record number is not 0): show the editor and redraw its find list, and return true.
// Until the editor is part of the build it never holds one.
bool MainWindow::returnToContactEditor()
{
    return false;
}

}  // namespace pw
