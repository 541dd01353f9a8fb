#pragma once

#include "widgets/secondary_window.h"

class QPushButton;
class QRadioButton;

namespace pw {

class ContactsSession;

// The export window, frmLMExport: every contact of the current contacts file written to a CSV, a
// text or a vCard file in the application folder.
class ExportWindow final : public SecondaryWindow {
    Q_OBJECT

public:
    ExportWindow(Platform& platform, ContactsSession& session, QWidget* parent = nullptr);

private:
    void buildMenus();
    void create();

    ContactsSession& session_;
    QRadioButton* optExpCGCSV_ = nullptr;
    QRadioButton* optExpCGTXT_ = nullptr;
    QRadioButton* optExpCGVCF_ = nullptr;
    QPushButton* cmdExpCreate_ = nullptr;
    QPushButton* cmdExpCancel_ = nullptr;
};

}  // namespace pw
