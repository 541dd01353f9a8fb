// The main window's contact commands: adding a contact, pre-filled from the typed label lines.
#include "shell/main_window.h"

#include "contacts_ui/add_contact_window.h"
#include "platform/platform.h"
#include "shell/contact_from_lines.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

namespace pw {

void MainWindow::connectContactCommands()
{
    for (QObject* command : std::initializer_list<QObject*>{cmdAddContact_, mnuAdd_})
        setCommandAvailable(command);
    connect(cmdAddContact_, &QPushButton::clicked, this, &MainWindow::addContact);
    connect(mnuAdd_, &QAction::triggered, this, &MainWindow::addContact);
}

bool MainWindow::birthdayRemindersOn() const
{
    return !mnuFileBdayOn_->isEnabled();
}

void MainWindow::noteSavedWithRemindersOn()
{
    setCommandEnabled(mnuFileBdayOff_, true);
}

void MainWindow::addContact()
{
    LabelLines lines;
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] = txtLMLine_[i]->text();
    auto boxes = contactFromLabelLines(lines);
    if (!boxes) {
        platform_.message(boxes.error());
        return;
    }
    auto* window = new AddContactWindow(*this);
    window->fill(*boxes);
    showSecondary(window);
}

}  // namespace pw
