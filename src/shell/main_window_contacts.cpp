// The main window's contact commands: adding a contact, pre-filled from the typed label lines.
#include "shell/main_window.h"

#include "contacts_ui/add_contact_window.h"
#include "platform/platform.h"
#include "shell/contact_from_lines.h"
#include "shell/label_entry.h"

#include <QAction>
#include <QPushButton>

namespace pw {

void MainWindow::connectContactCommands()
{
    for (QObject* command : std::initializer_list<QObject*>{cmdAddContact_, mnuAdd_})
        setCommandAvailable(command);
    connect(cmdAddContact_, &QPushButton::clicked, this, &MainWindow::addContact);
    connect(mnuAdd_, &QAction::triggered, this, &MainWindow::addContact);
}

void MainWindow::addContact()
{
    auto boxes = contactFromLabelLines(entry_->lines());
    if (!boxes) {
        platform_.message(boxes.error());
        return;
    }
    auto* window = new AddContactWindow(*this);
    window->fill(*boxes);
    showSecondary(window);
}

}  // namespace pw
