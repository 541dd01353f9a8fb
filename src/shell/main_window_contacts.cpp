// The main window's contact commands: adding a contact, pre-filled from the typed label lines, and
// the contact editor with its way back through the label lines.
#include "shell/main_window.h"

#include "contacts_ui/add_contact_window.h"
#include "contacts_ui/contact_editor_window.h"
#include "contacts_ui/contact_from_lines.h"
#include "platform/platform.h"
#include "shell/label_entry.h"

#include <QAction>
#include <QPushButton>

namespace pw {

void MainWindow::connectContactCommands()
{
    connect(cmdAddContact_, &QPushButton::clicked, this, &MainWindow::addContact);
    connect(mnuAdd_, &QAction::triggered, this, &MainWindow::addContact);

    // Edit, Find, Delete and One Contact all open the editor with no contact shown.
    for (QAction* command : {mnuEdit_, mnuFind_, mnuDelete_, mnuViewOne_})
        connect(command, &QAction::triggered, this, [this] { openContactEditor(); });
    connect(cmdFindContact_, &QPushButton::clicked, this, [this] { openContactEditor(); });
}

void MainWindow::addContact()
{
    auto boxes = contactFromLabelLines(entry_->lines());
    if (!boxes) {
        platform_.message(boxes.error());
        return;
    }
    auto* window = new AddContactWindow(platform_, session_);
    window->fill(*boxes);
    showSecondary(window);
}

void MainWindow::openContactEditor(int record)
{
    if (!followReplaced())
        return;
    if (contactEditor_ && record == 0) {
        hideBehind();
        contactEditor_->show();
        contactEditor_->activateWindow();
        return;
    }
    discardContactEditor();
    auto* editor = new ContactEditorWindow(platform_, session_);
    contactEditor_ = editor;
    connect(editor, &ContactEditorWindow::labelLinesChosen, this, &MainWindow::showLabelLines);
    showSecondary(editor);
    if (editor->open() && record > 0)
        editor->showPicked(record);
}

void MainWindow::discardContactEditor()
{
    delete contactEditor_.data();
}

}  // namespace pw
