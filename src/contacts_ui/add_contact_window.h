#pragma once

#include "data/contact_validation.h"

#include <QMainWindow>

namespace pw {

class ContactForm;
class MainWindow;

// The Add Contact window, frmNewContact: one new contact typed into the contact form and appended
// to the current contacts file. The main window shows it through MainWindow::showSecondary.
class AddContactWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit AddContactWindow(MainWindow& mainWindow, QWidget* parent = nullptr);

    // Puts texts into the boxes before the window is shown, as from the main window's label lines.
    void fill(const ContactBoxTexts& texts);

private:
    void buildMenus();
    void save();

    MainWindow& main_;
    ContactForm* form_ = nullptr;
};

}  // namespace pw
