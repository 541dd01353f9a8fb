#include "widgets/enter_moves_on.h"

#include <QCoreApplication>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace pw {
namespace {

class EnterMovesOn final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        // Tab's own way of moving on, so that the tab order decides where the focus goes.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(watched, &tab);
        return true;
    }
};

// Sees the keys that the focused control left unused on their way up to the window.
class DesktopKeys final : public QObject {
public:
    DesktopKeys(QWidget* window, bool escapeCloses) : QObject(window), window_(window), escapeCloses_(escapeCloses) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            if (!button || button->window() != window_ || !button->isEnabled())
                return false;
            button->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape && escapeCloses_) {
            window_->close();
            return true;
        }
        return false;
    }

private:
    QWidget* window_;
    bool escapeCloses_;
};

}  // namespace

void useDesktopKeys(QWidget* window, bool escapeCloses)
{
    window->installEventFilter(new DesktopKeys(window, escapeCloses));
}

void makeEnterMoveOn(QWidget* field)
{
    field->installEventFilter(new EnterMovesOn(field));
}

}  // namespace pw
