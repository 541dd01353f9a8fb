// The main window's Edit > Undo items: the last contact deleted and the last import, put back or
// taken out again while the file is still as that change left it.
#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "shell/main_window.h"

#include <QAction>
#include <QMenu>

namespace pw {
namespace {

QString counted(int count)
{
    return count == 1 ? QStringLiteral("1 contact") : QStringLiteral("%1 contacts").arg(count);
}

// A name in a menu item, its "&" shown rather than taken for an access key.
QString inMenu(QString text)
{
    return text.replace(QStringLiteral("&"), QStringLiteral("&&"));
}

QString importCaption(const UndoableImport& import)
{
    const QString of = import.source.isEmpty() ? QString() : QStringLiteral(" of ") + inMenu(import.source);
    return QStringLiteral("Undo Import%1 (%2)").arg(of, counted(import.count));
}

Message changedSince(const char* what)
{
    return {QStringLiteral("The contacts file has changed since the %1, so it can no longer be undone.")
                .arg(QString::fromLatin1(what)),
            QStringLiteral("Nothing undone"), MessageIcon::Information};
}

}  // namespace

void MainWindow::buildUndoItems(QMenu* edit)
{
    QAction* first = edit->actions().value(0);
    mnuUndoDelete_ = new QAction(edit);
    mnuUndoDelete_->setObjectName(QStringLiteral("mnuLMEditUndoDelete"));
    mnuUndoImport_ = new QAction(edit);
    mnuUndoImport_->setObjectName(QStringLiteral("mnuLMEditUndoImport"));
    edit->insertActions(first, {mnuUndoDelete_, mnuUndoImport_});
    undoSeparator_ = edit->insertSeparator(first);
    connect(edit, &QMenu::aboutToShow, this, &MainWindow::showUndoItems);
    connect(mnuUndoDelete_, &QAction::triggered, this, &MainWindow::undoDelete);
    connect(mnuUndoImport_, &QAction::triggered, this, &MainWindow::undoImport);
    showUndoItems();
}

void MainWindow::showUndoItems()
{
    // Offered only while the file is as the change left it: any later change, here or by another
    // program, withdraws the undo. A file that cannot be read offers none.
    const auto matches = [this](const ChangeMark& after) {
        const Expected<ChangeMark> now = session_.file().markFrom(after.from);
        return now && *now == after;
    };
    const bool open = session_.file().isOpen() && !session_.readOnly();
    const std::optional<UndoableDelete>& removal = session_.lastDelete();
    const bool deleteOffered = open && removal && matches(removal->after);
    mnuUndoDelete_->setVisible(deleteOffered);
    if (deleteOffered)
        mnuUndoDelete_->setText(QStringLiteral("Undo Delete of ") + inMenu(removal->name));
    const std::optional<UndoableImport> import = session_.lastImport();
    const bool importOffered = open && import && matches(import->after);
    mnuUndoImport_->setVisible(importOffered);
    if (importOffered)
        mnuUndoImport_->setText(importCaption(*import));
    undoSeparator_->setVisible(deleteOffered || importOffered);
}

void MainWindow::undoDelete()
{
    if (!session_.lastDelete())
        return;
    const UndoableDelete removal = *session_.lastDelete();
    const Expected<bool> back = session_.file().putBack(removal);
    if (!back) {
        // Either answer ends the command; the file is as it was.
        showErrorPrompt(platform_, back.error());
        return;
    }
    session_.forgetLastDelete();
    if (!*back) {
        platform_.message(changedSince("delete"));
        return;
    }
    // A hidden editor's record numbers no longer fit the file.
    discardContactEditor();
    platform_.message({QStringLiteral("%1 is back in the file as contact %2.").arg(removal.name).arg(removal.record),
                       QStringLiteral("Delete undone"), MessageIcon::Information});
    updateBirthdayMenuState();
}

void MainWindow::undoImport()
{
    const std::optional<UndoableImport> import = session_.lastImport();
    if (!import)
        return;
    const Expected<bool> cut = session_.file().cutOff(*import);
    if (!cut) {
        showErrorPrompt(platform_, cut.error());
        return;
    }
    if (!*cut) {
        session_.file().forgetLastImport();
        platform_.message(changedSince("import"));
        return;
    }
    discardContactEditor();
    const QString from = import->source.isEmpty() ? QString() : QStringLiteral(" from ") + import->source;
    platform_.message(
        {QStringLiteral("The %1 imported%2 were taken out of the file again.").arg(counted(import->count), from),
         QStringLiteral("Import undone"), MessageIcon::Information});
    updateBirthdayMenuState();
}

}  // namespace pw
