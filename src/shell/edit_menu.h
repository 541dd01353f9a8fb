#pragma once

class QAction;
class QMenu;

namespace pw {

class Platform;

// Wires a window's Edit menu to the focused control and the system clipboard. Opening the menu
// enables Cut and Copy, except when the focused control is a text box with nothing selected.
void connectEditMenu(QMenu* menu, QAction* cut, QAction* copy, QAction* paste, Platform& platform);

}  // namespace pw
