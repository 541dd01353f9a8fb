#pragma once

#include <QMainWindow>

class QPushButton;
class QRadioButton;

namespace pw {

class MainWindow;

// The export window, frmLMExport: every contact of the current contacts file written to a CSV, a
// text or a vCard file in the application folder. The main window shows it through
// MainWindow::showSecondary.
class ExportWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit ExportWindow(MainWindow& mainWindow, QWidget* parent = nullptr);

private:
    void buildMenus();
    void create();

    MainWindow& main_;
    QRadioButton* optExpCGCSV_ = nullptr;
    QRadioButton* optExpCGTXT_ = nullptr;
    QRadioButton* optExpCGVCF_ = nullptr;
    QPushButton* cmdExpCreate_ = nullptr;
    QPushButton* cmdExpCancel_ = nullptr;
};

}  // namespace pw
