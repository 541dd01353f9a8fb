#pragma once

class QWidget;

namespace pw {

// In the entry fields of the contact windows and label lines 1 to 4, Enter moves the focus to the
// next control as Tab does and is otherwise swallowed.
void makeEnterMoveOn(QWidget* field);

// The keyboard habits of a desktop window: Enter on a focused push button presses it, as Space
// does; in a secondary window Esc closes the window as its Close button would.
void useDesktopKeys(QWidget* window, bool escapeCloses);

}  // namespace pw
