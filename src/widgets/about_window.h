#pragma once

#include <QDialog>

class QMainWindow;

namespace pw {

class Platform;

// frmLMAbout: the program's icon, title, version, what it is for and its disclaimer.
class AboutWindow final : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent);
};

// Shows the About window over `opener` without blocking it. An About window already open anywhere
// comes to the front instead of a second one; OK closes and unloads it.
void showAboutWindow(QWidget* opener);

// A secondary window's Help menu, named as that window names it: User Manual (F1), which opens the
// delivered manual, and About Postwick.
void addHelpMenu(QMainWindow* window, Platform& platform, const char* menu, const char* manual, const char* about);

}  // namespace pw
