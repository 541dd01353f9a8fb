#include "widgets/secondary_window.h"

#include "widgets/about_window.h"
#include "widgets/enter_moves_on.h"
#include "widgets/named_widgets.h"

#include <QAbstractButton>
#include <QShortcut>

namespace pw {

SecondaryWindow::SecondaryWindow(Platform& platform, const char* objectName, const QString& name,
                                 const QString& fileTitle, QWidget* parent)
    : QMainWindow(parent), platform_(platform)
{
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(name + QStringLiteral("  [") + fileTitle + u']');
    useDesktopKeys(this, true);
}

QAction* SecondaryWindow::addExitItem(QMenu* file, const char* item)
{
    QAction* exit = addItem(file, item, QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, &SecondaryWindow::exitRequested);
    return exit;
}

EditMenu SecondaryWindow::addEditMenu(const char* menu, const char* cut, const char* copy, const char* paste)
{
    return pw::addEditMenu(menuBar(), platform_, menu, cut, copy, paste);
}

void SecondaryWindow::addHelpMenu(const char* menu, const char* manual, const char* about)
{
    pw::addHelpMenu(this, platform_, menu, manual, about);
}

void SecondaryWindow::addSaveKey(QAbstractButton* save)
{
    auto* key = new QShortcut(QKeySequence::Save, this);
    connect(key, &QShortcut::activated, save, &QAbstractButton::click);
}

}  // namespace pw
