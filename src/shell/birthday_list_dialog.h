#pragma once

#include <QDialog>

class QHBoxLayout;
class QPushButton;

namespace pw {

class Platform;
struct BirthdayList;

// Lines about birthdays in a box that scrolls, under the list's title, with a button that copies
// them whole and OK: a month with more birthdays than a message box can show, and the reminders due
// when a file is opened.
class BirthdayListDialog final : public QDialog {
    Q_OBJECT

public:
    BirthdayListDialog(Platform& platform, const BirthdayList& list, QWidget* parent,
                       const char* objectName = "frmBirthdayList");

    // A further button, before Copy List and OK.
    QPushButton* addChoice(const char* objectName, const QString& caption);

private:
    QHBoxLayout* buttons_ = nullptr;
};

}  // namespace pw
