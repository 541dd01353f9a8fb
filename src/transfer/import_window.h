#pragma once

#include "widgets/secondary_window.h"

class QLineEdit;
class QPushButton;

namespace pw {

class ContactsSession;

// The import window, frmLMImport: a CSV file chosen and its contacts appended to the current
// contacts file.
class ImportWindow final : public SecondaryWindow {
    Q_OBJECT

public:
    ImportWindow(Platform& platform, ContactsSession& session, QWidget* parent = nullptr);

private:
    void buildMenus();
    void chooseFile();
    void startImport();
    // Ends a run of the Import button: it stays disabled until another file is chosen.
    void finishImport();

    ContactsSession& session_;
    QString path_;
    QLineEdit* txtImpFilename_ = nullptr;
    QPushButton* cmdStartImport_ = nullptr;
    QPushButton* cmdImpCancel_ = nullptr;
};

}  // namespace pw
