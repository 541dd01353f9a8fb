#pragma once

class QMessageBox;

namespace pw {

// Widens a message box with a short text to show its whole title, which a window manager would cut.
void widenForTitle(QMessageBox& box);

}  // namespace pw
