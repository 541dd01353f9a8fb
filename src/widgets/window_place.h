#pragma once

#include <QRect>

class QWidget;

namespace pw {

// `frame` moved, and shrunk where it is larger, so that all of it lies inside `available`.
QRect fullyInside(const QRect& frame, const QRect& available);

// Where a window stood before it was hidden, to be given back when it shows again: a window
// manager is free to place a window anew each time it is shown.
class WindowPlace final {
public:
    void remember(const QWidget& window);
    // Shows the window at its remembered place and size, all of it on the screen it was on.
    void showAgain(QWidget& window) const;

private:
    QRect frame_;
    QRect inner_;
};

}  // namespace pw
