#pragma once

#include "shell/main_window.h"
#include "support/scripted_platform.h"
#include "support/test_folder.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace pw::test {

// A main window started on a fresh application folder with the scripted platform.
class MainWindowTest : public ::testing::Test {
protected:
    TestFolder folder;
    ScriptedPlatform platform{folder.path()};
    std::unique_ptr<MainWindow> window;

    void TearDown() override
    {
        window.reset();
        // A window's menus are top-level widgets too and die with it, so each is checked first.
        const QWidgetList tops = QApplication::topLevelWidgets();
        for (const QPointer<QWidget>& w : QList<QPointer<QWidget>>(tops.begin(), tops.end()))
            delete w.data();
    }

    // Creates the main window and runs its start-up; false when start-up chose to end the program.
    bool startUp()
    {
        window = std::make_unique<MainWindow>(platform);
        const bool running = window->startUp();
        if (window->isVisible())
            activate(window.get());
        return running;
    }

    // Offscreen windows become active only when told, as a click on them would make them.
    static void activate(QWidget* w)
    {
        w->activateWindow();
        QApplication::setActiveWindow(w);
    }

    // Lets closed windows that delete themselves go, as the event loop would.
    static void deleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Delivers window activation as well, as the event loop would, and lets closed windows go.
    static void settle()
    {
        QCoreApplication::processEvents();
        deleteClosedWindows();
    }

    static QString focusName()
    {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

    // A control by objectName, in the main window or in any other open window.
    template <typename T>
    T* find(const char* name) const
    {
        const QString objectName = QString::fromLatin1(name);
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == objectName)
                if (auto* t = qobject_cast<T*>(top))
                    return t;
            if (auto* t = top->findChild<T*>(objectName))
                return t;
        }
        return nullptr;
    }

    void click(const char* button) { find<QPushButton>(button)->click(); }

    // Triggers a menu command and returns the window it opened, made active; none when it did not open.
    template <typename T = QMainWindow>
    T* openWith(const char* command, const char* windowName)
    {
        find<QAction>(command)->trigger();
        settle();
        T* w = find<T>(windowName);
        if (w)
            activate(w);
        return w;
    }
};

}  // namespace pw::test
