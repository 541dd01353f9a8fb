#pragma once

#include "transfer/contact_export.h"
#include "widgets/secondary_window.h"

class QPushButton;
class QRadioButton;

namespace pw {

class ContactsSession;

// The export window, frmLMExport: every contact of the current contacts file written to a CSV, a
// text or a vCard file, saved where the user chooses (the application folder is offered).
class ExportWindow final : public SecondaryWindow {
    Q_OBJECT

public:
    ExportWindow(Platform& platform, ContactsSession& session, QWidget* parent = nullptr);

private:
    void buildMenus();
    // The file to write, from the save dialog, its replacement agreed to; empty when cancelled.
    QString chooseFile(ExportFormat format);
    void create();

    ContactsSession& session_;
    QRadioButton* optExpCGCSV_ = nullptr;
    QRadioButton* optExpCGTXT_ = nullptr;
    QRadioButton* optExpCGVCF_ = nullptr;
    QPushButton* cmdExpCreate_ = nullptr;
    QPushButton* cmdExpCancel_ = nullptr;
};

}  // namespace pw
