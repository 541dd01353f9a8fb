#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSizePolicy>
#include <QString>
#include <QWidget>

#include <utility>

// Every window and control carries its system name as objectName, so that tests and accessibility
// tools find it; these build them named.
namespace pw {

template <typename W, typename... Args>
W* named(const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)...);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// A button or check box with its tool tip.
template <typename W>
W* namedWithTip(const char* name, const QString& caption, const QString& toolTip)
{
    auto* w = named<W>(name, caption);
    w->setToolTip(toolTip);
    return w;
}

// A control that comes and goes keeps its room, so that its window never changes size under the user.
inline void keepRoomWhenHidden(QWidget* w)
{
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

inline QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

inline QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

}  // namespace pw
