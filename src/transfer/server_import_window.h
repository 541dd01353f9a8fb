#pragma once

#include "widgets/secondary_window.h"

class QLineEdit;
class QPushButton;

namespace pw {

class ContactsSession;

// frmSrvImport: the cards of an address book on a server (CardDAV) appended to the current
// contacts file, through the import's duplicate rule and summary.
class ServerImportWindow final : public SecondaryWindow {
    Q_OBJECT

public:
    ServerImportWindow(Platform& platform, ContactsSession& session, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void startImport();

    ContactsSession& session_;
    bool busy_ = false;
    QLineEdit* txtSrvAddress_ = nullptr;
    QLineEdit* txtSrvUser_ = nullptr;
    QLineEdit* txtSrvPassword_ = nullptr;
    QPushButton* cmdSrvImport_ = nullptr;
    QPushButton* cmdSrvClose_ = nullptr;
};

}  // namespace pw
