// The main window's list commands: All Contacts and Search Contacts open the all-contacts window,
// and where that window hands over when it closes.
#include "shell/main_window.h"

#include "contacts_ui/contact_editor_window.h"
#include "list/contact_list_window.h"
#include "shell/label_entry.h"

#include <QAction>

namespace pw {

void MainWindow::connectListCommands()
{
    for (QAction* command : {mnuViewAll_, mnuSrchContacts_})
        connect(command, &QAction::triggered, this, &MainWindow::openContactList);
}

void MainWindow::openContactList()
{
    if (!followReplaced())
        return;
    auto* list = new ContactListWindow(platform_, session_.file(), session_.title(),
                                       [this] { return std::pair{entry_->labelBold(), entry_->labelItalic()}; });
    list->setAttribute(Qt::WA_DeleteOnClose);
    connect(list, &ContactListWindow::editRequested, this, &MainWindow::editContactFromList);
    connect(list, &ContactListWindow::closed, this, &MainWindow::returnFromList);
    hideBehind();
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
    comeBack();
    entry_->focusFirstLine();
    if (how == ListExit::CloseButton)
        entry_->clearLabelStyles();
}

void MainWindow::editContactFromList(int record)
{
    openContactEditor(record);
}

// The list closed by its frame goes back to a contact editor that holds a record, its find list
// drawn afresh.
bool MainWindow::returnToContactEditor()
{
    if (!contactEditor_ || contactEditor_->currentRecord() == 0)
        return false;
    hideBehind();
    contactEditor_->show();
    contactEditor_->activateWindow();
    contactEditor_->showPicked(contactEditor_->currentRecord());
    return true;
}

}  // namespace pw
