#include "shell/birthday_list_dialog.h"

#include "data/birthdays.h"
#include "platform/platform.h"
#include "widgets/enter_moves_on.h"
#include "widgets/named_widgets.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {

BirthdayListDialog::BirthdayListDialog(Platform& platform, const BirthdayList& list, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBirthdayList"));
    setWindowTitle(list.title);
    const QString text = list.text();

    auto* count = named<QLabel>("lblBirthdayCount",
                                QStringLiteral("%1 birthdays").arg(list.lines.size() + list.leftOut));
    auto* lines = named<QPlainTextEdit>("txtBirthdayList");
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A fixed-pitch font keeps the padded names and their dates in columns.
    lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lines->setTabStopDistance(lines->fontMetrics().horizontalAdvance(u' ') * 4);
    lines->setPlainText(text);
    const QFontMetrics metrics(lines->font());
    lines->setMinimumSize(metrics.horizontalAdvance(QString(60, u'M')), metrics.lineSpacing() * 16);

    auto* copy = named<QPushButton>("cmdCopyList", QStringLiteral("&Copy List"));
    auto* ok = named<QPushButton>("cmdOK", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(copy, &QPushButton::clicked, this, [&platform, text] { platform.setClipboardText(text); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count, 1);
    buttons->addWidget(copy);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lines, 1);
    layout->addLayout(buttons);
    useDesktopKeys(this, true);
    ok->setFocus();
}

}  // namespace pw
