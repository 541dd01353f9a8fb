// The all-contacts window's Edit menu on the list's lines: whole lines copied, cut and pasted
// through the clipboard, when the header box is not the focused control.
#include "list/contact_line_model.h"
#include "list/contact_list_window.h"
#include "platform/platform.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>

#include <algorithm>

namespace pw {

bool ContactListWindow::headerFocused() const
{
    return QApplication::focusWidget() == txtViewAllHeader_;
}

QList<int> ContactListWindow::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : lstAllContacts_->selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString ContactListWindow::selectedLinesText() const
{
    QString text;
    for (int row : selectedRows()) {
        text += QStringLiteral("\r\n");
        text += model_->line(row).text().toString();
    }
    return text;
}

void ContactListWindow::copyLines()
{
    if (!headerFocused())
        platform().setClipboardText(selectedLinesText());
}

void ContactListWindow::cutLines()
{
    if (headerFocused())
        return;
    const QString text = selectedLinesText();
    model_->removeLines(selectedRows());
    platform().setClipboardText(text);
}

void ContactListWindow::pasteLines()
{
    if (headerFocused())
        return;
    for (const QString& piece : platform().clipboardText().split(QStringLiteral("\r\n")))
        model_->insertSorted(piece);
}

void ContactListWindow::selectAll()
{
    if (headerFocused()) {
        txtViewAllHeader_->setFocus();
        txtViewAllHeader_->selectAll();
        return;
    }
    lstAllContacts_->selectAll();
}

}  // namespace pw
