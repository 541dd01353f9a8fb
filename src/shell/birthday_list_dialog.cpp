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

BirthdayListDialog::BirthdayListDialog(Platform& platform, const BirthdayList& list, QWidget* parent,
                                       const char* objectName)
    : QDialog(parent)
{
    setObjectName(QString::fromLatin1(objectName));
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

    buttons_ = new QHBoxLayout;
    buttons_->addWidget(count, 1);
    buttons_->addWidget(copy);
    buttons_->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lines, 1);
    layout->addLayout(buttons_);
    useDesktopKeys(this, true);
    ok->setFocus();
}

QPushButton* BirthdayListDialog::addChoice(const char* objectName, const QString& caption)
{
    auto* button = named<QPushButton>(objectName, caption);
    buttons_->insertWidget(1, button);
    return button;
}

}  // namespace pw
