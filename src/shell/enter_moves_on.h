#pragma once

class QWidget;

namespace pw {

// In the entry fields of the contact windows and label lines 1 to 4, Enter moves the focus to the
// next control as Tab does and is otherwise swallowed.
void makeEnterMoveOn(QWidget* field);

}  // namespace pw
