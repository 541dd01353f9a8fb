#pragma once

class QAction;
class QMenu;
class QMenuBar;

namespace pw {

class Platform;

// Wires a window's Edit menu to the focused control and the system clipboard. Opening the menu
// enables Cut and Copy, except when the focused control is a text box with nothing selected.
void connectEditMenu(QMenu* menu, QAction* cut, QAction* copy, QAction* paste, Platform& platform);

// A window's Edit menu with Cut, Copy and Paste, named as that window names them, wired as above.
struct EditMenu final {
    QMenu* menu;
    QAction* cut;
    QAction* copy;
    QAction* paste;
};
EditMenu addEditMenu(QMenuBar* bar, Platform& platform, const char* menu, const char* cut, const char* copy,
                     const char* paste);

}  // namespace pw
