#pragma once

#include <QDialog>

namespace pw {

// frmLMAbout: the program's icon, title, version, what it is for and its disclaimer.
class AboutWindow final : public QDialog {
    Q_OBJECT

public:
    explicit AboutWindow(QWidget* parent);
};

// Shows the About window over `opener` without blocking it. An About window already open anywhere
// comes to the front instead of a second one; OK closes and unloads it.
void showAboutWindow(QWidget* opener);

}  // namespace pw
