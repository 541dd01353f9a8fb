#pragma once

#include <QDialog>

namespace pw {

class Platform;
struct BirthdayList;

// A month with more birthdays than a message box can show: the list in a box that scrolls, under
// the same title, with a button that copies it whole.
class BirthdayListDialog final : public QDialog {
    Q_OBJECT

public:
    BirthdayListDialog(Platform& platform, const BirthdayList& list, QWidget* parent);
};

}  // namespace pw
