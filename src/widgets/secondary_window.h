#pragma once

#include "widgets/edit_menu.h"

#include <QMainWindow>
#include <QString>

class QAbstractButton;
class QAction;
class QMenu;

namespace pw {

class Platform;

// What every secondary window shares: its system name, the title "Name  [file title]", Esc to
// close and Enter on a focused button, and the File > Exit, Edit and Help menus it builds under its
// own item names. It never sees the main window: Exit asks for the end of the program by a signal.
class SecondaryWindow : public QMainWindow {
    Q_OBJECT

public:
    SecondaryWindow(Platform& platform, const char* objectName, const QString& name, const QString& fileTitle,
                    QWidget* parent = nullptr);

signals:
    // File > Exit: the program is to end; its shut-down closes this window and the contacts file.
    void exitRequested();

protected:
    Platform& platform() const { return platform_; }
    QAction* addExitItem(QMenu* file, const char* item);
    EditMenu addEditMenu(const char* menu, const char* cut, const char* copy, const char* paste);
    void addHelpMenu(const char* menu, const char* manual, const char* about);
    // Ctrl+S (the desktop's Save keys) anywhere in the window presses `save`, when it is enabled.
    void addSaveKey(QAbstractButton* save);

private:
    Platform& platform_;
};

}  // namespace pw
