#include "shell/enter_moves_on.h"

#include <QCoreApplication>
#include <QKeyEvent>
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

}  // namespace

void makeEnterMoveOn(QWidget* field)
{
    field->installEventFilter(new EnterMovesOn(field));
}

}  // namespace pw
