#include "widgets/window_place.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMargins>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
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

void widenForTitle(QMessageBox& box)
{
    // The title in the bold type title bars commonly use, with room for the icon and the buttons.
    constexpr int kTitleBarRoom = 120;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarRoom;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
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
