#include "widgets/window_place.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace pw {

QRect fullyInside(const QRect& frame, const QRect& available)
{
    QRect placed(frame.topLeft(), frame.size().boundedTo(available.size()));
    placed.moveLeft(std::clamp(placed.left(), available.left(), available.right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), available.top(), available.bottom() - placed.height() + 1));
    return placed;
}

void WindowPlace::remember(const QWidget& window)
{
    frame_ = window.frameGeometry();
    inner_ = window.geometry();
}

void WindowPlace::showAgain(QWidget& window) const
{
    if (!frame_.isValid()) {
        window.show();
        return;
    }
    QScreen* screen = QGuiApplication::screenAt(frame_.center());
    if (!screen)
        screen = window.screen();
    // The window's own frame (title bar and borders) goes on screen too.
    const QMargins border(inner_.left() - frame_.left(), inner_.top() - frame_.top(),
                          frame_.right() - inner_.right(), frame_.bottom() - inner_.bottom());
    const QRect frame = screen ? fullyInside(frame_, screen->availableGeometry()) : frame_;
    window.setGeometry(frame.marginsRemoved(border));
    window.show();
}

}  // namespace pw
