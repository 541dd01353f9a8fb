#pragma once

#include <QMainWindow>

class QLineEdit;
class QPushButton;

namespace pw {

class MainWindow;

// The import window, frmLMImport: a CSV file chosen and its contacts appended to the current
// contacts file. The main window shows it through MainWindow::showSecondary.
class ImportWindow final : public QMainWindow {
    Q_OBJECT

public:
    explicit ImportWindow(MainWindow& mainWindow, QWidget* parent = nullptr);

private:
    void buildMenus();
    void chooseFile();
    void startImport();
    // Ends a run of the Import button: it stays disabled until another file is chosen.
    void finishImport();

    MainWindow& main_;
    QString path_;
    QLineEdit* txtImpFilename_ = nullptr;
    QPushButton* cmdStartImport_ = nullptr;
    QPushButton* cmdImpCancel_ = nullptr;
};

}  // namespace pw
