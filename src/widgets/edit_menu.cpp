#include "widgets/edit_menu.h"

#include "platform/platform.h"
#include "widgets/named_widgets.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace pw {
namespace {

QLineEdit* focusedLineEdit()
{
    QWidget* w = QApplication::focusWidget();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit;
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->lineEdit();
    return nullptr;
}

QString focusedSelection()
{
    QWidget* w = QApplication::focusWidget();
    if (QLineEdit* edit = focusedLineEdit())
        return edit->selectedText();
    if (auto* text = qobject_cast<QPlainTextEdit*>(w))
        return text->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n');
    if (auto* text = qobject_cast<QTextEdit*>(w))
        return text->textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n');
    return {};
}

bool focusIsTextBox()
{
    QWidget* w = QApplication::focusWidget();
    return focusedLineEdit() || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w);
}

// Replaces the focused control's selection with `text`; read-only controls stay as they are.
void replaceSelection(const QString& text)
{
    QWidget* w = QApplication::focusWidget();
    if (QLineEdit* edit = focusedLineEdit()) {
        if (!edit->isReadOnly())
            edit->insert(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        if (!plain->isReadOnly())
            plain->insertPlainText(text);
    } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        if (!rich->isReadOnly())
            rich->insertPlainText(text);
    }
}

}  // namespace

void connectEditMenu(QMenu* menu, QAction* cut, QAction* copy, QAction* paste, Platform& platform)
{
    QObject::connect(menu, &QMenu::aboutToShow, menu, [cut, copy] {
        const bool enable = !focusIsTextBox() || !focusedSelection().isEmpty();
        cut->setEnabled(enable);
        copy->setEnabled(enable);
    });
    QObject::connect(copy, &QAction::triggered, menu, [&platform] {
        if (focusIsTextBox())
            platform.setClipboardText(focusedSelection());
    });
    QObject::connect(cut, &QAction::triggered, menu, [&platform] {
        if (!focusIsTextBox())
            return;
        platform.setClipboardText(focusedSelection());
        replaceSelection(QString());
    });
    QObject::connect(paste, &QAction::triggered, menu, [&platform] { replaceSelection(platform.clipboardText()); });
}

EditMenu addEditMenu(QMenuBar* bar, Platform& platform, const char* menu, const char* cut, const char* copy,
                     const char* paste)
{
    EditMenu edit;
    edit.menu = addMenu(bar, menu, QStringLiteral("&Edit"));
    edit.cut = addItem(edit.menu, cut, QStringLiteral("Cu&t"));
    edit.copy = addItem(edit.menu, copy, QStringLiteral("&Copy"));
    edit.paste = addItem(edit.menu, paste, QStringLiteral("&Paste"));
    connectEditMenu(edit.menu, edit.cut, edit.copy, edit.paste, platform);
    return edit;
}

}  // namespace pw
