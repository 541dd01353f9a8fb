#pragma once

#include "data/contact_validation.h"
#include "widgets/secondary_window.h"

namespace pw {

class ContactForm;
class ContactsSession;

// The Add Contact window, frmNewContact: one new contact typed into the contact form and appended
// to the current contacts file.
class AddContactWindow final : public SecondaryWindow {
    Q_OBJECT

public:
    AddContactWindow(Platform& platform, ContactsSession& session, QWidget* parent = nullptr);

    // Puts texts into the boxes before the window is shown, as from the main window's label lines.
    void fill(const ContactBoxTexts& texts);

protected:
    // Typed text is not thrown away unasked, whichever way the window is left.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    bool save();
    void closeWithoutAsking();

    ContactsSession& session_;
    ContactForm* form_ = nullptr;
    bool asksBeforeClosing_ = true;
};

}  // namespace pw
